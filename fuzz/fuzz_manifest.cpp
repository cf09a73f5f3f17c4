// Any bytes as a batch manifest: the CSV reader must read back what it would
// write, and the manifest must give jobs with their paths or a fault that
// names its line.
#include "cli/batch/CsvReader.h"
#include "cli/batch/Manifest.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

std::string quoted(const std::string& field)
{
    std::string text = "\"";
    for (const char c : field)
        text += c == '"' ? std::string("\"\"") : std::string(1, c);
    return text + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korvex;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const CsvTable table = CsvTable::read(text);
    if (table.error.empty()) {
        std::string written;
        for (const CsvRecord& record : table.records) {
            if (record.fields.empty())
                __builtin_trap();
            for (std::size_t i = 0; i < record.fields.size(); ++i)
                written += (i ? "," : "") + quoted(record.fields[i]);
            written += "\r\n";
        }
        const CsvTable again = CsvTable::read(written);
        if (!again.error.empty() || again.records.size() != table.records.size())
            __builtin_trap();
        for (std::size_t r = 0; r < table.records.size(); ++r)
            if (again.records[r].fields != table.records[r].fields)
                __builtin_trap();
    } else if (table.errorLine < 1 || !table.records.empty()) {
        __builtin_trap();
    }

    const Manifest manifest = Manifest::parse(text, "/m", "/out", ComposeOptions{});
    if (manifest.error.empty()) {
        for (const BatchJob& job : manifest.jobs)
            if (job.options.left.empty() || job.options.output.empty() || job.options.typeName.empty()
                || job.options.stereoFile != job.options.right.empty())
                __builtin_trap();
    } else if (!manifest.error.starts_with("line ") || !manifest.jobs.empty()) {
        __builtin_trap();
    }
    return 0;
}
