// The real message boxes: answers when closed, plain text, and the input lock released first.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/qt_user_dialogs.h"
#include "app/qx_application.h"

namespace {

// Runs `inspect` on the box once it is up, then closes it with `key`.
void WhenBoxShows(std::function<void(QMessageBox*)> inspect, Qt::Key key = Qt::Key_Escape) {
    QTimer::singleShot(0, [inspect, key] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        inspect(box);
        QTest::keyClick(box, key);
    });
}

qx::InputLock& Lock() {
    return qx::QxApplication::instance()->inputLock();
}

TEST(QtDialogs, ClosingAQuestionCountsAsNoOrCancel) {
    qx::QtUserDialogs dialogs(nullptr, Lock());
    WhenBoxShows([](QMessageBox* box) { EXPECT_EQ(box->icon(), QMessageBox::Warning); });
    EXPECT_EQ(dialogs.askYesNo("go on?"), qx::Answer::No);
    WhenBoxShows([](QMessageBox*) {});
    EXPECT_EQ(dialogs.askYesNoCancel("go on?"), qx::Answer::Cancel);
    WhenBoxShows([](QMessageBox*) {});
    EXPECT_EQ(dialogs.askRetryCancel("again?"), qx::Answer::Cancel);
    WhenBoxShows([](QMessageBox*) {}, Qt::Key_Return);
    EXPECT_EQ(dialogs.askYesNo("go on?"), qx::Answer::Yes);
}

TEST(QtDialogs, TextsAreShownExactlyAsPlainText) {
    qx::QtUserDialogs dialogs(nullptr, Lock());
    WhenBoxShows([](QMessageBox* box) {
        EXPECT_EQ(box->text(), "File '<b>&1.bmp' isn't read");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->windowTitle(), "Total and Free Memory");
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    });
    dialogs.message("File '<b>&1.bmp' isn't read", "Total and Free Memory");
}

TEST(QtDialogs, EveryBoxReleasesTheInputLockFirst) {
    qx::QtUserDialogs dialogs(nullptr, Lock());
    dialogs.lockInput(true);
    ASSERT_TRUE(Lock().locked());
    WhenBoxShows([](QMessageBox*) { EXPECT_FALSE(Lock().locked()); });
    dialogs.information("done");
    dialogs.lockInput(true);
    WhenBoxShows([](QMessageBox*) { EXPECT_FALSE(Lock().locked()); });
    dialogs.warnCancelOnly("stop");
    dialogs.lockInput(false);
}

TEST(QtDialogs, LockedProgramIgnoresKeysAndMouse) {
    QPushButton button("press");
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    qx::QtUserDialogs dialogs(nullptr, Lock());
    dialogs.lockInput(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);
    dialogs.lockInput(false);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

}  // namespace
