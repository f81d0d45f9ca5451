// Runs qx1 as a child process with its output captured in temporary files.
#include "cli/run_qx1.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "support/test_support.h"

namespace qxtest {

namespace {

std::string Slurp(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

}  // namespace

Qx1Run RunQx1(const std::vector<std::string>& args, const std::string& cwd,
              const std::vector<std::string>& env, const Qx1Hooks& hooks) {
    const std::string capture = MakeTempDir();
    const std::string outPath = capture + "/out";
    const std::string errPath = capture + "/err";
    const std::string program = std::string(QX_BIN_DIR) + "/qx1";

    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
            ::chdir(cwd.c_str()) != 0)
            ::_exit(127);
        ::unsetenv("SOURCE_DATE_EPOCH");
        for (const std::string& setting : env) ::putenv(const_cast<char*>(setting.c_str()));
        if (hooks.inChild) hooks.inChild();
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    if (child > 0 && hooks.started) hooks.started(child);
    Qx1Run run;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    run.out = Slurp(outPath);
    run.err = Slurp(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    ::rmdir(capture.c_str());
    return run;
}

::testing::AssertionResult Exited(const Qx1Run& run, int status, const std::string& errPart) {
    if (run.status == status && run.err.find(errPart) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "exit " << run.status << " (expected " << status
                                         << " and \"" << errPart << "\" on standard error)\n"
                                         << "out: " << run.out << "\nerr: " << run.err;
}

void CopyCorpus(const std::string& name, const std::string& to) {
    WriteFileBytes(to, ReadFileBytes(CorpusPath(name)));
}

std::vector<std::string> ListDirectory(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* entry = ::readdir(d))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.push_back(entry->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace qxtest
