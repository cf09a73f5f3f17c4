#include "cli/batch/Manifest.h"

#include "cli/ComposeOptionTable.h"
#include "cli/MethodChoice.h"
#include "cli/OutputChoice.h"
#include "cli/ValueParsers.h"
#include "cli/batch/CsvReader.h"
#include "core/bitmap/FileBytes.h"
#include "core/imageview/StereoFile.h"

#include <algorithm>
#include <filesystem>
#include <map>

namespace korvex {

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> pathColumns{"left", "right", "output"};

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The option a settings column stands for: "left_pin" is --left-pin.
std::string optionNameForColumn(const std::string& column)
{
    std::string name = "--" + column;
    std::replace(name.begin(), name.end(), '_', '-');
    return name;
}

const OptionSpec<ComposeOptions>* optionForColumn(const std::string& column)
{
    const std::string name = optionNameForColumn(column);
    for (const OptionSpec<ComposeOptions>& row : composeOptionTable())
        if (row.name == name)
            return &row;
    return nullptr;
}

std::optional<std::string> applyCell(const OptionSpec<ComposeOptions>& row, ComposeOptions& options,
                                     const std::string& value)
{
    if (value.empty())
        return std::nullopt;  // the command line's setting stays
    if (!row.valueName.empty())
        return row.apply(options, value);
    const std::string answer = lowercase(value);
    if (answer == "1" || answer == "yes" || answer == "true")
        return row.apply(options, {});
    if (answer == "0" || answer == "no" || answer == "false")
        return std::nullopt;
    return "column '" + row.name.substr(2) + "' takes 1, yes, true, 0, no or false, not '" + value + "'";
}

std::string resolved(const std::string& path, const std::string& folder)
{
    if (path.empty() || fs::path(path).is_absolute() || folder.empty())
        return path;
    return (fs::path(folder) / path).lexically_normal().string();
}

}  // namespace

Manifest Manifest::read(const std::string& path, const std::string& outDir, const ComposeOptions& defaults)
{
    const FileBytes bytes = readFileBytes(path);
    if (!bytes.error.empty())
        return Manifest{{}, "cannot read the manifest '" + path + "': " + bytes.error};
    const std::string_view text(reinterpret_cast<const char*>(bytes.data.data()), bytes.data.size());
    Manifest manifest = parse(text, fs::path(path).parent_path().string(), outDir, defaults);
    if (!manifest.error.empty())
        manifest.error = path + ", " + manifest.error;
    return manifest;
}

Manifest Manifest::parse(std::string_view text, const std::string& folder, const std::string& outDir,
                         const ComposeOptions& defaults)
{
    Manifest manifest;
    const auto fail = [&manifest](std::size_t line, const std::string& message) {
        manifest.jobs.clear();
        manifest.error = "line " + std::to_string(line) + ": " + message;
        return manifest;
    };
    const CsvTable table = CsvTable::read(text);
    if (!table.error.empty())
        return fail(table.errorLine, table.error);
    if (table.records.empty())
        return fail(1, "no header line (left,right,output)");

    // The header: where each path column is, and which option each other column sets.
    const CsvRecord& header = table.records.front();
    std::map<std::string, std::size_t> pathColumn;
    std::vector<std::pair<std::size_t, const OptionSpec<ComposeOptions>*>> settingColumns;
    std::vector<std::string> seen;
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string column = lowercase(trimmed(header.fields[i]));
        if (std::find(seen.begin(), seen.end(), column) != seen.end())
            return fail(header.line, "column '" + column + "' appears twice");
        seen.push_back(column);
        if (std::find(pathColumns.begin(), pathColumns.end(), column) != pathColumns.end()) {
            pathColumn[column] = i;
        } else if (const OptionSpec<ComposeOptions>* row = optionForColumn(column)) {
            settingColumns.emplace_back(i, row);
        } else {
            return fail(header.line, "unknown column '" + column + "': this korvex-compose has no option "
                                         + optionNameForColumn(column) + " (columns: left, right, output and options)");
        }
    }
    for (const std::string& column : pathColumns)
        if (!pathColumn.count(column))
            return fail(header.line, "the header has no column '" + column + "'");

    const std::string& outputFolder = outDir.empty() ? folder : outDir;
    for (std::size_t r = 1; r < table.records.size(); ++r) {
        const CsvRecord& record = table.records[r];
        if (record.fields.size() != header.fields.size())
            return fail(record.line, std::to_string(record.fields.size()) + " fields where the header has "
                                         + std::to_string(header.fields.size()));
        BatchJob job;
        job.options = defaults;
        ComposeOptions& o = job.options;
        const std::string left = trimmed(record.fields[pathColumn["left"]]);
        const std::string right = trimmed(record.fields[pathColumn["right"]]);
        const std::string output = trimmed(record.fields[pathColumn["output"]]);
        if (left.empty() || output.empty())
            return fail(record.line, "a job needs a left picture and an output");
        if (right.empty() && stereoLayoutForPath(left) == StereoLayout::None)
            return fail(record.line, "'" + left + "' is not a stereo file (.jps, .pns, .mpo); give a right picture");
        o.stereoFile = right.empty();
        o.left = resolved(left, folder);
        o.right = resolved(right, folder);
        o.output = resolved(output, outputFolder);
        job.name = fs::path(output).replace_extension().string();
        for (const auto& [column, row] : settingColumns)
            if (const auto error = applyCell(*row, o, trimmed(record.fields[column])))
                return fail(record.line, *error);
        if (const auto error = chooseOutput(o))
            return fail(record.line, *error);
        if (const auto error = checkMethodChoice(o))
            return fail(record.line, *error);
        manifest.jobs.push_back(std::move(job));
    }
    return manifest;
}

}  // namespace korvex
