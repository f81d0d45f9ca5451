// A small pool of worker threads over a list of files.
#include "cli/file_jobs.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace qx1 {

bool RunFileJobs(size_t count, int threads,
                 const std::function<FileReport(size_t index, int worker)>& work,
                 const std::function<void(size_t index, const FileReport& report)>& done) {
    std::vector<FileReport> reports(count);
    std::vector<char> finished(count, 0);
    std::atomic<size_t> next{0};
    std::mutex mutex;
    size_t nextToReport = 0;
    bool allOk = true;

    auto run = [&](int worker) {
        for (size_t index = next++; index < count; index = next++) {
            FileReport report = work(index, worker);
            std::lock_guard<std::mutex> lock(mutex);
            reports[index] = std::move(report);
            finished[index] = 1;
            while (nextToReport < count && finished[nextToReport]) {
                allOk = allOk && reports[nextToReport].ok;
                done(nextToReport, reports[nextToReport]);
                reports[nextToReport] = {};
                ++nextToReport;
            }
        }
    };

    const int used =
        static_cast<int>(std::min<size_t>(std::max(threads, 1), std::max<size_t>(count, 1)));
    if (used == 1) {
        run(0);
    } else {
        std::vector<std::thread> pool;
        for (int worker = 0; worker < used; ++worker) pool.emplace_back(run, worker);
        for (std::thread& thread : pool) thread.join();
    }
    return allOk;
}

void PrintReport(const FileReport& report, bool quiet) {
    if (!quiet && !report.out.empty()) std::fputs(report.out.c_str(), stdout);
    if (!report.err.empty()) {
        std::fflush(stdout);
        std::fputs(report.err.c_str(), stderr);
    }
}

int AvailableCpus() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

}  // namespace qx1
