// Runs one job per file on a few threads and hands the reports over in the order of the files,
// so the output reads the same whatever the number of threads.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace qx1 {

struct FileReport {
    bool ok = true;
    std::string out;  // lines for standard output
    std::string err;  // lines for standard error
};

// Calls work(index, worker) for every index below count, on `threads` threads (worker is the
// thread's number, 0 ... threads - 1), and done(index, report) in index order on one thread at
// a time. Returns true when every report is ok.
bool RunFileJobs(size_t count, int threads,
                 const std::function<FileReport(size_t index, int worker)>& work,
                 const std::function<void(size_t index, const FileReport& report)>& done);

// Writes a report's lines to standard output and standard error.
void PrintReport(const FileReport& report, bool quiet);

}  // namespace qx1
