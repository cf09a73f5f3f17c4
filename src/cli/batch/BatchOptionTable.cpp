#include "cli/batch/BatchOptions.h"

#include "cli/OutputTypes.h"
#include "cli/ValueParsers.h"
#include "cli/batch/Shards.h"
#include "core/stereo/PairFile.h"

#include <algorithm>

namespace korvex {

namespace {

using Error = std::optional<std::string>;

// Every row records that it was given, so a batch option without --batch is caught.
OptionSpec<BatchOptions> row(std::string name, std::string valueName, std::string help,
                             std::function<Error(BatchOptions&, const std::string&)> set)
{
    return {name, std::move(valueName), std::move(help),
            [name, set = std::move(set)](BatchOptions& o, const std::string& value) {
                o.given.push_back(name);
                return set(o, value);
            }};
}

// Every extension a single run can write: the still types and the stereo pair files.
std::vector<std::string> outputExtensions()
{
    std::vector<std::string> extensions;
    for (const OutputType& type : outputTypes())
        extensions.emplace_back(type.extension);
    for (const PairFileTypeInfo& info : pairFileTypes())
        if (std::find(extensions.begin(), extensions.end(), info.extension) == extensions.end())
            extensions.emplace_back(info.extension);
    return extensions;
}

std::string joined(const std::vector<std::string>& items, const std::string& separator)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : separator) + item;
    return text;
}

}  // namespace

const std::vector<OptionSpec<BatchOptions>>& batchOptionTable()
{
    static const std::vector<OptionSpec<BatchOptions>> table{
        row("--batch", "", "compose every stereo file and picture pair of the\nINPUTs, one job each",
            [](BatchOptions& o, const std::string&) -> Error {
                o.enabled = true;
                return std::nullopt;
            }),
        row("--out-dir", "DIR", "folder for the outputs, mirroring the input folders",
            [](BatchOptions& o, const std::string& value) -> Error {
                if (value.empty())
                    return std::string("option '--out-dir' needs a folder");
                o.outDir = value;
                return std::nullopt;
            }),
        row("--recursive", "", "read the folders among the INPUTs to any depth;\ndefault one level",
            [](BatchOptions& o, const std::string&) -> Error {
                o.recursive = true;
                return std::nullopt;
            }),
        row("--manifest", "FILE", "the jobs from a CSV file instead of INPUTs: columns\nleft,right,output and "
            "optional glasses, depth,\nvertical (any option above, '_' for '-')",
            [](BatchOptions& o, const std::string& value) -> Error {
                if (value.empty())
                    return std::string("option '--manifest' needs a file");
                o.manifest = value;
                return std::nullopt;
            }),
        row("--out-type", "EXT", "the outputs' type, by extension:\n" + joined(outputExtensions(), "|") + "; default jpg",
            [](BatchOptions& o, const std::string& value) -> Error {
                const std::vector<std::string> extensions = outputExtensions();
                if (std::find(extensions.begin(), extensions.end(), lowercase(value)) == extensions.end())
                    return "unknown output type '" + value + "' (use " + joined(extensions, ", ") + ")";
                o.outType = lowercase(value);
                return std::nullopt;
            }),
        row("--jobs", "N", "jobs at a time; default one per core",
            [](BatchOptions& o, const std::string& value) -> Error {
                const auto jobs = parseInteger(value);
                if (!jobs || *jobs < 1 || *jobs > 1024)
                    return "option '--jobs' needs a number from 1 to 1024, not '" + value + "'";
                o.jobs = unsigned(*jobs);
                return std::nullopt;
            }),
        row("--report", "FILE", "write one JSON line per job to FILE",
            [](BatchOptions& o, const std::string& value) -> Error {
                if (value.empty())
                    return std::string("option '--report' needs a file");
                o.reportPath = value;
                return std::nullopt;
            }),
        row("--shard", "K/N", "do only the jobs at positions K-1 modulo N of the\nsorted job list, "
            "for N machines given K = 1..N",
            [](BatchOptions& o, const std::string& value) -> Error {
                const auto shard = parseShard(value);
                if (!shard)
                    return "option '--shard' needs K/N with 1 <= K <= N, not '" + value + "'";
                o.shard = *shard;
                return std::nullopt;
            }),
    };
    return table;
}

}  // namespace korvex
