// A file dropped on the main window opens as if chosen in its command's dialog; while the input
// lock is held the drop is refused like a click.
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <filesystem>

#include "app/qx_application.h"
#include "support/test_support.h"
#include "tests/app/window_fixture.h"

namespace qxtest {
namespace {

bool Drop(QWidget* target, const std::string& file) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return enter.isAccepted() && drop.isAccepted();
}

TEST_F(WindowTest, DroppedCompressedFileOpensUnlessInputIsLocked) {
    const std::string dir = MakeTempDir();
    std::filesystem::copy_file(ConformancePath("graf1-high.qx1"), dir + "/graf1.qx1");

    qx::InputLock& lock = qx::QxApplication::instance()->inputLock();
    lock.set(true, Screen().width(), Screen().height());
    EXPECT_FALSE(Drop(form_.get(), dir + "/graf1.qx1"));
    lock.set(false, Screen().width(), Screen().height());
    EXPECT_EQ(form_->windowTitle(), "QX WendoCompressor  ");

    EXPECT_TRUE(Drop(form_.get(), dir + "/graf1.qx1"));
    EXPECT_TRUE(dialogs_.openFilters.empty() && dialogs_.boxes.empty());
    EXPECT_EQ(form_->windowTitle(), "QX WendoCompressor  graf1.qx1   24.4 Kb  (800*640)  [1 : 61]");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qxtest
