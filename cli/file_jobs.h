// Runs one job per file on a few threads and hands the reports over in the order of the files,
// so the output reads the same whatever the number of threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qx1 {

struct FileReport {
    bool ok = true;
    bool skipped = false;  // --skip-existing found the output done already
    std::string out;       // report lines (standard output, unless it carries data)
    std::string err;       // lines for standard error
    // The figures of the JSON line; a width of 0 or a negative count is left out.
    std::string input;
    std::string output;
    int width = 0;
    int length = 0;
    int64_t bytes = -1;
    int ratio = -1;
    std::optional<double> psnr;
};

// Calls work(index, worker) for every index below count, on `threads` threads (worker is the
// thread's number, 0 ... threads - 1), and done(index, report) in index order on one thread at
// a time. Returns true when every report is ok.
bool RunFileJobs(size_t count, int threads,
                 const std::function<FileReport(size_t index, int worker)>& work,
                 const std::function<void(size_t index, const FileReport& report)>& done);

// Writes a report's lines to standard output and standard error.
void PrintReport(const FileReport& report, bool quiet);

// The number of CPUs this process may run on (its affinity mask), at least 1.
int AvailableCpus();

// Whether each of `workers` codecs may share its work with a helper thread when at most
// `threads` threads are to run at once (-j, or the CPUs): -j 1 means one thread, so that a
// scheduler that runs one qx1 per core gets what it asked for.
constexpr bool HelpersFit(int threads, int workers) {
    return threads >= 2 * workers;
}

}  // namespace qx1
