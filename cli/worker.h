// What one thread of qx1 works with: its own codec and container, kept from file to file, and
// the helpers that turn what the library said into a file's report.
#pragma once

#include <cstdint>
#include <string>

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
// (when not empty) after them; and a generic line when nothing at all was said.
FileReport Failure(const std::string& name, const CliDialogs& dialogs,
                   const std::string& extra = {});

bool FileExists(const std::string& path);

// Removes a partly written output; the file was ours to write, so a failure is ignored.
void RemoveOutput(const std::string& path);

}  // namespace qx1
