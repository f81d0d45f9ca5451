// The safe-write helper and its registry of temporary files, which a signal handler may read.
#include "base/safe_write.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace qx {

namespace {

// The temporary files being written, for the signal handler. A fixed table of fixed buffers:
// a handler may not allocate or take locks. A slot is Free, Filling (being set up, not read by
// the handler) or Live. Initialised at compile time, so the table stays untouched zero pages
// until a slot is used, instead of costing one page fault per slot at every start.
constexpr int kSlots = 64;
constexpr size_t kPathBytes = 4096;
enum SlotState : int { Free = 0, Filling = 1, Live = 2 };
struct TempSlot {
    std::atomic<int> state{Free};
    char path[kPathBytes];
};
constinit std::array<TempSlot, kSlots> tempSlots{};

int RegisterTemp(const std::string& path) {
    if (path.size() >= kPathBytes) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = Free;
        if (tempSlots[i].state.compare_exchange_strong(expected, Filling)) {
            std::memcpy(tempSlots[i].path, path.c_str(), path.size() + 1);
            tempSlots[i].state.store(Live);
            return i;
        }
    }
    return -1;  // more writers than slots: that file is only removed on ordinary failures
}

void UnregisterTemp(int slot) {
    if (slot >= 0) tempSlots[slot].state.store(Free);
}

// Temporary files come into being only inside a creation section (open, then register). The
// handler first stops new sections, then waits for running ones to register their file, so no
// temporary file can appear between its sweep and the end of the process.
std::atomic<bool> terminating{false};
std::atomic<int> creating{0};

// Keeps SIGINT and SIGTERM away from this thread while it creates and registers a temporary
// file, so the handler never waits for the thread it interrupted.
class CreationSection {
  public:
    CreationSection() {
        sigset_t stop;
        sigemptyset(&stop);
        sigaddset(&stop, SIGINT);
        sigaddset(&stop, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &stop, &old_);
        creating.fetch_add(1);
        refused_ = terminating.load();
    }
    ~CreationSection() {
        creating.fetch_sub(1);
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    CreationSection(const CreationSection&) = delete;
    CreationSection& operator=(const CreationSection&) = delete;
    bool refused() const { return refused_; }

  private:
    sigset_t old_;
    bool refused_ = false;
};

void RemoveTempsAndReraise(int signal) {
    const int saved = errno;
    terminating.store(true);
    // Bounded: a section takes microseconds; a tenth of a second is far beyond it.
    for (int wait = 0; wait < 1000 && creating.load() > 0; ++wait) {
        const timespec pause{0, 100000};
        ::nanosleep(&pause, nullptr);
    }
    for (TempSlot& slot : tempSlots) {
        if (slot.state.load() == Live) ::unlink(slot.path);
    }
    errno = saved;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name no other writer uses: the process, a counter and the clock.
std::string TempNameFor(const std::string& finalName) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    char tail[64];
    std::snprintf(tail, sizeof tail, ".%d.%u.%llx.tmp", static_cast<int>(::getpid()), counter++,
                  static_cast<unsigned long long>(ticks));
    std::string dir = DirectoryOf(finalName);
    if (dir != "/") dir += '/';
    return dir + "." + BaseOf(finalName) + tail;
}

// Gives `from` the name `to` only when `to` does not exist. Falls back to link + unlink where
// the file system or the kernel has no RENAME_NOREPLACE.
bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

}  // namespace

WriteStatus ExamineOutput(const std::string& path, bool replace) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return WriteStatus::Written;
    // A symbolic link is replaced itself, never written through.
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return WriteStatus::NotRegular;
    if (!replace) return WriteStatus::Exists;
    // A read-only file stays as it is, for the superuser too (whom access() lets write it).
    if (S_ISREG(st.st_mode) &&
        ((st.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)) {
        errno = EACCES;
        return WriteStatus::NotWritable;
    }
    return WriteStatus::Written;
}

