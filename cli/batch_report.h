// Prints the reports of a batch as they come: the report lines (or JSON lines), one updating
// progress line on a terminal, and the summary after a batch with a failure.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

#include "cli/file_jobs.h"

namespace qx1 {

struct ReportStyle {
    bool quiet = false;
    bool json = false;
    bool dataOnStdout = false;        // standard output carries data: every line goes to stderr
    std::string verb = "compressed";  // the summary's word for the files that succeeded
};

class BatchReport {
  public:
    BatchReport(const ReportStyle& style, size_t total);
    // Prints one file's report; called in the order of the files.
    void add(const FileReport& report);
    // Clears the progress line and prints the summary when a file of several failed. Returns the
    // exit status: kExitOk unless a file failed.
    int finish();

  private:
    void clearProgress();
    void drawProgress();

    ReportStyle style_;
    size_t total_;
    size_t done_ = 0;
    size_t failed_ = 0;
    size_t skipped_ = 0;
    bool progress_ = false;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace qx1
