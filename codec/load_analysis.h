// Work done on every picture as it is loaded: smoothing of busy areas and the analysis that
// chooses tone tables, reference channel and sharpening.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "codec/codec.h"

namespace qx {

// Copies a width x length RGB picture from source to destination (distinct blocks), smoothing
// every interior pixel whose 3 x 3 neighbourhood spans channel ranges adding up to 330 or more.
// The window's middle-left sample is the pixel just written, not the source pixel.
void SmoothBusyAreas(const uint8_t* source, uint8_t* destination, int width, int length);

// Working rows of SmoothBusyRowsInPlace, kept from one call to the next by one thread. They are
// made when a first row needs smoothing, which most rows of a picture do not.
class SmoothingRows {
  public:
    SmoothingRows();
    ~SmoothingRows();
    SmoothingRows(const SmoothingRows&) = delete;
    SmoothingRows& operator=(const SmoothingRows&) = delete;

    struct Scratch;
    Scratch& scratch(size_t rowBytes);

  private:
    std::unique_ptr<Scratch> scratch_;
};

// SmoothBusyAreas in place, for the rows begin ... end - 1 only. The rows of the range are read as
// they were before the call; the rows next to it may be changing meanwhile (another thread may be
// smoothing them), so their original bytes come from `above` (row begin - 1) and `below` (row
// end), each read only when that row lies inside the picture. Returns the original bytes of row
// end - 1, in the picture or in `rows`, valid until the picture or `rows` is next written.
const uint8_t* SmoothBusyRowsInPlace(uint8_t* picture, int width, int length, int begin, int end,
                                     const uint8_t* above, const uint8_t* below,
                                     SmoothingRows& rows);

// Measures the mean horizontal activity of each channel and which of red and green dominates;
// writes ChannelActivity, ToneSelect and ReferenceChannel.
void AnalysePicture(const uint8_t* picture, int width, int length, CodecParameters& params);

// The analysis in two steps: sums added up row range by row range (in any order, in separate
// PictureSums that are then added together), then the parameters from the picture's sums.
struct PictureSums {
    uint64_t activity[3] = {0, 0, 0};
    uint64_t redSum = 0, redCount = 0, greenSum = 0, greenCount = 0;
    void add(const PictureSums& other);
};
void AddPictureSums(const uint8_t* picture, int width, int begin, int end, PictureSums& sums);
// The sums of pixels first ... width - 1 of one row (first >= 1), each measured against the pixel
// before it.
void AddRowSums(const uint8_t* row, int first, int width, PictureSums& sums);
void FinishAnalysis(const PictureSums& sums, int width, int length, CodecParameters& params);

}  // namespace qx
