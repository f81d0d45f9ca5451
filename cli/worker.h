// What one thread of qx1 works with: its own codec and container, kept from file to file, and
// the helpers that turn what the library said into a file's report.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_dialogs.h"
#include "cli/file_jobs.h"
#include "codec/codec.h"
#include "codec/scoped_hooks.h"
#include "container/container.h"
#include "load/dialog_hooks.h"
#include "load/memory_status.h"

namespace qx1 {

struct Worker {
    qx::Codec codec;
    qx::Container container;
};

// Starts the codec's helper thread (if it splits work) while the command still checks names and
// opens the picture, so that the thread is up when the first split comes rather than joining
// late.
void StartHelperEarly(Worker& worker);

// Leaves the workers to the end of the process, which follows the command: the kernel takes their
// memory back at exit in one go, sooner than freeing it block by block and stopping their helper
// threads would (about half a millisecond of a run). Builds with the leak check free them.
void KeepUntilExit(std::unique_ptr<Worker>& worker);
void KeepUntilExit(std::vector<std::unique_ptr<Worker>>& workers);

// The dialogs and hooks of one file: every message the library shows ends up in dialogs. The
// codec talks to them while the session lasts.
struct FileSession {
    CliDialogs dialogs;
    qx::DialogHooks hooks;
    qx::ScopedHooks hooksInUse;

    FileSession(qx::Codec& codec, const qx::MemoryStatusSource& memory)
        : hooks(dialogs, memory), hooksInUse(codec, hooks) {}
};

// A failed report: the messages shown so far, each on its own line prefixed with name; extra
// (when not empty) after them; and a generic line when nothing at all was said. A reason (an
// errno text) goes after the last message shown.
FileReport Failure(const std::string& name, const CliDialogs& dialogs,
                   const std::string& extra = {}, const std::string& reason = {});

// Why input cannot be read, before any reader runs: "not a regular file" for a FIFO, a device or
// a directory (a reader would refuse it too, with a less helpful message). Empty otherwise;
// openError is then the errno of a failed open (0 when it opened), for the reader's message.
std::string InputRefusal(const std::string& input, int& openError);

// Why output may not be written for input, before any work: the input itself (even with -f),
// not a regular file, or existing without -f. Empty when it may be written; the writer still
// checks again when it claims the name.
std::string OutputRefusal(const std::string& input, const std::string& output, bool force);

// Turns a failed write into the lines of its report: the writer's message with the reason after
// it, or for a name taken meanwhile or not a regular file the same text as OutputRefusal.
FileReport WriteFailure(const std::string& name, CliDialogs& dialogs, const std::string& output,
                        const qx::WriteResult& result);

// "NAME: damaged JPEG data (N warnings)" and a new line when libjpeg warned; the file is
// still compressed. Empty otherwise.
std::string DamagedJpegLine(const std::string& name, int warnings);

// errno's text, or empty for 0.
std::string ErrorText(int error);

// Runs one file's work; an exception from the libraries becomes that file's failure instead of
// ending the process, so the reports of the other files are still printed.
FileReport Guarded(const std::string& name, const std::function<FileReport()>& work);

}  // namespace qx1
