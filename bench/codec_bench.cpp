// Timings of the codec stages and drivers on the 1024 x 1024 corpus picture.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/file_handle.h"
#include "codec/codec.h"
#include "codec/load_analysis.h"
#include "codec/load_stages.h"
#include "codec/pre_adjust_colours.h"
#include "codec/wavelet.h"
#include "container/main_code_packer.h"
#include "imageio/tiff_reader.h"

namespace {

struct Picture {
    int width = 0;
    int length = 0;
    std::vector<uint8_t> rgb;  // as the loader hands it to the codec
};

const Picture& Aloe() {
    static const Picture picture = [] {
        Picture p;
        const std::string name = std::string(QX_CORPUS) + "/aloe1024.tif";
        qx::FileHandle file = qx::FileHandle::open(name, qx::FileHandle::Mode::ReadOnly);
        std::vector<uint8_t> raw(4 * 1024 * 1024);
        qx::CodecHooks hooks;
        if (qx::ReadTiff(name, file, raw.data(), raw.size(), hooks, p.width, p.length) != 0) {
            std::fprintf(stderr, "cannot read %s\n", name.c_str());
            std::exit(1);
        }
        p.rgb.resize(static_cast<size_t>(p.width) * p.length * 3);
        qx::SmoothBusyAreas(raw.data(), p.rgb.data(), p.width, p.length);
        qx::PreAdjustColours(p.rgb.data(), p.width, p.length);
        return p;
    }();
    return picture;
}

void Load(qx::Codec& codec, const Picture& p, int mode) {
    qx::ResetReaderFields(codec.params);
    qx::AnalysePicture(p.rgb.data(), p.width, p.length, codec.params);
    codec.state.PictureBuffer.assign(p.rgb.begin(), p.rgb.end());
    codec.state.Width = static_cast<int16_t>(p.width);
    codec.state.Length = static_cast<int16_t>(p.length);
    codec.params.CompressionMode = static_cast<uint8_t>(mode);
    codec.params.Quality = static_cast<int16_t>(mode ? 4 : 0);
}

void BM_SmoothBusyAreas(benchmark::State& state) {
    const Picture& p = Aloe();
    std::vector<uint8_t> out(p.rgb.size());
    for (auto _ : state) qx::SmoothBusyAreas(p.rgb.data(), out.data(), p.width, p.length);
}
BENCHMARK(BM_SmoothBusyAreas)->Unit(benchmark::kMillisecond);

// The load-time pixel stages on one thread, as a worker of a batch runs them.
void BM_PrepareLoadedPicture(benchmark::State& state) {
    const Picture& p = Aloe();
    std::vector<uint8_t> picture(p.rgb.size());
    qx::CodecParameters params;
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(p.rgb.begin(), p.rgb.end(), picture.begin());
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            qx::PrepareLoadedPicture(picture.data(), p.width, p.length, params, nullptr));
    }
}
BENCHMARK(BM_PrepareLoadedPicture)->Unit(benchmark::kMillisecond);

void BM_PreparePlanes(benchmark::State& state) {
    const Picture& p = Aloe();
    qx::Codec codec;
    for (auto _ : state) {
        state.PauseTiming();
        Load(codec, p, 1);
        state.ResumeTiming();
        benchmark::DoNotOptimize(qx::PreparePlanes(codec));
    }
}
BENCHMARK(BM_PreparePlanes)->Unit(benchmark::kMillisecond);

void BM_ForwardWavelet(benchmark::State& state) {
    std::vector<int16_t> samples(1024 * 1024);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>((i * 7) % 239);
    std::vector<int32_t> plane(samples.size());
    qx::WaveletScratch scratch;
    for (auto _ : state)
        qx::ForwardWavelet(samples.data(), plane.data(), 1024, 1024, 4, 128, 0, scratch);
}
BENCHMARK(BM_ForwardWavelet)->Unit(benchmark::kMillisecond);

