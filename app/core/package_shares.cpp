// Progress shares of a batch.
#include "app/core/package_shares.h"

#include <climits>

namespace qx {

PackageShares::PackageShares(int files, int units)
    : files_(files), unitsLeft_(units), filesLeft_(files), grouped_(units < files) {}

int PackageShares::next(int index) {
    if (index == files_ - 1) return unitsLeft_;
    if (!grouped_) {
        const int share = unitsLeft_ / filesLeft_;
        unitsLeft_ -= share;
        filesLeft_ -= 1;
        return share;
    }
    if (index == 0) {
        group_ = filesLeft_ / unitsLeft_;
        nextAdvance_ = group_;
    }
    if (index != nextAdvance_) return 0;
    unitsLeft_ -= 1;
    filesLeft_ -= group_;
    if (unitsLeft_ > 0) {
        group_ = filesLeft_ / unitsLeft_;
        nextAdvance_ += group_;
    } else {
        nextAdvance_ = INT_MAX;
    }
    return 1;
}

void ProgressSteps::report(int phase) {
    if (phase == 0) {
        const int step = (share_ + 1) / 3;
        value_ += step;
        done_ += step;
    } else if (share_ - done_ > 0) {
        value_ += share_ - done_;
        done_ = share_;
    }
}

}  // namespace qx
