#include "core/stereo/PairFile.h"

#include "core/stereo/JpsWriter.h"
#include "core/stereo/MpoWriter.h"
#include "core/stereo/WiggleAnimation.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace korvex {

namespace {

constexpr std::array<PairFileTypeInfo, 4> types = {{
    {PairFileType::Mpo, "MPO", "mpo", StereoFormat::Mpo},
    {PairFileType::Jps, "JPS", "jps", StereoFormat::Jps},
    {PairFileType::WiggleGif, "Wiggle (GIF)", "gif", StereoFormat::Wiggle},
    {PairFileType::WiggleWebp, "Wiggle (WebP)", "webp", StereoFormat::Wiggle},
}};

bool sameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::span<const PairFileTypeInfo> pairFileTypes()
{
    return types;
}

const PairFileTypeInfo& pairFileTypeInfo(PairFileType type)
{
    return *std::find_if(types.begin(), types.end(), [type](const PairFileTypeInfo& t) { return t.type == type; });
}

std::optional<PairFileType> pairFileTypeForName(std::string_view typeName)
{
    for (const PairFileTypeInfo& t : types)
        if (t.typeName == typeName)
            return t.type;
    return std::nullopt;
}

std::optional<PairFileType> pairFileTypeForExtension(std::string_view extension, StereoFormat format)
{
    for (const PairFileTypeInfo& t : types)
        if (t.format == format && sameLetters(t.extension, extension))
            return t.type;
    return std::nullopt;
}

EncodeResult encodePairFile(const AlignedPair& pair, PairFileType type, const PairFileOptions& options)
{
    switch (type) {
    case PairFileType::Mpo: return encodeMultiPicture(pair, options.jpeg);
    case PairFileType::Jps: return encodeJps(pair, options.jpeg);
    case PairFileType::WiggleGif: return encodeWiggleGif(pair, options.wiggleMilliseconds);
    case PairFileType::WiggleWebp: return encodeWiggleWebp(pair, options.wiggleMilliseconds);
    }
    return EncodeResult{{}, "unknown file type"};
}

}  // namespace korvex
