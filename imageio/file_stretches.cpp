#include "imageio/file_stretches.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "codec/split_work.h"

namespace qx {

namespace {

// Small enough that a helper which turns up late still finds pieces left, large enough that a
// piece costs one system call among many pages.
constexpr size_t kPieceBytes = size_t{256} << 10;

}  // namespace

bool ReadStretches(const FileHandle& file, std::span<const FileStretch> stretches,
                   HelperThread* helper) {
    std::vector<FileStretch> pieces;
    for (const FileStretch& s : stretches) {
        for (size_t done = 0; done < s.size; done += kPieceBytes) {
            pieces.push_back({s.offset + static_cast<int64_t>(done),
                              std::min(kPieceBytes, s.size - done), s.to + done});
        }
    }
    std::atomic<bool> shortRead{false};
    const bool ran =
        ShareOut(helper, 0, static_cast<int>(pieces.size()), 1, [&](int, int begin, int end) {
            for (int i = begin; i < end; ++i) {
                const FileStretch& p = pieces[static_cast<size_t>(i)];
                if (!file.readExactAt(p.offset, p.to, p.size)) {
                    shortRead.store(true, std::memory_order_relaxed);
                }
            }
        });
    return ran && !shortRead.load(std::memory_order_relaxed);
}

}  // namespace qx
