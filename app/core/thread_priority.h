// Raises the priority of the user-interface thread as far as this user may.
#pragma once

namespace qx {

enum class PriorityResult { Raised, NotPermitted, Failed };

// Tries to give thread `tid` priority `nice`; returns 0 or the errno of the failure.
using SetThreadNice = int (*)(int tid, int nice);
int SetThreadNiceSystem(int tid, int nice);

// One attempt at the highest priority for the calling thread. An unprivileged user is normally
// refused (EPERM, EACCES); that is the usual case, not a failure worth a message.
PriorityResult RaiseThreadPriority(SetThreadNice setNice = SetThreadNiceSystem);

inline constexpr const char* kPriorityError = "Priority Error";

}  // namespace qx
