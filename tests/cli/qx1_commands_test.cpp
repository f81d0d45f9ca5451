// qx1 as a user runs it: compress, decompress, info and roundtrip on real pictures, the output
// naming, parallel work, reproducible files, failures that leave nothing behind, and usage
// errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/run_qx1.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

const std::vector<std::string> kCorpus = {
    "astronaut.bmp", "chelsea.bmp", "graf1.bmp",  "coffee.tif", "motorcycle.tif",
    "aloe1024.tif",  "baboon.jpg",  "fruits.jpg", "rocket.jpg", "hubble.jpg"};
std::vector<std::string> CorpusPaths() {
    std::vector<std::string> paths;
    for (const std::string& name : kCorpus) paths.push_back(CorpusPath(name));
    return paths;
}

std::vector<std::string> Args(std::vector<std::string> head, const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

uint32_t TitleTime(const std::vector<uint8_t>& file) {
    return file[40] | (file[41] << 8) | (file[42] << 16) | (uint32_t{file[43]} << 24);
}

TEST(Qx1, CompressesAndRestoresEveryCorpusPicture) {
    const std::string dir = MakeTempDir();
    const Qx1Run compress =
        RunQx1(Args({"compress", "-q", "-j", "2", "-o", "packed/"}, CorpusPaths()), dir, {kEpoch});
    ASSERT_EQ(compress.status, 0) << compress.err;
    EXPECT_EQ(compress.out, "");  // -q: errors only

    std::vector<std::string> packed;
    for (const std::string& name : kCorpus)
        packed.push_back("packed/" + name.substr(0, name.size() - 4) + ".qx1");
    // "restored" does not exist and does not end in "/": a single output file, so a usage error.
    EXPECT_TRUE(Exited(RunQx1(Args({"decompress", "-o", "restored"}, packed), dir), 2));
    const Qx1Run restored = RunQx1(Args({"decompress", "-o", "restored/"}, packed), dir);
    ASSERT_EQ(restored.status, 0) << restored.err;

    const std::vector<std::pair<int, int>> sizes = {
        {512, 512},   {451, 300}, {800, 640}, {600, 400}, {741, 500},
        {1024, 1024}, {512, 512}, {512, 480}, {640, 427}, {1000, 872}};
    for (size_t i = 0; i < kCorpus.size(); ++i) {
        const std::string stem = kCorpus[i].substr(0, kCorpus[i].size() - 4);
        SCOPED_TRACE(stem);
        const std::vector<uint8_t> qx1 = ReadFileBytes(dir + "/packed/" + stem + ".qx1");
        EXPECT_EQ(TitleTime(qx1), 1234567890u);
        const std::vector<uint8_t> tif = ReadFileBytes(dir + "/restored/" + stem + "_comp.tif");
        EXPECT_EQ(tif.size(), 200u + size_t(sizes[i].first) * sizes[i].second * 3);
        EXPECT_NE(restored.out.find(stem + "_comp.tif   "), std::string::npos);
    }
}

TEST(Qx1, OutputsGoBesideTheInputOrWhereOutputSays) {
    const std::string dir = MakeTempDir();
    CopyCorpus("chelsea.bmp", dir + "/chelsea.bmp");
    CopyCorpus("coffee.tif", dir + "/coffee.TIF");

    const Qx1Run run = RunQx1({"compress", "-m", "clear", "chelsea.bmp", "coffee.TIF"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    // One line per file: name, size in Kb with eighths, ratio.
    EXPECT_NE(run.out.find("chelsea.bmp -> chelsea.qx1   "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" Kb   --> 1 : "), std::string::npos) << run.out;
    EXPECT_EQ(ReadFileBytes(dir + "/chelsea.qx1")[15], 1);  // CompressionMode of "clear"
    EXPECT_EQ(ReadFileBytes(dir + "/coffee.qx1")[16], 4);   // Quality of "clear"

    ASSERT_EQ(RunQx1({"compress", "-o", "named.qx1", "chelsea.bmp"}, dir).status, 0);
    ASSERT_EQ(RunQx1({"decompress", "-o", "named.tif", "named.qx1"}, dir).status, 0);
    EXPECT_EQ(ReadFileBytes(dir + "/named.tif").size(), 200u + 451 * 300 * 3);
    // A single output file for several inputs is a usage error, and nothing is written.
    EXPECT_TRUE(Exited(RunQx1({"compress", "-o", "both.qx1", "chelsea.bmp", "coffee.TIF"}, dir), 2,
                       "both.qx1"));
    EXPECT_EQ(ListDirectory(dir),
              (std::vector<std::string>{"chelsea.bmp", "chelsea.qx1", "coffee.TIF", "coffee.qx1",
                                        "named.qx1", "named.tif"}));
}

TEST(Qx1, ExistingOutputsAreKeptWithoutForce) {
    const std::string dir = MakeTempDir();
    CopyCorpus("chelsea.bmp", dir + "/chelsea.bmp");
    WriteFileBytes(dir + "/chelsea.qx1", {1, 2, 3});
    EXPECT_TRUE(Exited(RunQx1({"compress", "chelsea.bmp"}, dir), 1,
                       "chelsea.bmp: chelsea.qx1 already exists"));
    EXPECT_EQ(ReadFileBytes(dir + "/chelsea.qx1"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(RunQx1({"compress", "-f", "chelsea.bmp"}, dir).status, 0);
    EXPECT_EQ(ReadFileBytes(dir + "/chelsea.qx1").size(), 6092u);
}

TEST(Qx1, FailuresExitOneWithTheMessageAndLeaveNoFile) {
    const std::string dir = MakeTempDir();
    CopyCorpus("chelsea.bmp", dir + "/chelsea.bmp");
    CopyCorpus("camera-grey.jpg", dir + "/camera-grey.jpg");
    WriteFileBytes(dir + "/notes.jpeg", {'n', 'o', 't', 'e', 's'});
    const std::vector<std::string> before = ListDirectory(dir);

    // Failure follows the loader's failure kind, also when nothing was said: a TIFF file too
    // short for its 8-byte head shows no message.
    WriteFileBytes(dir + "/short.tif", {'I', 'I', 42});
    const std::pair<const char*, const char*> failures[] = {
        {"missing.tif", "missing.tif:  File cann't be open.: No such file or directory\n"},
        {"notes.jpeg", "notes.jpeg: Unknown file.\n"},
        {"camera-grey.jpg", "camera-grey.jpg: File isn't True Colour (RGB)\n"},
        {"short.tif", "short.tif: failed\n"}};
    for (const auto& [name, err] : failures) {
        const Qx1Run run = RunQx1({"compress", name}, dir);
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.err, err);
    }
    std::remove((dir + "/short.tif").c_str());
    EXPECT_EQ(RunQx1({"decompress", "chelsea.bmp"}, dir).status, 1);
    EXPECT_EQ(RunQx1({"decompress", "missing.qx1"}, dir).status, 1);
    EXPECT_EQ(ListDirectory(dir), before);

    // A good file among bad ones is still written, and the exit status still reports failure.
    const Qx1Run mixed = RunQx1({"compress", "-j", "2", "missing.tif", "chelsea.bmp"}, dir);
    EXPECT_EQ(mixed.status, 1);
    EXPECT_NE(mixed.out.find("chelsea.bmp -> chelsea.qx1"), std::string::npos);
}

TEST(Qx1, DamagedCompressedFilesGiveNoRestoredPicture) {
    const std::string dir = MakeTempDir();
    const std::vector<uint8_t> good = ReadFileBytes(ConformancePath("chelsea-high.qx1"));
    WriteFileBytes(dir + "/short.qx1", {good.begin(), good.begin() + 40});
    WriteFileBytes(dir + "/cut.qx1", {good.begin(), good.begin() + good.size() / 2});
    std::vector<uint8_t> wide = good;
    wide[8] = 0x01;
    wide[9] = 0x08;  // SourceWidth 2049
    WriteFileBytes(dir + "/wide.qx1", wide);
    std::vector<uint8_t> scrambled = good;
    for (size_t i = 200; i < 1200; ++i) scrambled[i] = static_cast<uint8_t>(scrambled[i] * 37 + i);
    WriteFileBytes(dir + "/scrambled.qx1", scrambled);

    for (const char* name : {"short.qx1", "cut.qx1", "wide.qx1", "scrambled.qx1"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(Exited(RunQx1({"decompress", name}, dir), 1, std::string(name) + ": "));
    }
    EXPECT_EQ(ListDirectory(dir),
              (std::vector<std::string>{"cut.qx1", "scrambled.qx1", "short.qx1", "wide.qx1"}));
    EXPECT_EQ(RunQx1({"info", "short.qx1"}, dir).status, 1);
    EXPECT_EQ(RunQx1({"info", "cut.qx1"}, dir).status, 1);
}

TEST(Qx1, InfoShowsTitleFieldsAndSections) {
    const std::string file = ConformancePath("astronaut-high.qx1");
    const Qx1Run text = RunQx1({"info", file}, "/");
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* line : {"SourceWidth = 512", "ReferenceChannel = 1", "CompressionTime = 0",
                             "CumFreq = 512", "file length = 11507"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line;
    const Qx1Run json = RunQx1({"info", "--json", file}, "/");
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(json.out.front(), '[');
    EXPECT_NE(json.out.find("\"CodedWidth\": 512"), std::string::npos);
    EXPECT_NE(json.out.find("\"FileLength\": 11507"), std::string::npos);
}

TEST(Qx1, RoundtripPrintsSizeRatioAndPsnr) {
    const std::string dir = MakeTempDir();
    const Qx1Run run = RunQx1({"roundtrip", "-o", "shown.tif", CorpusPath("astronaut.bmp")}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("(512*512)"), std::string::npos) << run.out;
    // The body of astronaut-high.qx1 is 11455 bytes: 11.1 Kb, ratio 69.
    EXPECT_NE(run.out.find("11.1 Kb   --> 1 : 69"), std::string::npos) << run.out;
    const size_t psnr = run.out.find("PSNR ");
    ASSERT_NE(psnr, std::string::npos);
    const double db = std::stod(run.out.substr(psnr + 5));
    EXPECT_GT(db, 20.0);
    EXPECT_LT(db, 60.0);
    EXPECT_EQ(ReadFileBytes(dir + "/shown.tif").size(), 200u + 512 * 512 * 3);
}

TEST(Qx1, UsageErrorsExitTwoAndHelpAndVersionZero) {
    const std::string dir = MakeTempDir();
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"compress"},
                                               {"frobnicate"},
                                               {"compress", "-m", "fast", "a.bmp"},
                                               {"compress", "-j", "0", "a.bmp"},
                                               {"roundtrip", "a.bmp", "b.bmp"}}) {
        const Qx1Run run = RunQx1(args, dir);
        EXPECT_TRUE(Exited(run, 2));
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_TRUE(Exited(RunQx1({"compress", "a.bmp"}, dir, {"SOURCE_DATE_EPOCH=soon"}), 2));
    const Qx1Run help = RunQx1({"--help"}, dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("compress"), std::string::npos);
    const Qx1Run version = RunQx1({"--version"}, dir);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("qx1 ", 0), 0u);
    EXPECT_TRUE(ListDirectory(dir).empty());
}

}  // namespace
}  // namespace qxtest
