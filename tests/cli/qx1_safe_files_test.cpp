// qx1 never loses a file: failed or refused writes keep what was there, racing and interrupted
// runs leave only whole outputs, inputs that are not regular files or hostile JPEGs fail at
// once, and a lost standard output is a failure.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <thread>

#include <jpeglib.h>
#include <nlohmann/json.hpp>

#include "cli/run_qx1.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A progressive 64 x 64 colour JPEG made with libjpeg.
std::vector<uint8_t> ProgressiveJpeg() {
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* data = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &data, &size);
    info.image_width = 64;
    info.image_height = 64;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(64 * 3);
    while (info.next_scanline < 64) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<uint8_t>(i * 7 + info.next_scanline * 3);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> bytes(data, data + size);
    jpeg_destroy_compress(&info);
    std::free(data);
    return bytes;
}

TEST(Qx1SafeFiles, RefusedAndFailedWritesKeepWhatWasThere) {
    const std::string dir = MakeTempDir();
    CopyCorpus("chelsea.bmp", dir + "/pic.bmp");
    ASSERT_EQ(RunQx1({"compress", "pic.bmp"}, dir).status, 0);
    ASSERT_EQ(RunQx1({"decompress", "pic.qx1"}, dir).status, 0);
    const std::vector<uint8_t> picture = ReadFileBytes(dir + "/pic.bmp");
    const std::vector<uint8_t> packed = ReadFileBytes(dir + "/pic.qx1");
    const std::vector<uint8_t> restored = ReadFileBytes(dir + "/pic_comp.tif");
    WriteFileBytes(dir + "/keep.bmp", picture);
    for (const char* name : {"keep.bmp", "pic.bmp", "pic.qx1", "pic_comp.tif"})
        ::chmod((dir + "/" + name).c_str(), 0444);

    // A read-only target: "already exists" without -f; with -f the open's message and reason.
    EXPECT_TRUE(Exited(RunQx1({"roundtrip", "-o", "keep.bmp", "pic.bmp"}, dir), 1,
                       "pic.bmp: keep.bmp already exists (-f replaces it)"));
    const Qx1Run forced = RunQx1({"roundtrip", "-f", "-o", "keep.bmp", "pic.bmp"}, dir);
    EXPECT_TRUE(Exited(forced, 1, "pic.bmp: Open BitMap Err.\n"));
    EXPECT_TRUE(Has(forced.err, "Permission denied")) << forced.err;
    const Qx1Run old = RunQx1({"compress", "-f", "pic.bmp"}, dir);
    EXPECT_EQ(old.err, "pic.bmp: Lseek Err.: Permission denied\n");
    EXPECT_EQ(RunQx1({"decompress", "-f", "pic.qx1"}, dir).status, 1);

    // An output that is the input itself is refused even with -f, under any of its names.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"compress", "-f", "-o", "./pic.bmp", "pic.bmp"},
          {"decompress", "-f", "-o", "pic.qx1", "pic.qx1"},
          {"roundtrip", "-f", "-o", dir + "/pic.bmp", "pic.bmp"}}) {
        EXPECT_TRUE(Exited(RunQx1(args, dir), 1, "is the input itself"));
    }

    // A device twin of /dev/null is refused before anything is written (only root may make it).
    std::vector<std::string> expected = {"keep.bmp", "pic.bmp", "pic.qx1", "pic_comp.tif"};
    if (::geteuid() == 0 && ::mknod((dir + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_TRUE(Exited(RunQx1({"roundtrip", "-f", "-o", "null", "pic.bmp"}, dir), 1,
                           "null is not a regular file"));
        struct stat st {};
        EXPECT_EQ(::stat((dir + "/null").c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
        expected.push_back("null");
        std::sort(expected.begin(), expected.end());
    }
    EXPECT_EQ(ReadFileBytes(dir + "/keep.bmp"), picture);
    EXPECT_EQ(ReadFileBytes(dir + "/pic.bmp"), picture);
    EXPECT_EQ(ReadFileBytes(dir + "/pic.qx1"), packed);
    EXPECT_EQ(ReadFileBytes(dir + "/pic_comp.tif"), restored);
    EXPECT_EQ(ListDirectory(dir), expected);  // no temporary file left behind
}

TEST(Qx1SafeFiles, RacingAndInterruptedWritersLeaveOnlyWholeOutputs) {
    const std::string dir = MakeTempDir();
    CopyCorpus("chelsea.bmp", dir + "/a.bmp");
    CopyCorpus("coffee.tif", dir + "/a.tif");
    // Two names of one output collide whatever -j is.
    for (const char* jobs : {"1", "2"}) {
        EXPECT_TRUE(Exited(RunQx1({"compress", "-j", jobs, "a.bmp", "./a.tif"}, dir), 1,
                           "./a.tif: ./a.qx1 is already the output"));
        std::remove((dir + "/a.qx1").c_str());
    }
    // Two processes without -f: exactly one wins, and its output is whole.
    ASSERT_EQ(RunQx1({"compress", "-o", "ref-a.qx1", "a.bmp"}, dir, {kEpoch}).status, 0);
    ASSERT_EQ(RunQx1({"compress", "-o", "ref-b.qx1", "a.tif"}, dir, {kEpoch}).status, 0);
    for (int round = 0; round < 3; ++round) {
        auto first = std::async(std::launch::async, [&] {
            return RunQx1({"compress", "-o", "race.qx1", "a.bmp"}, dir, {kEpoch});
        });
        const Qx1Run second = RunQx1({"compress", "-o", "race.qx1", "a.tif"}, dir, {kEpoch});
        const Qx1Run one = first.get();
        ASSERT_EQ(one.status + second.status, 1) << one.err << second.err;
        EXPECT_TRUE(Has(one.err + second.err, "race.qx1 already exists")) << one.err << second.err;
        EXPECT_EQ(ReadFileBytes(dir + "/race.qx1"),
                  ReadFileBytes(dir + (one.status == 0 ? "/ref-a.qx1" : "/ref-b.qx1")));
        std::remove((dir + "/race.qx1").c_str());
    }

    // SIGTERM in the middle of a batch: the finished outputs are whole, temporaries are gone.
    std::vector<std::string> args = {"compress", "-j", "2", "-o", "out/"};
    for (int i = 0; i < 40; ++i) {
        const std::string name = "in" + std::to_string(i) + ".bmp";
        std::filesystem::copy_file(dir + "/a.bmp", dir + "/" + name);
        args.push_back(name);
    }
    std::atomic<int> pid{0};
    Qx1Hooks hooks;
    hooks.started = [&](int started) { pid = started; };
    auto batch = std::async(std::launch::async, [&] { return RunQx1(args, dir, {kEpoch}, hooks); });
    while (batch.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready &&
           ListDirectory(dir + "/out").size() < 3) {
    }
    if (pid != 0) ::kill(pid, SIGTERM);
    const Qx1Run interrupted = batch.get();
    const std::vector<uint8_t> whole = ReadFileBytes(dir + "/ref-a.qx1");
    for (const std::string& name : ListDirectory(dir + "/out")) {
        EXPECT_NE(name.front(), '.') << name;
        EXPECT_EQ(ReadFileBytes(dir + "/out/" + name), whole) << name;
    }
    EXPECT_EQ(interrupted.status, -1) << "the batch ended before the signal";
}

TEST(Qx1SafeFiles, InputsThatAreNotRegularFilesFailAtOnce) {
    const std::string dir = MakeTempDir();
    ASSERT_EQ(::mkfifo((dir + "/f.tif").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((dir + "/f.qx1").c_str(), 0644), 0);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"compress", "f.tif"},
                                                 {"decompress", "f.qx1"},
                                                 {"info", "f.qx1"}}) {
        EXPECT_TRUE(Exited(RunQx1(args, dir), 1, args.back() + ": not a regular file\n"));
    }
}

TEST(Qx1SafeFiles, HostileAndDamagedJpegs) {
    const std::string dir = MakeTempDir();
    // A progressive picture followed by many copies of its last, tiny scan.
    const std::vector<uint8_t> progressive = ProgressiveJpeg();
    size_t lastScan = 0;
    for (size_t i = 0; i + 1 < progressive.size(); ++i)
        if (progressive[i] == 0xFF && progressive[i + 1] == 0xDA) lastScan = i;
    std::vector<uint8_t> heavy(progressive.begin(), progressive.end() - 2);
    for (int copy = 0; copy < 20000; ++copy)
        heavy.insert(heavy.end(), progressive.begin() + lastScan, progressive.end() - 2);
    heavy.insert(heavy.end(), {0xFF, 0xD9});
    WriteFileBytes(dir + "/scans.jpg", heavy);
    EXPECT_TRUE(Exited(RunQx1({"compress", "scans.jpg"}, dir), 1, "scans.jpg: Open JPEG Err.\n"));

    // A cut file is compressed all the same, with a word on standard error.
    std::vector<uint8_t> cut = ReadFileBytes(CorpusPath("baboon.jpg"));
    cut.resize(cut.size() * 3 / 5);
    WriteFileBytes(dir + "/cut.jpg", cut);
    EXPECT_TRUE(Exited(RunQx1({"compress", "cut.jpg"}, dir), 0, "cut.jpg: damaged JPEG data ("));
    EXPECT_TRUE(std::filesystem::exists(dir + "/cut.qx1"));

#if !defined(__SANITIZE_ADDRESS__)
    // A JPEG padded to 400 MB (sparse) under a 300 MB address-space limit: no allocation of
    // the file's length, so it loads, and the other file's report is there too.
    CopyCorpus("baboon.jpg", dir + "/padded.jpg");
    ASSERT_EQ(::truncate((dir + "/padded.jpg").c_str(), off_t{400} << 20), 0);
    Qx1Hooks limited;
    limited.inChild = [] {
        const rlimit limit{300u << 20, 300u << 20};
        ::setrlimit(RLIMIT_AS, &limit);
    };
    const Qx1Run padded =
        RunQx1({"compress", "-j", "1", "-o", "out/", "padded.jpg", "cut.jpg"}, dir, {}, limited);
    EXPECT_EQ(padded.status, 0) << padded.err;
    EXPECT_TRUE(Has(padded.out, "cut.jpg -> out/cut.qx1")) << padded.out;
#endif
}

TEST(Qx1SafeFiles, LostStandardOutputFailsAndJsonNamesAreValid) {
    const std::string dir = MakeTempDir();
    const std::string name = "na\xff\xfeme.qx1";
    WriteFileBytes(dir + "/" + name, ReadFileBytes(ConformancePath("flat128-high.qx1")));
    Qx1Hooks full;
    full.inChild = [] {
        const int fd = ::open("/dev/full", O_WRONLY);
        if (fd >= 0) ::dup2(fd, 1);
    };
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", name}, {"info", "--json", name}}) {
        EXPECT_TRUE(Exited(RunQx1(args, dir, {}, full), 1, "standard output"));
    }
    const Qx1Run json = RunQx1({"info", "--json", name}, dir);
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json parsed = nlohmann::json::parse(json.out);
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0]["file"], "na\xef\xbf\xbd\xef\xbf\xbdme.qx1");
    EXPECT_EQ(parsed[0]["file_hex"], "6e61fffe6d652e717831");
    EXPECT_EQ(parsed[0]["title"]["CodedWidth"], 128);
}

}  // namespace
}  // namespace qxtest
