#include "appcore/package_fixture.h"

#include "support/picture_files.h"
#include "support/test_support.h"

namespace qxtest {

void PackageTest::SetUp() {
    previousDirectory_ = std::filesystem::current_path();
    root = MakeTempDir();
    source = root + "/pictures";
    target = root + "/packed";
    std::filesystem::create_directories(source);
}

void PackageTest::TearDown() {
    std::filesystem::current_path(previousDirectory_);
    std::filesystem::remove_all(root);
}

std::string PackageTest::writeBmp(const std::string& name, const BmpShape& shape) {
    const std::string path = source + "/" + name;
    WriteFileBytes(path, MakeBmp(shape));
    return path;
}

qx::PackageResult PackageTest::run(const std::vector<std::string>& files) {
    dialogs.opened.assign(files.begin(), files.end());
    if (dialogs.directories.empty()) dialogs.directories.push_back(target);
    return qx::RunPackageCompression(codec, container, dialogs, progress, memory);
}

void PackageTest::expectBoxesUnlocked() const {
    for (const ShownBox& box : dialogs.boxes) EXPECT_FALSE(box.lockedWhenShown) << box.text;
    EXPECT_FALSE(dialogs.locked);
}

}  // namespace qxtest
