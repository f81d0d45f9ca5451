// Shared helpers of the qx1 commands.
#include "cli/worker.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "base/file_handle.h"
#include "base/safe_write.h"
#include "base/sanitizers.h"

namespace qx1 {

void StartHelperEarly(Worker& worker) {
    if (qx::HelperThread* helper = worker.codec.helper()) helper->start();
}

void KeepUntilExit(std::unique_ptr<Worker>& worker) {
    if (qx::kAddressSanitizer) return;
    // The process ends only once every thread has: the helper thread ends meanwhile.
    if (worker && worker->codec.helperThread) worker->codec.helperThread->stop();
    (void)worker.release();
}

void KeepUntilExit(std::vector<std::unique_ptr<Worker>>& workers) {
    for (std::unique_ptr<Worker>& worker : workers) KeepUntilExit(worker);
}

FileReport Failure(const std::string& name, const CliDialogs& dialogs, const std::string& extra,
                   const std::string& reason) {
    FileReport report;
    report.ok = false;
    const size_t count = dialogs.messages.size();
    for (size_t i = 0; i < count; ++i) {
        const bool last = i + 1 == count && extra.empty();
        report.err += name + ": " + dialogs.messages[i] +
                      (last && !reason.empty() ? ": " + reason : std::string()) + "\n";
    }
    if (!extra.empty())
        report.err += name + ": " + extra + (reason.empty() ? "" : ": " + reason) + "\n";
    if (report.err.empty())
        report.err = name + ": failed" + (reason.empty() ? "" : ": " + reason) + "\n";
    return report;
}

std::string DamagedJpegLine(const std::string& name, int warnings) {
    if (warnings <= 0) return {};
    return name + ": damaged JPEG data (" + std::to_string(warnings) + " warnings)\n";
}

std::string ErrorText(int error) {
    return error ? std::strerror(error) : std::string();
}

std::string InputRefusal(const std::string& input, int& openError) {
    qx::FileHandle::InputStatus status;
    errno = 0;
    const qx::FileHandle probe = qx::FileHandle::openInput(input, &status);
    openError = probe.isOpen() ? 0 : errno;
    return status == qx::FileHandle::InputStatus::NotRegular ? "not a regular file" : std::string();
}

std::string OutputRefusal(const std::string& input, const std::string& output, bool force) {
    if (qx::IsSameFile(input, output)) return output + " is the input itself";
    switch (qx::ExamineOutput(output, force)) {
        case qx::WriteStatus::NotRegular:
            return output + " is not a regular file";
        case qx::WriteStatus::Exists:
            return output + " already exists (-f replaces it)";
        default:
            return {};
    }
}

FileReport WriteFailure(const std::string& name, CliDialogs& dialogs, const std::string& output,
                        const qx::WriteResult& result) {
    if (result.status == qx::WriteStatus::Exists || result.status == qx::WriteStatus::NotRegular) {
        dialogs.messages.clear();
        return Failure(
            name, dialogs,
            output + (result.status == qx::WriteStatus::Exists ? " already exists (-f replaces it)"
                                                               : " is not a regular file"));
    }
    return Failure(name, dialogs, {}, ErrorText(result.error));
}

FileReport Guarded(const std::string& name, const std::function<FileReport()>& work) {
    FileReport report;
    report.ok = false;
    try {
        return work();
    } catch (const std::bad_alloc&) {
        report.err = name + ": There is no memory for file.\n";
    } catch (const std::exception& error) {
        report.err = name + ": " + error.what() + "\n";
    }
    return report;
}

}  // namespace qx1
