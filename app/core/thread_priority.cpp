// Thread priority through setpriority on the calling thread's id.
#include "app/core/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace qx {

int SetThreadNiceSystem(int tid, int nice) {
    errno = 0;
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) == 0) return 0;
    return errno;
}

PriorityResult RaiseThreadPriority(SetThreadNice setNice) {
    const int error = setNice(static_cast<int>(gettid()), -20);
    if (error == 0) return PriorityResult::Raised;
    if (error == EPERM || error == EACCES) return PriorityResult::NotPermitted;
    return PriorityResult::Failed;
}

}  // namespace qx
