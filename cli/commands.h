// The four commands of qx1. Each returns the process's exit status: 0 when every file
// succeeded, 1 when any failed, 2 for a usage error found after parsing.
#pragma once

#include <string>
#include <vector>

namespace qx1 {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// What compress and decompress share: how outputs are treated and reported.
struct BatchOptions {
    std::string output;
    bool force = false;
    bool skipExisting = false;  // an existing output counts as done
    bool preserveTime = false;  // the output gets the source's modification time
    bool quiet = false;
    bool json = false;  // one JSON object per file instead of the report lines
    std::vector<std::string> inputs;
};

struct CompressOptions : BatchOptions {
    std::string mode = "high";
    int jobs = 0;      // 0: one per CPU this process may run on
    bool fit = false;  // scale pictures above 1024 on a side down to fit
};

struct DecompressOptions : BatchOptions {
    std::string format;  // of the restored picture on standard output: tif, png or ppm
};

struct InfoOptions {
    bool json = false;
    std::vector<std::string> inputs;
};

struct RoundtripOptions {
    std::string mode = "high";
    std::string output;
    bool force = false;
    bool json = false;
    std::string input;
};

int RunCompress(const CompressOptions& options);
int RunDecompress(const DecompressOptions& options);
int RunInfo(const InfoOptions& options);
int RunRoundtrip(const RoundtripOptions& options);

}  // namespace qx1
