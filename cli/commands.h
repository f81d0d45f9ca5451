// The four commands of qx1. Each returns the process's exit status: 0 when every file
// succeeded, 1 when any failed, 2 for a usage error found after parsing.
#pragma once

#include <string>
#include <vector>

namespace qx1 {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct CompressOptions {
    std::string mode = "high";
    std::string output;
    int jobs = 0;  // 0: one per core
    bool force = false;
    bool quiet = false;
    bool fit = false;  // scale pictures above 1024 on a side down to fit
    std::vector<std::string> inputs;
};

struct DecompressOptions {
    std::string output;
    bool force = false;
    std::vector<std::string> inputs;
};

struct InfoOptions {
    bool json = false;
    std::vector<std::string> inputs;
};

struct RoundtripOptions {
    std::string mode = "high";
    std::string output;
    bool force = false;
    std::string input;
};

int RunCompress(const CompressOptions& options);
int RunDecompress(const DecompressOptions& options);
int RunInfo(const InfoOptions& options);
int RunRoundtrip(const RoundtripOptions& options);

}  // namespace qx1
