// qx1 against the reference files: compressing each listed picture in each mode must give the
// reference .qx1 byte for byte (apart from the time stamp, bytes 40-43), and restoring each
// reference file must give the listed SHA-256 of the restored pixels.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run_qx1.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

struct Reference {
    std::string input;  // relative to the conformance folder
    std::string mode;
    std::string file;
    std::string restoredSha256;
};

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" `");
    const size_t last = text.find_last_not_of(" `");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The rows of the table in the folder's README.md.
std::vector<Reference> References() {
    std::ifstream in(ConformancePath("README.md"));
    std::vector<Reference> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("| ", 0) != 0 || line.find(".qx1 |") == std::string::npos) continue;
        std::vector<std::string> cells;
        std::stringstream cellStream(line.substr(1));
        for (std::string cell; std::getline(cellStream, cell, '|');) cells.push_back(Trim(cell));
        if (cells.size() < 9) continue;
        rows.push_back({cells[1], cells[2], cells[3], cells[8]});
    }
    return rows;
}

// The first differing byte outside the time stamp, or -1.
long FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i] && (i < 40 || i > 43)) return static_cast<long>(i);
    return a.size() == b.size() ? -1 : static_cast<long>(std::min(a.size(), b.size()));
}

TEST(Qx1Conformance, TableIsComplete) {
    EXPECT_EQ(References().size(), 20u);
}

TEST(Qx1Conformance, CompressGivesTheReferenceFiles) {
    const std::string dir = MakeTempDir();
    for (const Reference& ref : References()) {
        SCOPED_TRACE(ref.file);
        const Qx1Run run = RunQx1({"compress", "-q", "-m", ref.mode, "-o", dir + "/" + ref.file,
                                   ConformancePath(ref.input)},
                                  dir, {"SOURCE_DATE_EPOCH=0"});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<uint8_t> expected = ReadFileBytes(ConformancePath(ref.file));
        const std::vector<uint8_t> written = ReadFileBytes(dir + "/" + ref.file);
        EXPECT_EQ(written.size(), expected.size());
        EXPECT_EQ(FirstDifference(written, expected), -1);
    }
}

TEST(Qx1Conformance, DecompressGivesTheReferencePixels) {
    const std::string dir = MakeTempDir();
    for (const Reference& ref : References()) {
        SCOPED_TRACE(ref.file);
        const std::string restored = dir + "/" + ref.file + ".tif";
        const Qx1Run run = RunQx1({"decompress", "-o", restored, ConformancePath(ref.file)}, dir);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<uint8_t> tif = ReadFileBytes(restored);
        ASSERT_GT(tif.size(), 200u);
        EXPECT_EQ(Sha256Hex(tif.data() + 200, tif.size() - 200), ref.restoredSha256);
    }
}

}  // namespace
}  // namespace qxtest
