#include "codec/thread_placement.h"

namespace qx {

void ThreadPlacement::recordAllowed() {
    CPU_ZERO(&allowed_);
    // A machine with more processors than a cpu_set_t holds refuses the call: no placement then.
    allowedCount_ =
        sched_getaffinity(0, sizeof allowed_, &allowed_) == 0 ? CPU_COUNT(&allowed_) : 0;
    keptOff_ = -1;
}

void ThreadPlacement::keepOff(pthread_t thread) {
    if (allowedCount_ < 2) return;
    const int here = sched_getcpu();
    if (here < 0 || here == keptOff_ || here >= CPU_SETSIZE || !CPU_ISSET(here, &allowed_)) return;
    cpu_set_t others = allowed_;
    CPU_CLR(here, &others);
    if (pthread_setaffinity_np(thread, sizeof others, &others) == 0) keptOff_ = here;
}

}  // namespace qx
