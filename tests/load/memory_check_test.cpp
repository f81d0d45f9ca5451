// The free-memory figures from a meminfo text and the low-memory question.
#include <gtest/gtest.h>

#include "load/memory_status.h"
#include "support/scripted_dialogs.h"
#include "support/settable_memory.h"
#include "support/test_support.h"

namespace {

// Available memory and free swap, in Kb.
qxtest::SettableMemory FreeKb(int64_t available, int64_t swapFree) {
    qxtest::SettableMemory memory(available);
    memory.swapFreeKb = swapFree;
    return memory;
}

const char* kQuestion = "pic.bmp:  There is few memory for file. Do you want to continue?";

}  // namespace

TEST(Meminfo, ReadsTheFourFiguresAndFallsBackToMemFree) {
    const qx::MemoryStatus s = qx::ParseMeminfo(
        "MemTotal:       16314856 kB\nMemFree:          123 kB\nMemAvailable:   9000000 kB\n"
        "SwapCached:          0 kB\nSwapTotal:       2097148 kB\nSwapFree:        2000000 kB\n");
    EXPECT_TRUE(s.valid);
    EXPECT_EQ(s.memTotalKb, 16314856);
    EXPECT_EQ(s.freePageFileKb(), 11000000);
    EXPECT_EQ(s.totalPageFileKb(), 16314856 + 2097148);

    const qx::MemoryStatus old = qx::ParseMeminfo("MemTotal: 1000 kB\nMemFree: 400 kB\n");
    EXPECT_TRUE(old.valid);
    EXPECT_EQ(old.memAvailableKb, 400);
    EXPECT_EQ(old.swapFreeKb, 0);

    EXPECT_FALSE(qx::ParseMeminfo("").valid);
    EXPECT_FALSE(qx::ParseMeminfo("MemTotalX: 5 kB\n").valid);
}

TEST(Meminfo, ComesFromTheNamedFile) {
    const std::string dir = qxtest::MakeTempDir();
    const std::string path = dir + "/meminfo";
    const std::string text = "MemTotal: 2048 kB\nMemAvailable: 1024 kB\nSwapFree: 10 kB\n";
    qxtest::WriteFileBytes(path, {text.begin(), text.end()});
    EXPECT_EQ(qx::MemoryStatusSource(path).read().freePageFileKb(), 1034);
    EXPECT_FALSE(qx::MemoryStatusSource(dir + "/missing").read().valid);
    EXPECT_TRUE(qx::MemoryStatusSource().read().valid);  // this machine's /proc/meminfo
}

TEST(CheckFreeMemory, AsksOnlyBelowFifteenBytesPerPixel) {
    // 1024 x 1024 x 15 bytes = 15360 Kb, counted from available memory plus free swap.
    qxtest::ScriptedDialogs dialogs;
    EXPECT_FALSE(qx::CheckFreeMemory(dialogs, "pic.bmp", 1024, 1024, FreeKb(15000, 360)));
    EXPECT_TRUE(dialogs.boxes.empty());

    dialogs.lockInput(true);
    dialogs.answers = {qx::Answer::No};
    EXPECT_TRUE(qx::CheckFreeMemory(dialogs, "pic.bmp", 1024, 1024, FreeKb(15000, 359)));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].kind, "yesno");
    EXPECT_EQ(dialogs.boxes[0].text, kQuestion);
    EXPECT_FALSE(dialogs.boxes[0].lockedWhenShown);
}

TEST(CheckFreeMemory, OnlyYesGoesOnAndUnreadableFiguresAskNothing) {
    qxtest::ScriptedDialogs dialogs;
    dialogs.answers = {qx::Answer::Yes};
    EXPECT_FALSE(qx::CheckFreeMemory(dialogs, "pic.bmp", 100, 100, FreeKb(0, 0)));
    EXPECT_TRUE(qx::CheckFreeMemory(dialogs, "pic.bmp", 100, 100, FreeKb(0, 0)));
    EXPECT_EQ(dialogs.boxes.size(), 2u);

    qxtest::ScriptedDialogs quiet;
    qxtest::SettableMemory unreadable;
    unreadable.valid = false;
    EXPECT_FALSE(qx::CheckFreeMemory(quiet, "pic.bmp", 1024, 1024, unreadable));
    EXPECT_TRUE(quiet.boxes.empty());
}
