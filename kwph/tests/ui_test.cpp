// The Qt windows of the archive operations: a listing lands in the text
// window, closing it only hides it, and no window is made off the window
// thread.
#include "kwph/engine.h"
#include "kwph/pack.h"
#include "kwph/ui/windows.h"
#include "kwph/unpack.h"

#include "platform/ui/qtsjis.h"
#include "samples.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <thread>

namespace {

QMainWindow* textWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMainWindow*>(w)) return m;
    return nullptr;
}

} // namespace

TEST(KwphWindows, ListingGoesToTheTextWindow) {
    int argc = 1;
    char name[] = "kwph_ui_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    kwp::setUiFactory([] { return std::unique_ptr<kwp::Ui>(kwphuiCreate()); });

    testsupport::TempDir src, dst;
    kwtest::writeSampleFolder(src.path());
    const std::string archive = dst.folder() + "ui.kwp";
    {
        kwp::Engine engine(true, kwp::Geometry{10, 20, 300, 400});
        ASSERT_TRUE(kwp::pack(engine, src.folder(), archive, "", true));
        ASSERT_TRUE(kwp::putMsgList(engine, archive));
        QMainWindow* w = textWindow();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), QString::fromStdString(archive));
        EXPECT_TRUE(w->isVisible());
        auto* text = w->findChild<QPlainTextEdit*>();
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->document()->blockCount(), 9);
        EXPECT_TRUE(text->toPlainText().startsWith(" Listing File : "));
        EXPECT_TRUE(w->statusBar()->currentMessage().contains("packed"));
        w->close();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(textWindow(), w); // hidden, not gone
        EXPECT_TRUE(engine.recorder().lines.empty());
    }
    EXPECT_EQ(textWindow(), nullptr);

    kwp::Ui* fromWorker = reinterpret_cast<kwp::Ui*>(1);
    std::thread([&] { fromWorker = kwphuiCreate(); }).join();
    EXPECT_EQ(fromWorker, nullptr);
    kwp::setUiFactory(nullptr);
}
