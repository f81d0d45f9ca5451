// Runs build/bin/qx1 as a separate process and captures what it printed.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace qxtest {

struct Qx1Run {
    int status = -1;  // exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Optional steps around the child: inChild runs in it just before qx1 starts (after the output
// is redirected), started gets its process id.
struct Qx1Hooks {
    std::function<void()> inChild;
    std::function<void(int pid)> started;
};

// Runs qx1 with args in directory cwd; env holds extra "NAME=value" settings, and
// SOURCE_DATE_EPOCH is removed unless env sets it.
Qx1Run RunQx1(const std::vector<std::string>& args, const std::string& cwd,
              const std::vector<std::string>& env = {}, const Qx1Hooks& hooks = {});

// Whether the run exited with `status` and its standard error holds `errPart`; the failure
// message shows both streams.
::testing::AssertionResult Exited(const Qx1Run& run, int status, const std::string& errPart = "");

// The time stamp the reproducible runs use.
inline const std::string kEpoch = "SOURCE_DATE_EPOCH=1234567890";

// Copies a corpus picture to `to`.
void CopyCorpus(const std::string& name, const std::string& to);

// Names of the entries of a directory, sorted.
std::vector<std::string> ListDirectory(const std::string& dir);

}  // namespace qxtest
