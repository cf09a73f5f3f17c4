#include "cli/OutputChoice.h"

#include "cli/OutputTypes.h"
#include "cli/ValueParsers.h"
#include "core/stereo/PairFile.h"

namespace korvex {

namespace {

std::string extensionOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return lowercase(path.substr(dot + 1));
}

std::optional<PairFileType> pairTypeNamed(const std::string& typeName)
{
    for (const PairFileTypeInfo& info : pairFileTypes())
        if (lowercase(typeName) == lowercase(std::string(info.typeName)))
            return info.type;
    return std::nullopt;
}

bool isPairExtension(const std::string& extension)
{
    for (const PairFileTypeInfo& info : pairFileTypes())
        if (info.extension == extension && !typeNameForExtension(extension))
            return true;
    return false;
}

std::string pairExtensions(StereoFormat format)
{
    std::string list;
    for (const PairFileTypeInfo& info : pairFileTypes())
        if (info.format == format)
            list += (list.empty() ? "." : " or .") + std::string(info.extension);
    return list;
}

std::optional<std::string> chooseStillType(ComposeOptions& o, const std::string& extension)
{
    const std::string code(stereoFormatInfo(*o.format).code);
    if (isPairExtension(extension))
        return "'" + o.output + "' cannot hold the " + code + " format (use " + outputExtensionList(", ", ".") + ")";
    const auto fromExtension = typeNameForOutput(o.output);
    if (o.typeName.empty()) {
        if (!fromExtension)
            return "cannot tell the output type from '" + o.output + "' (use " + outputExtensionList(", ", ".")
                 + " or --type)";
        o.typeName = *fromExtension;
    } else if (fromExtension && !sameFileType(o.typeName, *fromExtension)) {
        return "type '" + o.typeName + "' does not make the kind of file '" + o.output + "' names";
    }
    return std::nullopt;
}

std::optional<std::string> choosePairType(ComposeOptions& o, const std::string& extension)
{
    const std::string code(stereoFormatInfo(*o.format).code);
    const std::optional<PairFileType> type = pairFileTypeForExtension(extension, *o.format);
    if (!type)
        return "--format " + code + " writes " + pairExtensions(*o.format) + " files, not '" + o.output + "'";
    if (!o.typeName.empty() && pairTypeNamed(o.typeName) != type)
        return "type '" + o.typeName + "' does not make the kind of file '" + o.output + "' names";
    o.typeName = std::string(pairFileTypeInfo(*type).typeName);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> chooseOutput(ComposeOptions& o)
{
    const std::string extension = extensionOf(o.output);
    if (const auto named = o.typeName.empty() ? std::nullopt : pairTypeNamed(o.typeName)) {
        const StereoFormat format = pairFileTypeInfo(*named).format;
        if (o.format && *o.format != format)
            return "type '" + o.typeName + "' does not hold --format " + std::string(stereoFormatInfo(*o.format).code);
        o.format = format;
    }
    if (!o.format) {
        const auto implied = pairFileTypeForExtension(extension, StereoFormat::Mpo)
                                 ? std::optional(StereoFormat::Mpo)
                                 : pairFileTypeForExtension(extension, StereoFormat::Jps) ? std::optional(StereoFormat::Jps)
                                                                                          : std::nullopt;
        o.format = implied.value_or(StereoFormat::Anaglyph);
    }
    const StereoFormatInfo& info = stereoFormatInfo(*o.format);
    if (o.gap && !info.takesGap)
        return "--gap applies to side-by-side, cross-eyed and over-under, not " + std::string(info.code);
    if (o.wiggleMilliseconds && *o.format != StereoFormat::Wiggle)
        return "--wiggle-ms applies to the wiggle format only";
    return info.isFrame ? chooseStillType(o, extension) : choosePairType(o, extension);
}

}  // namespace korvex
