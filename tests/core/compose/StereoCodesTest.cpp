#include "core/compose/ResultEncoding.h"
#include "core/compose/StereoCodes.h"

#include <gtest/gtest.h>

using namespace korvex;

namespace {

TEST(StereoCodes, ToolbarPictureNames)
{
    const char* codes[] = {"rg", "rc", "rb", "gr", "cr", "br", "ab", "ba", "gm", "mg"};
    for (int g = 1; g <= 10; ++g) {
        EXPECT_EQ(glassesButtonName(g), codes[g - 1]);
        EXPECT_EQ(glassesFromCode(codes[g - 1]), g);
        EXPECT_EQ(glassesFromCode(std::to_string(g)), g);
    }
    EXPECT_EQ(glassesButtonName(0), "br");
    EXPECT_EQ(glassesButtonName(11), "br");
    EXPECT_EQ(colorizeButtonName(true), "color");
    EXPECT_EQ(colorizeButtonName(false), "bw");
    EXPECT_FALSE(glassesFromCode("11"));
    EXPECT_FALSE(glassesFromCode("0"));
    EXPECT_FALSE(glassesFromCode("RG"));
    EXPECT_FALSE(glassesFromCode(""));
}

TEST(ResultEncoding, TypeNamePrefixChoosesTheEncoding)
{
    EXPECT_EQ(ResultEncoding::forTypeName("PNG").type, FileType::PNG);
    EXPECT_EQ(ResultEncoding::forTypeName("PNG image").type, FileType::PNG);
    const ResultEncoding jpeg = ResultEncoding::forTypeName("JPEG");
    EXPECT_EQ(jpeg.type, FileType::JPEG);
    EXPECT_EQ(jpeg.properties.compressionFactor, 0.98f);
    EXPECT_FALSE(jpeg.properties.compressionMethod);
    EXPECT_EQ(ResultEncoding::forTypeName("JPS").type, FileType::JPEG);
    EXPECT_EQ(ResultEncoding::forTypeName("GIF").type, FileType::GIF);
    EXPECT_FALSE(ResultEncoding::forTypeName("GIF").properties.compressionFactor);
    for (const char* other : {"TIFF", "png", "Jpeg", "", "P"}) {
        const ResultEncoding tiff = ResultEncoding::forTypeName(other);
        EXPECT_EQ(tiff.type, FileType::TIFF) << other;
        EXPECT_EQ(tiff.properties.compressionMethod, compressionMethodLZW);
    }
}

}  // namespace