SafeWrite::SafeWrite(const std::string& finalName, bool replace)
    : finalName_(finalName), replace_(replace) {
    errno = 0;
    result_.status = ExamineOutput(finalName, replace);
    if (result_.status != WriteStatus::Written) {
        result_.error = result_.status == WriteStatus::NotWritable ? errno : 0;
        if (result_.status == WriteStatus::Exists) result_.error = EEXIST;
        return;
    }
    struct stat old;
    replacing_ = ::stat(finalName.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (!replacing_ && openUnnamed()) return;
    CreationSection section;
    if (section.refused()) {
        result_ = {WriteStatus::CannotCreate, EINTR};
        return;
    }
    for (int attempt = 0; attempt < 8 && !file_.isOpen(); ++attempt) {
        tempName_ = TempNameFor(finalName);
        int fd;
        do {
            fd = ::open(tempName_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0 && errno != EEXIST) break;
        // Registered only once it is ours: the handler must never remove someone else's file.
        if (fd >= 0) {
            file_ = FileHandle(fd);
            slot_ = RegisterTemp(tempName_);
        }
    }
    if (!file_.isOpen()) {
        result_ = {WriteStatus::CannotCreate, errno};
        tempName_.clear();
        return;
    }
    if (replacing_ && ::fchmod(file_.fd(), old.st_mode & 07777) != 0) {
        result_ = {WriteStatus::CannotCreate, errno};
        abandon();
    }
}

// A new output is written to a file without a name in the target's directory, which takes the
// final name by a link once it is complete. Nothing is ever left behind, even by a process that
// is killed, and the directory is locked only for the link: a named temporary file locks it
// twice, once while the file system finds room for it, which writers side by side wait for.
// Needs O_TMPFILE, which some file systems lack, and /proc to link the file by its descriptor.
bool SafeWrite::openUnnamed() {
    if (::access("/proc/self/fd", X_OK) != 0) return false;
    int fd;
    do {
        fd = ::open(DirectoryOf(finalName_).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    file_ = FileHandle(fd);
    unnamed_ = true;
    return true;
}

// Gives the complete unnamed file the final name: a link, which fails where the name exists. An
// output that may replace what is there then takes a temporary name and is renamed over it.
bool SafeWrite::linkUnnamed() {
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", file_.fd());
    if (::linkat(AT_FDCWD, self, AT_FDCWD, finalName_.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno != EEXIST || !replace_) return false;
    std::string temp;
    {
        CreationSection section;
        if (section.refused()) {
            errno = EINTR;
            return false;
        }
        for (int attempt = 0; attempt < 8 && temp.empty(); ++attempt) {
            temp = TempNameFor(finalName_);
            if (::linkat(AT_FDCWD, self, AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) != 0) {
                if (errno != EEXIST) return false;
                temp.clear();
            }
        }
        if (temp.empty()) return false;
        tempName_ = temp;
        slot_ = RegisterTemp(temp);
    }
    return ::rename(temp.c_str(), finalName_.c_str()) == 0;
}

SafeWrite::~SafeWrite() {
    const int saved = errno;
    abandon();
    errno = saved;
}

void SafeWrite::abandon() {
    file_.close();
    if (!tempName_.empty()) {
        ::unlink(tempName_.c_str());
        tempName_.clear();
    }
    UnregisterTemp(slot_);
    slot_ = -1;
}

void SafeWrite::fail() {
    const int error = errno;
    if (result_.ok()) result_ = {WriteStatus::WriteFailed, error};
    abandon();
    errno = error;
}

WriteResult SafeWrite::commit() {
    if (unnamed_) return commitUnnamed();
    if (!result_.ok() || tempName_.empty()) return result_;
    const int fd = file_.release();
    const bool flushed = !replacing_ || ::fsync(fd) == 0;
    const int syncError = errno;
    const bool closed = ::close(fd) == 0;
    if (!flushed || !closed) {
        result_ = {WriteStatus::WriteFailed, flushed ? errno : syncError};
        abandon();
        errno = result_.error;
        return result_;
    }
    const bool renamed = replace_ ? ::rename(tempName_.c_str(), finalName_.c_str()) == 0
                                  : RenameNoReplace(tempName_, finalName_);
    if (!renamed) {
        const int error = errno;
        result_ = {error == EEXIST ? WriteStatus::Exists : WriteStatus::CannotRename, error};
        abandon();
        errno = error;
        return result_;
    }
    tempName_.clear();
    UnregisterTemp(slot_);
    slot_ = -1;
    return result_;
}

WriteResult SafeWrite::commitUnnamed() {
    if (!result_.ok() || !file_.isOpen()) return result_;
    if (!linkUnnamed()) {
        const int error = errno;
        result_ = {error == EEXIST ? WriteStatus::Exists : WriteStatus::CannotRename, error};
        abandon();
        errno = error;
        return result_;
    }
    tempName_.clear();  // renamed, if it had a temporary name
    UnregisterTemp(slot_);
    slot_ = -1;
    // A failed close reports a write that failed late; the output, ours alone, goes again.
    struct stat own;
    const bool known = ::fstat(file_.fd(), &own) == 0;
    if (::close(file_.release()) != 0) {
        result_ = {WriteStatus::WriteFailed, errno};
        struct stat named;
        if (known && ::lstat(finalName_.c_str(), &named) == 0 && named.st_dev == own.st_dev &&
            named.st_ino == own.st_ino)
            ::unlink(finalName_.c_str());
        errno = result_.error;
    }
    return result_;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
        sa.st_ino == sb.st_ino) {
        return true;
    }
    return OutputKey(a) == OutputKey(b);
}

std::string OutputKey(const std::string& path) {
    std::error_code error;
    const std::filesystem::path dir =
        std::filesystem::weakly_canonical(std::filesystem::absolute(DirectoryOf(path)), error);
    return (error ? std::filesystem::path(DirectoryOf(path)) : dir).string() + "/" + BaseOf(path);
}

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void RemoveTemporaryFilesOnSignal() {
    struct sigaction action {};
    action.sa_handler = RemoveTempsAndReraise;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace qx
