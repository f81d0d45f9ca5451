// Writing an output without ever losing what was there: the bytes go to a temporary file in the
// target's directory (so that the final rename stays on one file system and is atomic), and the
// temporary file takes the final name only once it is complete. A new output's temporary file
// has no name at all where the file system allows it (O_TMPFILE) and takes the final name by a
// link. Without `replace` the final name is claimed without a race: of two writers exactly one
// wins. Whatever fails, only the temporary file is removed; a file this run did not create is
// never removed or truncated. A file that replaces an existing one reaches the disk before the
// rename, so that a crash leaves the old file or the new one, whole. A new name is not waited
// for: a crash then costs nothing that was there, and the wait (milliseconds a file) would be
// most of a small job.
#pragma once

#include <string>

#include "base/file_handle.h"

namespace qx {

enum class WriteStatus {
    Written,       // the output is complete under its final name
    Exists,        // the final name exists and may not be replaced
    NotRegular,    // the final name is a device, a FIFO, a directory, ... : nothing was written
    NotWritable,   // the existing output is read-only (or cannot be examined)
    CannotCreate,  // no temporary file could be made in the target's directory
    WriteFailed,   // writing the temporary file failed
    CannotRename,  // the complete temporary file could not take the final name
};

struct WriteResult {
    WriteStatus status = WriteStatus::Written;
    int error = 0;  // errno of the failing call, 0 when there is none
    bool ok() const { return status == WriteStatus::Written; }
};

// How a writer treats its output: whether an existing file may be replaced, and where to leave
// the outcome for a caller that wants more than the writer's own message.
struct OutputRules {
    bool replace = true;
    WriteResult* result = nullptr;
};

class SafeWrite {
  public:
    // Examines the final name and creates the temporary file. A replaced file's permission bits
    // pass to the new one; a new file gets 0666 less the umask.
    SafeWrite(const std::string& finalName, bool replace);
    // Removes the temporary file unless commit() succeeded.
    ~SafeWrite();
    SafeWrite(const SafeWrite&) = delete;
    SafeWrite& operator=(const SafeWrite&) = delete;

    // True while the temporary file is open for writing.
    bool isOpen() const { return file_.isOpen(); }
    FileHandle& file() { return file_; }
    // Records a failed write (errno is taken now) and removes the temporary file.
    void fail();
    // Closes the temporary file and gives it the final name.
    WriteResult commit();
    const WriteResult& result() const { return result_; }

  private:
    void abandon();
    bool openUnnamed();
    bool linkUnnamed();
    WriteResult commitUnnamed();

    std::string finalName_;
    std::string tempName_;
    bool replace_;
    bool replacing_ = false;  // an existing regular file is to be replaced
    bool unnamed_ = false;    // the file being written has no name until it is complete
    int slot_ = -1;
    FileHandle file_;
    WriteResult result_;
};

// The outcome of examining a path that is about to be written, without writing anything.
WriteStatus ExamineOutput(const std::string& path, bool replace);

// True when both names reach the same file (same device and inode, or the same canonical path).
bool IsSameFile(const std::string& a, const std::string& b);

// A key under which two names of one output compare equal: the canonical directory plus the
// last name component ("a.qx1" and "./a.qx1" give the same key).
std::string OutputKey(const std::string& path);

// True when path names a regular file (following links); a FIFO is examined without opening it.
bool IsRegularFile(const std::string& path);

// Installs SIGINT and SIGTERM handlers that remove the temporary files still being written and
// then end the process by the same signal. Call once at start-up.
void RemoveTemporaryFilesOnSignal();

}  // namespace qx
