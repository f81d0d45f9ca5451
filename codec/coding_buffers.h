// Sizing of the coefficient coder's buffers for a coded size, shared by the preparation stage
// and the compressed-file reader.
#pragma once

#include "codec/codec.h"

namespace qx {

// Sizes PlaneBuffer, CoefficientPlane, SignificanceMap and both code streams for a coded
// picture of width x length; returns 0, or kNoMemory when an allocation fails. Nothing is
// zero-filled: every stage writes what it later reads (a decode that ends early zeroes the
// planes it did not reach).
[[nodiscard]] int AllocateCodingBuffers(Codec& codec, int width, int length);

// Empties both code streams for writing: positions 0, first words 0, write limits set so that
// every file written stays readable.
void EmptyCodeStreams(Codec& codec);

// Readies the wavelet's scratch for a transform: the codec's helper thread, and the part of the
// significance map's block past the largest map as room for the strips. That block is rounded up
// to whole huge pages and even the largest map fills little more than half of the last one, so
// the strips then cost no huge page of their own.
void PrepareWaveletScratch(Codec& codec);

// Number of wavelet levels and low-band size that the forward transform gives for a plane.
struct WaveletGeometry {
    int levels = 0;
    int lowWidth = 0;
    int lowHeight = 0;
};
WaveletGeometry ComputeWaveletGeometry(int width, int height, int minBandSize);

}  // namespace qx