void BM_InverseWavelet(benchmark::State& state) {
    std::vector<int32_t> plane(1024 * 1024);
    for (size_t i = 0; i < plane.size(); ++i) plane[i] = static_cast<int32_t>(i % 97) - 48;
    qx::WaveletScratch scratch;
    for (auto _ : state) qx::InverseWavelet(plane.data(), 8, 8, 1024, 8, 0, scratch);
}
BENCHMARK(BM_InverseWavelet)->Unit(benchmark::kMillisecond);

void BM_EncodeCoefficients(benchmark::State& state) {
    const Picture& p = Aloe();
    qx::Codec codec;
    for (auto _ : state) {
        state.PauseTiming();
        Load(codec, p, static_cast<int>(state.range(0)));
        if (qx::PreparePlanes(codec) != qx::kOk) state.SkipWithError("PreparePlanes failed");
        state.ResumeTiming();
        benchmark::DoNotOptimize(qx::EncodeCoefficients(codec));
    }
}
BENCHMARK(BM_EncodeCoefficients)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DecodeAndRestore(benchmark::State& state) {
    const Picture& p = Aloe();
    qx::Codec codec;
    Load(codec, p, static_cast<int>(state.range(0)));
    if (qx::PreparePlanes(codec) != qx::kOk || qx::EncodeCoefficients(codec) != qx::kOk)
        state.SkipWithError("encoding failed");
    codec.MainCode.limit = codec.MainCodeEnd.index + 1;
    codec.RefineCode.limit = codec.RefineCodeEnd.index + 1;
    for (auto _ : state) {
        qx::DecodeCoefficients(codec);
        benchmark::DoNotOptimize(qx::RestorePicture(codec));
    }
}
BENCHMARK(BM_DecodeAndRestore)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The MainCode bytes of the picture in the high mode, as the packer reads them.
const std::vector<uint8_t>& AloeMainCode() {
    static const std::vector<uint8_t> bytes = [] {
        qx::Codec codec;
        Load(codec, Aloe(), 0);
        if (qx::PreparePlanes(codec) != qx::kOk || qx::EncodeCoefficients(codec) != qx::kOk) {
            std::fprintf(stderr, "cannot encode the picture\n");
            std::exit(1);
        }
        const auto* first = reinterpret_cast<const uint8_t*>(codec.MainCode.words.data());
        return std::vector<uint8_t>(first, first + 4 * (codec.MainCodeEnd.index + 1));
    }();
    return bytes;
}

void BM_PackMainCode(benchmark::State& state) {
    const std::vector<uint8_t>& input = AloeMainCode();
    std::vector<uint8_t> packed(qx::PackedRoom(input.size()));
    qx::CumFreqTable table;
    for (auto _ : state) benchmark::DoNotOptimize(qx::PackMainCode(input, {}, table, packed));
}
BENCHMARK(BM_PackMainCode)->Unit(benchmark::kMicrosecond);

void BM_UnpackMainCode(benchmark::State& state) {
    const std::vector<uint8_t>& input = AloeMainCode();
    std::vector<uint8_t> packed(qx::PackedRoom(input.size()));
    qx::CumFreqTable table;
    const int packedBytes = qx::PackMainCode(input, {}, table, packed);
    packed.resize(static_cast<size_t>(std::max(packedBytes, 0)));
    const int limit = static_cast<int>(input.size()) + 64;
    std::vector<uint8_t> output(input.size() + 64);
    for (auto _ : state) benchmark::DoNotOptimize(qx::UnpackMainCode(packed, table, limit, output));
}
BENCHMARK(BM_UnpackMainCode)->Unit(benchmark::kMicrosecond);

void BM_CompressForPreview(benchmark::State& state) {
    const Picture& p = Aloe();
    qx::Codec codec;
    for (auto _ : state) {
        state.PauseTiming();
        Load(codec, p, static_cast<int>(state.range(0)));
        state.ResumeTiming();
        benchmark::DoNotOptimize(qx::CompressForPreview(codec));
    }
}
BENCHMARK(BM_CompressForPreview)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
