// The batch's output on the two streams.
#include "cli/batch_report.h"

#include <unistd.h>

#include "cli/commands.h"
#include "cli/json_lines.h"

namespace qx1 {

BatchReport::BatchReport(const ReportStyle& style, size_t total)
    : style_(style), total_(total), start_(std::chrono::steady_clock::now()) {
    progress_ = total > 1 && !style.quiet && !style.json && ::isatty(STDERR_FILENO);
}

void BatchReport::add(const FileReport& report) {
    ++done_;
    if (!report.ok) ++failed_;
    if (report.ok && report.skipped) ++skipped_;
    std::FILE* lines = style_.dataOnStdout ? stderr : stdout;
    const std::string text = style_.json ? JsonLine(report) : style_.quiet ? "" : report.out;
    if (!text.empty() || !report.err.empty()) clearProgress();
    if (!text.empty()) {
        std::fputs(text.c_str(), lines);
        std::fflush(lines);
    }
    if (!report.err.empty()) {
        std::fputs(report.err.c_str(), stderr);
        std::fflush(stderr);
    }
    drawProgress();
}

int BatchReport::finish() {
    clearProgress();
    if (failed_ > 0 && total_ > 1) {
        const size_t succeeded = done_ - failed_ - skipped_;
        std::fprintf(stderr, "%zu %s, %zu failed, %zu skipped\n", succeeded, style_.verb.c_str(),
                     failed_, skipped_);
    }
    return failed_ > 0 ? kExitFailed : kExitOk;
}

void BatchReport::clearProgress() {
    if (!progressShown_) return;
    std::fputs("\r\033[K", stderr);
    progressShown_ = false;
}

void BatchReport::drawProgress() {
    if (!progress_) return;
    const auto now = std::chrono::steady_clock::now();
    // A few redraws a second are enough, the last file is always shown.
    if (progressShown_ && done_ < total_ && now - lastDrawn_ < std::chrono::milliseconds(100))
        return;
    lastDrawn_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    std::fprintf(stderr, "\r\033[K%zu of %zu done, %zu failed, %.1f s, %.1f files/s", done_, total_,
                 failed_, elapsed, elapsed > 0 ? static_cast<double>(done_) / elapsed : 0.0);
    std::fflush(stderr);
    progressShown_ = true;
}

}  // namespace qx1
