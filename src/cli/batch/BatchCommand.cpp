#include "cli/batch/BatchCommand.h"

#include "cli/ComposeJob.h"
#include "cli/Messages.h"
#include "cli/MethodChoice.h"
#include "cli/OutputChoice.h"
#include "cli/batch/BatchProgress.h"
#include "cli/batch/JobDiscovery.h"
#include "cli/batch/JobReport.h"
#include "cli/batch/Manifest.h"
#include "cli/batch/Shards.h"
#include "cli/batch/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <ostream>
#include <thread>

namespace korvex {

namespace fs = std::filesystem;

namespace {

struct JobList {
    std::vector<BatchJob> jobs;
    std::string error;
};

JobList jobsFromInputs(const ComposeOptions& defaults, const BatchOptions& batch)
{
    const Discovery found = Discovery::find(batch.inputs, batch.recursive, batch.outDir);
    if (!found.error.empty())
        return {{}, found.error};
    JobList list;
    for (const FoundJob& one : found.jobs) {
        BatchJob job{one.name, defaults, one.skipReason};
        job.options.left = one.left;
        job.options.right = one.right;
        job.options.stereoFile = one.right.empty();
        if (job.skipReason.empty()) {
            job.options.output = (fs::path(batch.outDir) / (one.name + "." + batch.outType)).string();
            if (const auto error = chooseOutput(job.options))
                return {{}, *error};
            if (const auto error = checkMethodChoice(job.options))
                return {{}, *error};
        }
        list.jobs.push_back(std::move(job));
    }
    return list;
}

// One order on every machine, so that shards of the same command agree.
void sortJobs(std::vector<BatchJob>& jobs)
{
    std::sort(jobs.begin(), jobs.end(), [](const BatchJob& a, const BatchJob& b) {
        return std::tie(a.name, a.options.left, a.options.right, a.options.output)
            < std::tie(b.name, b.options.left, b.options.right, b.options.output);
    });
}

std::string duplicateOutput(const std::vector<BatchJob>& jobs)
{
    std::map<std::string, const BatchJob*> byOutput;
    for (const BatchJob& job : jobs) {
        if (!job.skipReason.empty())
            continue;
        const auto [existing, added] = byOutput.emplace(job.options.output, &job);
        if (!added)
            return "two jobs would write '" + job.options.output + "': " + existing->second->options.left + " and "
                + job.options.left;
    }
    return {};
}

JobRecord recordFor(const BatchJob& job)
{
    return {job.name, job.options.left, job.options.right, job.options.output, "ok", {}, 0, {}, {}};
}

// Runs one job and says how it went; never throws.
JobRecord runJob(const BatchJob& job)
{
    JobRecord record = recordFor(job);
    if (!job.skipReason.empty()) {
        record.status = "skipped";
        record.error = job.skipReason;
        record.output.clear();
        return record;
    }
    std::error_code error;
    if (!job.options.overwrite && fs::exists(job.options.output, error)) {
        record.status = "skipped";
        record.error = "the output exists";
        return record;
    }
    const auto start = std::chrono::steady_clock::now();
    const fs::path folder = fs::path(job.options.output).parent_path();
    if (!folder.empty() && !fs::create_directories(folder, error) && error) {
        record.status = "failed";
        record.error = folder.string() + ": cannot make the folder: " + error.message();
        return record;
    }
    try {
        // The report carries the placement of every aligned job.
        ComposeOptions options = job.options;
        options.printAlignment = options.autoAlign;
        const ComposeJob::Outcome outcome = ComposeJob::run(options);
        record.warnings = outcome.warnings;
        record.alignmentJson = outcome.alignmentJson;
        if (outcome.exitStatus != 0) {
            record.status = "failed";
            record.error = outcome.error;
        }
    } catch (const std::exception& exception) {
        record.status = "failed";
        record.error = job.options.left + ": " + exception.what();
    }
    record.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return record;
}

}  // namespace

int BatchCommand::run(const ComposeOptions& defaults, const BatchOptions& batch, std::ostream& err, bool errIsTerminal)
{
    JobList list = batch.manifest.empty() ? jobsFromInputs(defaults, batch) : [&] {
        Manifest manifest = Manifest::read(batch.manifest, batch.outDir, defaults);
        return JobList{std::move(manifest.jobs), std::move(manifest.error)};
    }();
    if (list.error.empty())
        list.error = duplicateOutput(list.jobs);
    if (!list.error.empty()) {
        err << messageLine(list.error + " (see korvex-compose --help)") << '\n';
        return 2;
    }
    sortJobs(list.jobs);
    const std::vector<BatchJob> jobs = takeShard(std::move(list.jobs), batch.shard);

    JobReport report;
    if (!batch.reportPath.empty()) {
        if (const std::string error = report.open(batch.reportPath); !error.empty()) {
            err << messageLine(error) << '\n';
            return 1;
        }
    }

    BatchProgress progress(err, jobs.size(), errIsTerminal);
    std::atomic<std::size_t> composed{0}, skipped{0}, failed{0};
    const unsigned workers = batch.jobs ? batch.jobs : std::max(1u, std::thread::hardware_concurrency());
    runOnWorkers(jobs.size(), workers, [&](std::size_t i) {
        const JobRecord record = runJob(jobs[i]);
        for (const std::string& warning : record.warnings)
            progress.message(messageLine("warning: " + warning));
        if (record.status == "failed")
            progress.message(messageLine(record.error));
        else if (!jobs[i].skipReason.empty())
            progress.message(messageLine("skipped " + record.left + ": " + record.error));
        (record.status == "ok" ? composed : record.status == "failed" ? failed : skipped)++;
        report.add(record);
        progress.jobFinished(record.status == "failed");
    });
    progress.finish();
    if (errIsTerminal || failed > 0)
        err << messageLine(std::to_string(composed) + " composed, " + std::to_string(skipped) + " skipped, "
                           + std::to_string(failed) + " failed")
            << '\n';
    return failed > 0 ? 1 : 0;
}

}  // namespace korvex
