// The main window with scripted dialogs, started on the offscreen screen.
#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <memory>

#include "app/main_window.h"
#include "codec/codec.h"
#include "container/container.h"
#include "load/memory_status.h"
#include "support/scripted_dialogs.h"

namespace qxtest {

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form_ = std::make_unique<qx::TForm1>(codec_, container_, memory_, &dialogs_);
        QSignalSpy started(form_.get(), &qx::TForm1::started);
        form_->start();
        if (!form_->isStarted()) {
            ASSERT_TRUE(started.wait(5000));
        }
    }
    void TearDown() override { form_.reset(); }

    static QSize Screen() { return QGuiApplication::primaryScreen()->geometry().size(); }

    qx::Codec codec_;
    qx::Container container_;
    qx::MemoryStatusSource memory_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<qx::TForm1> form_;
};

}  // namespace qxtest
