// qx1 in scripts: pipes give the same bytes as named files and never mix data with reports,
// --skip-existing resumes a batch, -p keeps the time, --json lines parse whatever the names,
// and the bytes do not depend on -j or on an outer xargs.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/run_qx1.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

// Runs a shell command in dir with $Q naming qx1; returns its exit status.
int Shell(const std::string& dir, const std::string& command) {
    const std::string line =
        "cd '" + dir + "' && export " + kEpoch + " Q='" + QX_BIN_DIR + "/qx1' && " + command;
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Text(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

std::vector<nlohmann::json> JsonLines(const std::string& text) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

TEST(Qx1Pipelines, PipesGiveTheBytesOfNamedFilesAndKeepReportsOffTheData) {
    const std::string dir = MakeTempDir();
    CopyCorpus("chelsea.bmp", dir + "/pic.bmp");
    CopyCorpus("baboon.jpg", dir + "/-x.jpg");
    ASSERT_EQ(RunQx1({"compress", "pic.bmp"}, dir, {kEpoch}).status, 0);
    ASSERT_EQ(RunQx1({"decompress", "pic.qx1"}, dir).status, 0);

    ASSERT_EQ(Shell(dir, "cat pic.bmp | $Q compress - -o - > x.qx1 2> x.err"), 0);
    EXPECT_EQ(ReadFileBytes(dir + "/x.qx1"), ReadFileBytes(dir + "/pic.qx1"));
    EXPECT_NE(Text(dir + "/x.err").find("- -> -"), std::string::npos);
    ASSERT_EQ(Shell(dir, "cat pic.qx1 | $Q decompress - -o - > y.tif 2> y.err"), 0);
    EXPECT_EQ(ReadFileBytes(dir + "/y.tif"), ReadFileBytes(dir + "/pic_comp.tif"));

    // With --json the object goes to standard error too; the data stays whole.
    ASSERT_EQ(Shell(dir, "$Q compress --json -o - pic.bmp > j.qx1 2> j.err"), 0);
    EXPECT_EQ(ReadFileBytes(dir + "/j.qx1"), ReadFileBytes(dir + "/pic.qx1"));
    const auto lines = JsonLines(Text(dir + "/j.err"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["output"], "-");
    EXPECT_EQ(lines[0]["bytes"], ReadFileBytes(dir + "/pic.qx1").size());
    // The count is of what went out, whatever the format.
    ASSERT_EQ(Shell(dir, "$Q decompress --json --format png -o - pic.qx1 > p.png 2> p.err"), 0);
    EXPECT_EQ(JsonLines(Text(dir + "/p.err")).at(0)["bytes"], ReadFileBytes(dir + "/p.png").size());

    // Standard input needs -o; "--" makes a leading dash a name.
    EXPECT_EQ(Shell(dir, "$Q compress - < pic.bmp 2> /dev/null"), 2);
    EXPECT_EQ(RunQx1({"compress", "-q", "--", "-x.jpg"}, dir, {kEpoch}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir + "/-x.qx1"));
    EXPECT_EQ(RunQx1({"decompress", "--format", "gif", "-o", "-", "pic.qx1"}, dir).status, 2);
}

TEST(Qx1Pipelines, SkipExistingResumesABatchAndTheSummaryCountsIt) {
    const std::string dir = MakeTempDir();
    CopyCorpus("chelsea.bmp", dir + "/a.bmp");
    CopyCorpus("rocket.jpg", dir + "/b.jpg");
    EXPECT_TRUE(Exited(RunQx1({"compress", "a.bmp", "gone.bmp"}, dir, {kEpoch}), 1,
                       "1 compressed, 1 failed, 0 skipped\n"));

    // A done output is left alone, even one another program wrote.
    WriteFileBytes(dir + "/a.qx1", {'k', 'e', 'p', 't'});
    const auto again = RunQx1({"compress", "--skip-existing", "a.bmp", "b.jpg"}, dir, {kEpoch});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("a.bmp: skipped, a.qx1 exists"), std::string::npos);
    EXPECT_EQ(Text(dir + "/a.qx1"), "kept");
    EXPECT_TRUE(std::filesystem::exists(dir + "/b.qx1"));
    EXPECT_TRUE(Exited(RunQx1({"compress", "--skip-existing", "a.bmp", "gone.bmp"}, dir, {kEpoch}),
                       1, "0 compressed, 1 failed, 1 skipped\n"));

    // -p: the output takes the source's modification time.
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir + "/b.jpg").c_str(), times, 0), 0);
    ASSERT_EQ(RunQx1({"compress", "-p", "-f", "b.jpg"}, dir, {kEpoch}).status, 0);
    ASSERT_EQ(RunQx1({"decompress", "-p", "b.qx1"}, dir).status, 0);
    struct stat info {};
    ASSERT_EQ(::stat((dir + "/b_comp.tif").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, 1000000000);
}

