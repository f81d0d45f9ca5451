// The free-memory figures of the system and the low-memory question asked before a picture is
// loaded. The figures come from /proc/meminfo; tests hand in their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "load/prompts.h"

namespace qx {

// Figures in Kb, as /proc/meminfo gives them. valid is false when nothing could be read.
struct MemoryStatus {
    bool valid = false;
    int64_t memTotalKb = 0;
    int64_t memAvailableKb = 0;
    int64_t swapTotalKb = 0;
    int64_t swapFreeKb = 0;

    // What the program calls the page file: physical memory plus swap.
    int64_t freePageFileKb() const { return memAvailableKb + swapFreeKb; }
    int64_t totalPageFileKb() const { return memTotalKb + swapTotalKb; }
};

// Reads the four figures from the text of a meminfo file. MemFree stands in for MemAvailable
// on kernels that lack the latter. valid is set when MemTotal and a free figure were found.
MemoryStatus ParseMeminfo(std::string_view text);

// Where the figures come from: by default /proc/meminfo; tests pass another file or override
// read().
class MemoryStatusSource {
  public:
    explicit MemoryStatusSource(std::string path = "/proc/meminfo") : path_(std::move(path)) {}
    virtual ~MemoryStatusSource() = default;
    virtual MemoryStatus read() const;

  private:
    std::string path_;
};

// Asks whether to go on when the free page file is smaller than 15 bytes per pixel of a
// width x length picture. Returns true when the user declined; false when there is enough
// memory, the figures cannot be read, or the user answered Yes.
[[nodiscard]] bool CheckFreeMemory(Prompts& prompts, const std::string& name, int width, int length,
                                   const MemoryStatusSource& memory);

}  // namespace qx
