// What one thread of qx1 works with: its own codec and container, kept from file to file, and
// the helpers that turn what the library said into a file's report.
#pragma once

#include <cstdint>
#include <string>

#include "app/core/dialog_hooks.h"
#include "app/core/memory_status.h"
#include "cli/cli_dialogs.h"
#include "cli/file_jobs.h"
#include "codec/codec.h"
#include "container/container.h"

namespace qx1 {

struct Worker {
    qx::Codec codec;
    qx::Container container;
};

// The dialogs and hooks of one file: every message the library shows ends up in dialogs. The
// codec talks to them while the session lasts.
struct FileSession {
    CliDialogs dialogs;
    qx::DialogHooks hooks;
    qx::Codec& codec;

    FileSession(qx::Codec& c, const qx::MemoryStatusSource& memory)
        : hooks(dialogs, memory), codec(c) {
        codec.hooks = &hooks;
    }
    ~FileSession() { codec.hooks = &qx::Codec::defaultHooks; }
    FileSession(const FileSession&) = delete;
    FileSession& operator=(const FileSession&) = delete;
};

// Codec settings of the two modes.
struct Mode {
    uint8_t compressionMode = 0;
    int16_t quality = 0;
};
// "high" or "clear"; false for anything else.
bool ParseMode(const std::string& name, Mode& mode);

// A failed report: the messages shown so far, each on its own line prefixed with name; extra
// (when not empty) after them; and a generic line when nothing at all was said.
FileReport Failure(const std::string& name, const CliDialogs& dialogs,
                   const std::string& extra = {});

// The time stamped into compressed files: SOURCE_DATE_EPOCH when set, else the current time.
// False (with why) when the variable is set but is not a number of seconds.
bool CompressionTime(uint32_t& time, std::string& why);

bool FileExists(const std::string& path);

// Removes a partly written output; the file was ours to write, so a failure is ignored.
void RemoveOutput(const std::string& path);

}  // namespace qx1
