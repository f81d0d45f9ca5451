#include "support/test_support.h"

#include <glib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qxtest {

std::string DataPath(const std::string& relative) {
    return std::string(QX_TEST_DATA) + "/" + relative;
}
std::string CorpusPath(const std::string& name) {
    return DataPath("corpus/" + name);
}
std::string ConformancePath(const std::string& name) {
    return DataPath("conformance/" + name);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string MakeTempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/qxtest-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    return buf.data();
}

std::string Sha256Hex(const uint8_t* data, size_t size) {
    gchar* hex = g_compute_checksum_for_data(G_CHECKSUM_SHA256, data, size);
    std::string out(hex);
    g_free(hex);
    return out;
}

}  // namespace qxtest
