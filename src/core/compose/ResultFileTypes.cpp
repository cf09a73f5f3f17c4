#include "core/compose/ResultFileTypes.h"

#include "core/stereo/PairFile.h"

#include <algorithm>
#include <cctype>

namespace korvex {

namespace {

// The text after the file name's last dot, lower-cased; empty when it has none.
std::string extensionOf(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos)
        return {};
    std::string extension(name.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

const ResultFileType* typeNamed(std::string_view typeName)
{
    for (const ResultFileType& type : resultFileTypes())
        if (type.typeName == typeName)
            return &type;
    return nullptr;
}

}  // namespace

const std::vector<ResultFileType>& resultFileTypes()
{
    static const std::vector<ResultFileType> types = [] {
        std::vector<ResultFileType> list = {
            {"PNG", {"png"}},
            {"JPEG", {"jpg", "jpeg"}},
            {"GIF", {"gif"}},
            {"TIFF", {"tif", "tiff"}},
        };
        // After the stills, so an extension that both know (".gif") names the still type.
        for (const PairFileTypeInfo& pair : pairFileTypes())
            list.push_back({pair.typeName, {pair.extension}});
        return list;
    }();
    return types;
}

std::optional<std::string_view> typeNameForPath(std::string_view path)
{
    const std::string extension = extensionOf(path);
    if (extension.empty())
        return std::nullopt;
    for (const ResultFileType& type : resultFileTypes())
        for (std::string_view candidate : type.extensions)
            if (candidate == extension)
                return type.typeName;
    return std::nullopt;
}

std::string pathWithExtensionFor(std::string_view path, std::string_view typeName)
{
    const ResultFileType* type = typeNamed(typeName);
    if (!type || type->extensions.empty())
        return std::string(path);
    const std::string extension = extensionOf(path);
    for (std::string_view own : type->extensions)
        if (own == extension)
            return std::string(path);
    return std::string(path) + "." + std::string(type->extensions.front());
}

}  // namespace korvex
