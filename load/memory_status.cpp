// The free-memory figures from /proc/meminfo and the low-memory question.
#include "load/memory_status.h"

#include <algorithm>
#include <charconv>

#include "base/file_handle.h"

namespace qx {

namespace {

// The number after "Key:" on the line that starts with key, or -1.
int64_t FieldKb(std::string_view text, std::string_view key) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (line.size() > key.size() && line.substr(0, key.size()) == key &&
            line[key.size()] == ':') {
            std::string_view rest = line.substr(key.size() + 1);
            size_t digits = rest.find_first_not_of(" \t");
            if (digits == std::string_view::npos) return -1;
            int64_t value = -1;
            auto [ptr, ec] =
                std::from_chars(rest.data() + digits, rest.data() + rest.size(), value);
            (void)ptr;
            return ec == std::errc() ? value : -1;
        }
        pos = end + 1;
    }
    return -1;
}

}  // namespace

MemoryStatus ParseMeminfo(std::string_view text) {
    MemoryStatus status;
    int64_t total = FieldKb(text, "MemTotal");
    int64_t available = FieldKb(text, "MemAvailable");
    if (available < 0) available = FieldKb(text, "MemFree");
    if (total < 0 || available < 0) return status;
    status.valid = true;
    status.memTotalKb = total;
    status.memAvailableKb = available;
    status.swapTotalKb = std::max<int64_t>(FieldKb(text, "SwapTotal"), 0);
    status.swapFreeKb = std::max<int64_t>(FieldKb(text, "SwapFree"), 0);
    return status;
}

MemoryStatus MemoryStatusSource::read() const {
    // Read once per picture, so plainly: a stream would cost more than the kernel's own text.
    FileHandle file = FileHandle::open(path_, FileHandle::Mode::ReadOnly);
    if (!file.isOpen()) return {};
    std::string text;
    char chunk[4096];
    for (int64_t got; (got = file.read(chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<size_t>(got));
    return ParseMeminfo(text);
}

bool CheckFreeMemory(Prompts& prompts, const std::string& name, int width, int length,
                     const MemoryStatusSource& memory) {
    MemoryStatus status = memory.read();
    if (!status.valid) return false;
    const int64_t needKb = (static_cast<int64_t>(width) * length * 15) >> 10;
    if (status.freePageFileKb() >= needKb) return false;
    const Answer answer =
        prompts.askYesNo(name + ":  There is few memory for file. Do you want to continue?");
    return answer != Answer::Yes;
}

}  // namespace qx
