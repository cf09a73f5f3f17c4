#include "cli/OutputTypes.h"

#include "cli/ValueParsers.h"
#include "core/compose/ResultEncoding.h"
#include "core/compose/ResultFileTypes.h"
#include "core/stereo/PairFile.h"

namespace korvex {

const std::vector<OutputType>& outputTypes()
{
    // The window's save panel reads the same core table.
    static const std::vector<OutputType> types = [] {
        std::vector<OutputType> list;
        // Pair files are chosen with --format (see OutputChoice), not as still types.
        for (const ResultFileType& type : resultFileTypes())
            for (std::string_view extension : pairFileTypeForName(type.typeName) ? std::vector<std::string_view>{}
                                                                                  : type.extensions)
                list.push_back({extension, type.typeName});
        return list;
    }();
    return types;
}

std::optional<std::string> typeNameForExtension(std::string_view extension)
{
    const std::string wanted = lowercase(std::string(extension));
    for (const OutputType& type : outputTypes())
        if (type.extension == wanted)
            return std::string(type.typeName);
    return std::nullopt;
}

std::optional<std::string> typeNameForOutput(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    return typeNameForExtension(std::string_view(path).substr(dot + 1));
}

bool sameFileType(const std::string& a, const std::string& b)
{
    return ResultEncoding::forTypeName(uppercase(a)).type == ResultEncoding::forTypeName(uppercase(b)).type;
}

std::string outputExtensionList(std::string_view separator, std::string_view prefix)
{
    std::string list;
    for (const OutputType& type : outputTypes()) {
        if (!list.empty())
            list += separator;
        list += prefix;
        list += type.extension;
    }
    return list;
}

}  // namespace korvex
