#pragma once

#include <fstream>
#include <mutex>
#include <string>
#include <vector>

namespace korvex {

// What the report says of one job.
struct JobRecord {
    std::string job;
    std::string left;
    std::string right;
    std::string output;
    std::string status;  // "ok", "failed" or "skipped"
    std::string error;
    double seconds = 0;
    std::vector<std::string> warnings;
    std::string alignmentJson;  // the applied placement, when auto-align ran
};

// The --report file: one JSON object per job and line (JSON Lines), written
// as each job ends, so an interrupted batch leaves a report of what it did.
// Names that are not UTF-8 are written with replacement characters.
class JobReport {
public:
    // Returns why the file cannot be written, or an empty string.
    std::string open(const std::string& path);
    void add(const JobRecord& record);

    static std::string line(const JobRecord& record);  // without the newline

private:
    std::mutex mutex_;
    std::ofstream file_;
};

}  // namespace korvex