TEST(Qx1Pipelines, JsonLinesParseWhateverTheNames) {
    const std::string dir = MakeTempDir();
    const std::string odd = "a\"b\\c\nd\xff.bmp";
    CopyCorpus("chelsea.bmp", dir + "/" + odd);
    const auto run =
        RunQx1({"compress", "--json", "-o", "out/", "--", odd, "gone.bmp"}, dir, {kEpoch});
    EXPECT_EQ(run.status, 1);
    const auto lines = JsonLines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["status"], "ok");
    EXPECT_EQ(lines[0]["input_hex"], "6122625c630a64ff2e626d70");
    EXPECT_EQ(lines[0]["width"], 451);
    EXPECT_EQ(lines[0]["length"], 300);
    EXPECT_EQ(lines[0]["bytes"], ReadFileBytes(dir + "/out/a\"b\\c\nd\xff.qx1").size());
    EXPECT_EQ(lines[1]["status"], "failed");
    EXPECT_EQ(lines[1]["input"], "gone.bmp");
    EXPECT_NE(lines[1]["message"].get<std::string>().find("gone.bmp"), std::string::npos);

    const auto skipped =
        RunQx1({"compress", "--json", "--skip-existing", "-o", "out/", "--", odd}, dir, {kEpoch});
    EXPECT_EQ(JsonLines(skipped.out).at(0)["status"], "skipped");
    const auto roundtrip = RunQx1({"roundtrip", "--json", "--", odd}, dir, {kEpoch});
    EXPECT_GT(JsonLines(roundtrip.out).at(0)["psnr"].get<double>(), 20.0);
}

// A worker's codec takes each picture into the blocks the one before it used, whatever its
// reader and size: every file must come out as it does alone in a fresh process.
TEST(Qx1Pipelines, BytesDoNotDependOnJobsOnAnOuterXargsOrOnThePicturesBefore) {
    const std::string dir = MakeTempDir();
    ASSERT_EQ(Shell(dir, "mkdir in && cp '" + std::string(QX_TEST_DATA) +
                             "'/corpus/*.* in/ && rm in/aloe1024.tif in/README.md"),
              0);
    Shell(dir, "$Q compress -q -j 1 -o one/ in/* 2> /dev/null");
    Shell(dir, "$Q compress -q -j 2 -o two/ in/* 2> /dev/null");
    // The README's line.
    Shell(dir,
          "find in -type f -print0 | xargs -0 -P 2 -n 64 $Q compress -q -j 1 "
          "--skip-existing -o xargs/ 2> /dev/null");
    Shell(dir, "for f in in/*; do $Q compress -q -o alone/ \"$f\" 2> /dev/null; done");
    const auto names = ListDirectory(dir + "/one");
    EXPECT_GE(names.size(), 9u);
    EXPECT_EQ(ListDirectory(dir + "/two"), names);
    EXPECT_EQ(ListDirectory(dir + "/xargs"), names);
    EXPECT_EQ(ListDirectory(dir + "/alone"), names);
    for (const std::string& name : names) {
        const auto bytes = ReadFileBytes(dir + "/one/" + name);
        EXPECT_EQ(ReadFileBytes(dir + "/two/" + name), bytes) << name;
        EXPECT_EQ(ReadFileBytes(dir + "/xargs/" + name), bytes) << name;
        EXPECT_EQ(ReadFileBytes(dir + "/alone/" + name), bytes) << name;
    }
}

}  // namespace
}  // namespace qxtest
