#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

// The files korvex-compose can write, by extension, as the core's table of
// saved file types (ResultFileTypes) lists them.
struct OutputType {
    std::string_view extension;  // lower case, without the dot
    std::string_view typeName;   // the document type name that encodes it
};

const std::vector<OutputType>& outputTypes();

// The type name an output file's extension stands for, in any case.
std::optional<std::string> typeNameForOutput(const std::string& path);
// The type name of an extension given on the command line ("png", "JPG").
std::optional<std::string> typeNameForExtension(std::string_view extension);
// Whether two type names, in any case, give the same kind of file.
bool sameFileType(const std::string& a, const std::string& b);
// The extensions as the help and messages list them: ".png, .jpg, ...".
std::string outputExtensionList(std::string_view separator, std::string_view prefix);

}  // namespace korvex
