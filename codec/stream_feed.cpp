// Reading a word stream that another thread is still storing, and joining that thread.
#include <thread>

#include "codec/bit_stream.h"
#include "codec/codec.h"

namespace qx {

bool AwaitWords(WordStream& s, uint32_t needed) {
    StreamFeed& feed = *s.feed;
    for (int spins = 0;; ++spins) {
        const uint32_t state = feed.state.load(std::memory_order_acquire);
        const uint32_t ready = state & ~StreamFeed::kDone;
        if (ready >= needed || (state & StreamFeed::kDone) != 0) {
            s.limit = ready;
            return ready >= needed;
        }
        // Waiting is the time to make words: the next ones are made here unless the producer is
        // making them. A producer that the system starts late then costs no waiting.
        if (feed.makeHere != nullptr && feed.makeHere(feed.makeHereContext)) continue;
        // The producer publishes every few thousand bytes: a short wait usually suffices.
        if (spins < 64) {
            std::this_thread::yield();
        } else {
            feed.state.wait(state, std::memory_order_acquire);
        }
    }
}

void JoinMainCodeFeed(Codec& codec) {
    StreamFeed* feed = codec.MainCode.feed;
    if (feed == nullptr || feed->producer == nullptr) return;
    feed->producer->wait();  // the task catches its own failures
    feed->producer = nullptr;
    codec.MainCode.limit = feed->state.load(std::memory_order_acquire) & ~StreamFeed::kDone;
}

}  // namespace qx
