// PNG and PNM input and scaling to fit: every PNG colour type and depth and the PNM forms load
// as the RGB pixels they hold (transparency flattened onto white), damaged files and
// impossible sizes are refused before anything is allocated for them, and pictures above the
// limits are scaled down or refused as the request says.
#include <gtest/gtest.h>

#include <memory>

#include "load/picture_loader.h"
#include "support/png_files.h"
#include "support/scripted_dialogs.h"
#include "support/settable_memory.h"
#include "support/test_support.h"

namespace {

const qxtest::SettableMemory kPlenty;

class NewInputs : public ::testing::Test {
  protected:
    void SetUp() override {
        // The corpus BMP's own pixels are the reference every format below is made from.
        ASSERT_TRUE(load(qxtest::CorpusPath("chelsea.bmp"), &pixels).loaded());
        width = codec->state.Width;
        length = codec->state.Length;
    }
    qx::LoadOutcome load(const std::string& path, std::vector<uint8_t>* decoded = nullptr,
                         qx::FitChoice fit = qx::FitChoice::Refuse) {
        dialogs.boxes.clear();
        qx::LoadRequest request(path);
        request.fit = fit;
        return qx::LoadPicture(*codec, dialogs, request, kPlenty, decoded);
    }
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
        qxtest::WriteFileBytes(dir + "/" + name, bytes);
        return dir + "/" + name;
    }
    // Samples of the reference picture in a PNG layout: channels taken per pixel by pick.
    template <typename Pick>
    std::vector<uint8_t> samples(int perPixel, Pick pick) const {
        std::vector<uint8_t> out;
        for (size_t i = 0; i < pixels.size() / 3; ++i)
            for (int c = 0; c < perPixel; ++c) out.push_back(pick(&pixels[3 * i], c));
        return out;
    }

    std::unique_ptr<qx::Codec> codec = std::make_unique<qx::Codec>();
    qxtest::ScriptedDialogs dialogs;
    std::string dir = qxtest::MakeTempDir();
    std::vector<uint8_t> pixels;
    int width = 0;
    int length = 0;
};

