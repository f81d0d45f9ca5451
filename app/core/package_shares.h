// How a batch spreads the 100 units of its progress bar over the chosen files, and how one
// file's share is spent in three steps as its compression goes on.
#pragma once

namespace qx {

constexpr int kProgressUnits = 100;

// Hands out each file's share of the bar, in file order. With at most as many files as units
// every file gets units left / files left; with more files, one file in every group advances
// one unit. The last file takes whatever is left, so a complete batch ends at exactly 100.
class PackageShares {
  public:
    explicit PackageShares(int files, int units = kProgressUnits);

    // The share of file index; called once for every index from 0 upwards.
    int next(int index);

  private:
    int files_;
    int unitsLeft_;
    int filesLeft_;
    int group_ = 0;
    int nextAdvance_ = 0;
    bool grouped_;  // more files than units: one file in every group advances one unit
};

// The bar's position and the part of the current file's share already shown.
class ProgressSteps {
  public:
    // Starts a file whose share is share.
    void startFile(int share) {
        share_ = share;
        done_ = 0;
    }
    // Phase 0 advances by (share + 1) / 3; phase 1 advances by what is left of the share.
    void report(int phase);

    int value() const { return value_; }

  private:
    int share_ = 0;
    int done_ = 0;
    int value_ = 0;
};

}  // namespace qx
