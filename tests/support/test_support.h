// Helpers shared by every test executable: test data paths, whole-file I/O, SHA-256, and hooks
// that record what the library says.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codec/codec.h"

namespace qxtest {

std::string DataPath(const std::string& relative);  // below tests/data
std::string CorpusPath(const std::string& name);
std::string ConformancePath(const std::string& name);
std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::string Sha256Hex(const uint8_t* data, size_t size);
// A fresh empty directory below the system's temporary directory.
std::string MakeTempDir();

// Records every message and answers questions from a fixed value.
class RecordingHooks : public qx::CodecHooks {
  public:
    std::vector<std::string> messages;
    std::vector<int> progress;
    int restoredShown = 0;
    bool declineMemory = false;
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void reportProgress(int phase) override { progress.push_back(phase); }
    void showRestoredPicture(bool) override { ++restoredShown; }
    bool checkFreeMemory(const std::string&, int, int) override { return declineMemory; }
};

}  // namespace qxtest