uint8_t OnWhite(uint8_t colour, uint8_t alpha) {
    return static_cast<uint8_t>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

TEST_F(NewInputs, EveryPngColourTypeAndDepthAndPnmFormLoadsAsItsRgbPixels) {
    auto same = [](const uint8_t* p, int c) { return p[c]; };
    auto wide = [](const uint8_t* p, int c) { return p[c / 2]; };  // v * 257: both bytes v
    auto grey = [](const uint8_t* p, int) { return p[1]; };
    auto alpha = [](const uint8_t* p, int c) { return c < 3 ? p[c] : uint8_t(p[0] ^ p[2]); };
    auto greyAlpha = [](const uint8_t* p, int c) { return c == 0 ? p[1] : uint8_t(p[0] ^ p[2]); };
    // Palette: the pixels rounded to a 6 x 6 x 6 cube, the index stored.
    std::vector<uint8_t> cube;
    for (int i = 0; i < 216; ++i)
        for (int v : {i / 36, i / 6 % 6, i % 6}) cube.push_back(static_cast<uint8_t>(v * 51));
    auto index = [](const uint8_t* p, int) {
        return static_cast<uint8_t>((p[0] + 25) / 51 * 36 + (p[1] + 25) / 51 * 6 +
                                    (p[2] + 25) / 51);
    };

    std::vector<uint8_t> asGrey, asPalette, asAlpha, asGreyAlpha;
    for (size_t i = 0; i < pixels.size(); i += 3) {
        const uint8_t* p = &pixels[i];
        const uint8_t a = p[0] ^ p[2];
        const uint8_t k = index(p, 0);
        for (int c = 0; c < 3; ++c) {
            asGrey.push_back(p[1]);
            asPalette.push_back(cube[3 * k + c]);
            asAlpha.push_back(OnWhite(p[c], a));
            asGreyAlpha.push_back(OnWhite(p[1], a));
        }
    }
    struct Case {
        const char* name;
        qxtest::PngShape shape;
        std::vector<uint8_t> samples;
        const std::vector<uint8_t>& expected;
        bool flattened;
    };
    const int w = width, h = length;
    const Case cases[] = {
        {"rgb8", {w, h, 2, 8, false, {}}, samples(3, same), pixels, false},
        {"rgb8 interlaced", {w, h, 2, 8, true, {}}, samples(3, same), pixels, false},
        {"rgb16", {w, h, 2, 16, false, {}}, samples(6, wide), pixels, false},
        {"grey8", {w, h, 0, 8, false, {}}, samples(1, grey), asGrey, false},
        {"grey16 interlaced", {w, h, 0, 16, true, {}}, samples(2, grey), asGrey, false},
        {"palette", {w, h, 3, 8, false, cube}, samples(1, index), asPalette, false},
        {"rgba8", {w, h, 6, 8, false, {}}, samples(4, alpha), asAlpha, true},
        {"grey + alpha", {w, h, 4, 8, false, {}}, samples(2, greyAlpha), asGreyAlpha, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> decoded;
        const qx::LoadOutcome result =
            load(write("picture.png", qxtest::MakePng(c.shape, c.samples)), &decoded);
        ASSERT_TRUE(result.loaded()) << result.text;
        EXPECT_EQ(result.reader, qx::PictureReader::Png);
        EXPECT_EQ(result.alphaFlattened, c.flattened);
        EXPECT_TRUE(decoded == c.expected);
    }

    // PNM: binary colour, plain colour with comments, binary grey with 16-bit samples.
    const std::string size = std::to_string(w) + " " + std::to_string(h);
    std::string p6 = "P6\n" + size + "\n255\n";
    p6.append(pixels.begin(), pixels.end());
    std::string p3 = "P3\n# plain\n" + size + " 255\n";
    for (uint8_t v : pixels) p3 += std::to_string(v) + (v & 1 ? "\n" : " ");
    std::string p5 = "P5 " + size + " 65535\n";
    for (size_t i = 0; i < pixels.size(); i += 3) p5.append(2, static_cast<char>(pixels[i + 1]));
    const std::pair<std::string, const std::vector<uint8_t>&> pnms[] = {
        {p6, pixels}, {p3, pixels}, {p5, asGrey}};
    for (const auto& [file, expected] : pnms) {
        SCOPED_TRACE(file.substr(0, 2));
        std::vector<uint8_t> decoded;
        const qx::LoadOutcome result =
            load(write("picture.ppm", {file.begin(), file.end()}), &decoded);
        ASSERT_TRUE(result.loaded()) << result.text;
        EXPECT_TRUE(decoded == expected);
    }
}

TEST_F(NewInputs, DamagedFilesAndImpossibleSizesAreRefusedBeforeAllocating) {
    const std::vector<uint8_t> png = qxtest::MakePng({width, length, 2, 8, false, {}}, pixels);
    std::vector<uint8_t> cut(png.begin(), png.begin() + static_cast<long>(png.size() / 2));
    std::vector<uint8_t> corrupt = png;
    corrupt[png.size() / 2] ^= 0x55;
    std::vector<uint8_t> huge = png;
    qxtest::SetPngSize(huge, 100000, 100000);
    std::vector<uint8_t> large = png;
    qxtest::SetPngSize(large, 30000, 30000);  // within what scaling takes on a side, not in all
    const std::string shortPpm = "P6 4032 3024 255\n" + std::string(1000, 'x');

    struct Case {
        std::vector<uint8_t> bytes;
        qx::LoadFailure failure;
        const char* text;
    };
    const Case cases[] = {
        {cut, qx::LoadFailure::DecoderFailure, "Open PNG Err. (the file is cut short)"},
        {corrupt, qx::LoadFailure::DecoderFailure, "Open PNG Err. (the file is damaged: "},
        {huge, qx::LoadFailure::BadHeader,
         "Open PNG Err. (the picture is larger than 32767 on a side)"},
        {large, qx::LoadFailure::TooLarge, "(Width=30000) > (MaxWidth=1024)"},
        {{shortPpm.begin(), shortPpm.end()},
         qx::LoadFailure::BadHeader,
         "Open PNM Err. (the file is cut short)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const qx::LoadOutcome result = load(write("bad", c.bytes), nullptr, qx::FitChoice::Scale);
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_EQ(result.text.rfind(c.text, 0), 0u) << result.text;
        ASSERT_EQ(dialogs.texts().size(), 1u);
        EXPECT_TRUE(codec->state.PictureBuffer.empty());
    }
}

TEST_F(NewInputs, PicturesAboveTheLimitsAreScaledToFitOrRefused) {
    // A phone-sized picture of one colour with a band along the top that must survive scaling.
    auto picture = [&](int w, int h) {
        std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3, 200);
        for (size_t i = 0; i < size_t{8} * w; ++i) rgb[3 * i] = 0;  // 8 rows
        return write("big.png", qxtest::MakePng({w, h, 2, 8, false, {}}, rgb));
    };
    const std::string phone = picture(4032, 3024);
    const qx::LoadOutcome refused = load(phone);
    EXPECT_EQ(refused.failure, qx::LoadFailure::TooLarge);
    EXPECT_TRUE(refused.scalable);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"(Width=4032) > (MaxWidth=1024)"});

    std::vector<uint8_t> decoded;
    const qx::LoadOutcome scaled = load(phone, &decoded, qx::FitChoice::Scale);
    ASSERT_TRUE(scaled.loaded()) << scaled.text;
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(scaled.width, 1024);
    EXPECT_EQ(scaled.length, 768);
    EXPECT_EQ(scaled.sourceWidth, 4032);
    EXPECT_EQ(scaled.sourceLength, 3024);
    EXPECT_EQ(codec->state.Width, 1024);
    EXPECT_EQ(codec->state.Length, 768);
    ASSERT_EQ(decoded.size(), 1024u * 768 * 3);
    EXPECT_LT(decoded[0], 100);                    // the frame's top row
    EXPECT_NEAR(decoded[3 * 1024 * 400], 200, 1);  // the middle

    // 3000 x 40 would become 1024 x 14: refused for the short side of the scaled picture.
    const qx::LoadOutcome thin = load(picture(3000, 40), nullptr, qx::FitChoice::Scale);
    EXPECT_EQ(thin.failure, qx::LoadFailure::TooSmall);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"(Length=14) < (MinLength=33)"});
}

}  // namespace
