// The one table of saved file types: which type a name asks for, and the
// name a save gets so that its extension never disagrees with its bytes.
#include "core/compose/ResultEncoding.h"
#include "core/compose/ResultFileTypes.h"
#include "core/stereo/PairFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace korvex;

TEST(ResultFileTypes, ExtensionsNameTheirType)
{
    const std::pair<const char*, std::optional<std::string_view>> cases[] = {
        {"a.png", "PNG"},        {"a.PNG", "PNG"},       {"dir/b.JpEg", "JPEG"}, {"b.jpg", "JPEG"},
        {"c.gif", "GIF"},        {"d.tif", "TIFF"},      {"d.TIFF", "TIFF"},     {"e.webp", "Wiggle (WebP)"},
        {"f.MPO", "MPO"},        {"g.jps", "JPS"},
        {"noextension", std::nullopt}, {"dir.png/name", std::nullopt}, {"a.png.bmp", std::nullopt},
    };
    for (const auto& [path, type] : cases)
        EXPECT_EQ(typeNameForPath(path), type) << path;
}

TEST(ResultFileTypes, EveryTypeNameSelectsItsOwnEncoding)
{
    // The prefix rule of the encoding must give each listed type its own format.
    const std::pair<std::string_view, FileType> expected[] = {
        {"PNG", FileType::PNG}, {"JPEG", FileType::JPEG}, {"GIF", FileType::GIF}, {"TIFF", FileType::TIFF}};
    // The pair types follow the stills, named exactly, so ".gif" stays a still GIF.
    ASSERT_EQ(resultFileTypes().size(), std::size(expected) + pairFileTypes().size());
    for (std::size_t i = 0; i < pairFileTypes().size(); ++i)
        EXPECT_EQ(resultFileTypes()[std::size(expected) + i].typeName, pairFileTypes()[i].typeName);
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(resultFileTypes()[i].typeName, expected[i].first);
        EXPECT_EQ(ResultEncoding::forTypeName(resultFileTypes()[i].typeName).type, expected[i].second);
        for (std::string_view extension : resultFileTypes()[i].extensions)
            EXPECT_EQ(typeNameForPath("x." + std::string(extension)), expected[i].first);
    }
}

TEST(ResultFileTypes, ASaveNameGetsItsTypesExtension)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"out.bmp", "JPEG", "out.bmp.jpg"},   {"out", "PNG", "out.png"},          {"out.jpeg", "JPEG", "out.jpeg"},
        {"out.JPG", "JPEG", "out.JPG"},       {"out.png", "TIFF", "out.png.tif"}, {"a.b/out", "GIF", "a.b/out.gif"},
        {"out.tiff", "TIFF", "out.tiff"},     {"out.x", "NoSuchType", "out.x"},
    };
    for (const auto& [path, type, expected] : cases)
        EXPECT_EQ(pathWithExtensionFor(path, type), expected) << path << " as " << type;
}
