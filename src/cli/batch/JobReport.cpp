#include "cli/batch/JobReport.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace korvex {

std::string JobReport::line(const JobRecord& record)
{
    nlohmann::ordered_json object{
        {"job", record.job},
        {"left", record.left},
        {"right", record.right},
        {"output", record.output},
        {"status", record.status},
        {"error", record.error},
        {"seconds", std::round(record.seconds * 1000) / 1000},
    };
    if (!record.warnings.empty())
        object["warnings"] = record.warnings;
    if (!record.alignmentJson.empty())
        object["alignment"] = nlohmann::ordered_json::parse(record.alignmentJson);
    // One line whatever the names hold: the dump escapes line breaks and
    // quotes, and replaces bytes that are not UTF-8.
    return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string JobReport::open(const std::string& path)
{
    file_.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file_)
        return "cannot write the report '" + path + "': " + std::strerror(errno);
    return {};
}

void JobReport::add(const JobRecord& record)
{
    if (!file_.is_open())
        return;
    const std::string text = line(record) + '\n';
    const std::lock_guard lock(mutex_);
    file_ << text;
    file_.flush();
}

}  // namespace korvex
