// Keeps a helper thread off the processor its owner runs on. Some schedulers pack threads that
// are mostly idle onto a busy processor to let the others sleep (energy-aware ones, and some
// virtual machines'); a helper that sleeps between splits looks like such a thread, and placed
// beside its owner it can only run when the owner waits, so no split would run in parallel.
#pragma once

#include <pthread.h>
#include <sched.h>

namespace qx {

class ThreadPlacement {
  public:
    // Records the processors the calling thread may run on; with fewer than two, keepOff does
    // nothing.
    void recordAllowed();
    // Keeps `thread` off the processor the calling thread runs on now, within the recorded
    // ones. Costs a system call only when the caller has moved since the last call. A refusal
    // changes nothing but speed.
    void keepOff(pthread_t thread);

  private:
    cpu_set_t allowed_{};
    int allowedCount_ = 0;
    int keptOff_ = -1;  // the processor the thread is kept off now, or -1
};

}  // namespace qx
