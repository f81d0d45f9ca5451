// Sizing of the coefficient coder's buffers for a coded size, shared by the preparation stage
// and the compressed-file reader.
#pragma once

#include "codec/codec.h"

namespace qx {

// Sizes PlaneBuffer, CoefficientPlane and both code streams for a coded picture of width x
// length; returns 0, or kNoMemory when an allocation fails. Nothing is zero-filled: every stage
// writes what it later reads (a decode that ends early zeroes the planes it did not reach).
[[nodiscard]] int AllocateCodingBuffers(Codec& codec, int width, int length);

// The decoder's significance marks, one byte a pixel: the part of the plane block past the
// planes, idle while the trees are read. The wavelet's strips take the same room afterwards,
// so a component's marks are spent once its trees are read.
uint8_t* DecoderMarks(Codec& codec);

// Empties both code streams for writing: positions 0, first words 0, write limits set so that
// every file written stays readable.
void EmptyCodeStreams(Codec& codec);

// Readies the wavelet's scratch for a transform: the codec's helper thread, and the part of the
// plane block past the planes as room for the strips. The block holds two samples a pixel and
// the planes take one and a half, so the strips then cost no pages of their own: the last
// huge page of the planes holds them.
void PrepareWaveletScratch(Codec& codec);

// Number of wavelet levels and low-band size that the forward transform gives for a plane.
struct WaveletGeometry {
    int levels = 0;
    int lowWidth = 0;
    int lowHeight = 0;
};
WaveletGeometry ComputeWaveletGeometry(int width, int height, int minBandSize);

}  // namespace qx
