#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

// The file types a result is saved as: each type name (whose prefix picks
// the encoding, see ResultEncoding) with its file name extensions, the
// usual one first, then the pair file types (MPO, JPS, the wiggles), which
// write the aligned pair whatever the result shows. The command line and
// the save panel both read this.
struct ResultFileType {
    std::string_view typeName;
    std::vector<std::string_view> extensions;
};

const std::vector<ResultFileType>& resultFileTypes();

// The type a path names by its extension (any letter case), if it names one.
std::optional<std::string_view> typeNameForPath(std::string_view path);
// The path, with the type's usual extension appended unless it already ends
// in one of the type's extensions: "out.bmp" saved as JPEG is "out.bmp.jpg".
std::string pathWithExtensionFor(std::string_view path, std::string_view typeName);

}  // namespace korvex
