#include "base/sjis.h"
#include "config/conftree.h"
#include "config/ui/conftreemodel.h"
#include "main/mainwindow.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "testsupport/testsupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

#include <filesystem>

using testsupport::sj;
using testsupport::TempDir;

namespace {

QApplication* app() {
    return qApp;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        plat::setProgramFolder(dir.folder());
        plat::setLibraryFolder(dir.folder()); // and its libraries: only those a test puts there
        plat::reg::setStorePath(dir.path().string() + "/registry.reg");
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
        std::filesystem::create_directories(dir.path() / "Config");
        // A net holding one conf (with its file) and an empty net.
        cnf::ConfTree tree(dir.folder());
        ConfNodeRec net{};
        sjis::writeField(net.NodeName, sj("ネット"));
        cnf::ConfNode* n = tree.append(nullptr, net, sj("ネット"));
        ConfNodeRec conf{};
        conf.Kind = 1;
        sjis::writeField(conf.NodeName, sj("春の大会"));
        sjis::writeField(conf.ConfPath, "Config\\VLCNFAAAAAA");
        sjis::writeField(conf.NodeMemo, sj("メモ"));
        tree.append(n, conf, sj("春の大会"));
        ConfNodeRec other{};
        sjis::writeField(other.NodeName, "Other");
        tree.append(nullptr, other, "Other");
        ASSERT_TRUE(tree.save());
        ConfFile file{};
        file.Header.GameForm = 1;
        testsupport::writeFile(dir.path() / "Config" / "VLCNFAAAAAA",
                               std::string(reinterpret_cast<const char*>(&file), sizeof file));
        cf = testsupport::readFile(dir.path() / "Config" / "VlTreeVw.Cf");
        dt = testsupport::readFile(dir.path() / "Config" / "VlTreeVw.Dt");
    }
    void TearDown() override { plat::notify::clearRecorded(); }

    TempDir dir;
    std::string cf, dt;
};

} // namespace

TEST_F(MainWindow, MissingLibrariesAreReportedNotCalled) {
    vell::TFormMain w;
    EXPECT_FALSE(w.configurationManagerLoaded());
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("VELLCONF.DLL がロードできません。ファイルを確認してください"));
    EXPECT_EQ(rec[0].icon, plat::notify::Icon::Warning);
    plat::notify::clearRecorded();

    // The tree is loaded and expanded; the conf buttons wait for a conf.
    ASSERT_EQ(w.tree().roots().size(), 2u);
    cnf::ConfNode* net = w.tree().roots()[0].get();
    cnf::ConfNode* conf = net->children[0].get();
    EXPECT_TRUE(w.treeView()->isExpanded(w.treeView()->model()->index(0, 0)));
    EXPECT_TRUE(w.button("SpeedButtonGame")->isHidden());
    EXPECT_TRUE(w.button("SpeedButtonProperty")->isHidden());

    w.selectNode(conf);
    EXPECT_FALSE(w.button("SpeedButtonGame")->isHidden());
    EXPECT_TRUE(w.button("SpeedButtonFolder")->isHidden());
    EXPECT_EQ(w.statusBar()->currentMessage(), QString::fromUtf8("メモ"));
    w.selectNode(net);
    EXPECT_TRUE(w.button("SpeedButtonGame")->isHidden());
    EXPECT_FALSE(w.button("SpeedButtonFolder")->isHidden());
    EXPECT_TRUE(w.statusBar()->currentMessage().isEmpty());

    // Dialog buttons do nothing without the configuration manager.
    w.SpeedButtonFolderClick();
    w.SpeedButtonConfigClick();
    EXPECT_TRUE(plat::notify::recorded().empty());

    // Starting the conf's event names the tournament library.
    w.selectNode(conf);
    w.button("SpeedButtonGame")->click();
    rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("試合用の DLL(BRACKETS.DLL) がロードできません。\nファイルを確認してください"));
    plat::notify::clearRecorded();
    // Enter on the conf node does the same.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w.treeView(), &enter);
    EXPECT_EQ(plat::notify::recorded().size(), 1u);

    // Closing without changes writes neither tree file.
    std::filesystem::remove(dir.path() / "Config" / "VlTreeVw.Cf");
    w.close();
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Config" / "VlTreeVw.Cf"));
    EXPECT_EQ(plat::reg::readString("Software\\Dunmoor\\CVVell\\Window", "MainWidth", ""), "488");
}

TEST_F(MainWindow, CaptionEditsAreCutAndSavedOnClose) {
    {
        vell::TFormMain w;
        cnf::ConfNode* conf = w.tree().roots()[0]->children[0].get();
        auto* model = w.treeView()->model();
        QModelIndex idx = model->index(0, 0, model->index(0, 0));
        // 85 bytes: "あ"×42 then "B"; the 79-byte cut keeps 78.
        QString caption = QString::fromUtf8("あ").repeated(42) + "B";
        ASSERT_TRUE(model->setData(idx, caption, Qt::EditRole));
        std::string expected;
        for (int i = 0; i < 39; ++i) expected += sj("あ");
        EXPECT_EQ(conf->caption, expected);
        EXPECT_EQ(sjis::readField(conf->rec.NodeName), conf->caption);
        EXPECT_TRUE(w.dirty());
        // A character without a Shift-JIS form is refused.
        EXPECT_FALSE(model->setData(idx, QString::fromUtf8("😀"), Qt::EditRole));
        w.close();
    }
    std::string saved = testsupport::readFile(dir.path() / "Config" / "VlTreeVw.Cf");
    EXPECT_NE(saved, cf);
    std::string expected;
    for (int i = 0; i < 39; ++i) expected += sj("あ");
    EXPECT_NE(saved.find("\t" + expected + "\r\n"), std::string::npos);
}

TEST_F(MainWindow, EnvironmentDialogAlwaysReloadsTheTree) {
    std::filesystem::copy_file(std::string(VELL_PROGRAM_DIR) + "libvellcnf.so", dir.path() / "libvellcnf.so");
    vell::TFormMain w;
    ASSERT_TRUE(w.configurationManagerLoaded());
    EXPECT_TRUE(plat::notify::recorded().empty());
    cnf::ConfNode* conf = w.tree().roots()[0]->children[0].get();
    w.selectNode(conf);
    // The dialog's own changes reach the files; the window reads them again
    // even though the dialog answers "cancelled".
    {
        cnf::ConfTree other(dir.folder());
        ASSERT_TRUE(other.load());
        ConfNodeRec extra{};
        sjis::writeField(extra.NodeName, "Added");
        other.append(nullptr, extra, "Added");
        ASSERT_TRUE(other.save());
    }
    // The environment dialog is a real modal window: close it (a cancel) once it shows.
    auto* closer = new QTimer(&w);
    QObject::connect(closer, &QTimer::timeout, [closer] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            closer->stop();
            dialog->close();
        }
    });
    closer->start(10);
    w.SpeedButtonConfigClick();
    ASSERT_EQ(w.tree().roots().size(), 3u);
    EXPECT_EQ(w.tree().roots()[2]->caption, "Added");
    EXPECT_EQ(w.selectedNode(), nullptr);
    EXPECT_TRUE(w.button("SpeedButtonGame")->isHidden());
    EXPECT_FALSE(w.button("SpeedButtonFolder")->isHidden());
    EXPECT_FALSE(w.dirty());
}

TEST_F(MainWindow, FailedTreeSaveKeepsOldFilesAndStaysDirty) {
    vell::TFormMain w;
    plat::notify::clearRecorded();
    auto* model = w.treeView()->model();
    ASSERT_TRUE(model->setData(model->index(1, 0), QString("Renamed"), Qt::EditRole));
    plat::setAtomicWriteFault(0);
    w.close();
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(testsupport::readFile(dir.path() / "Config" / "VlTreeVw.Cf"), cf);
    EXPECT_EQ(testsupport::readFile(dir.path() / "Config" / "VlTreeVw.Dt"), dt);
    auto rec = plat::notify::recorded();
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(rec.back().text, sj("試合設定の一覧をファイル(") +
                                   (dir.path() / "Config" / "VlTreeVw.Cf").string() +
                                   sj(")に保存できません"));
    EXPECT_TRUE(w.dirty());
}

// The border has the system menu and the minimise box only; a maximise
// request from a window manager that offers one anyway is turned back.
TEST_F(MainWindow, BorderHasNoMaximiseBox) {
    vell::TFormMain w;
    const Qt::WindowFlags flags = w.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    w.show();
    w.setWindowState(Qt::WindowMaximized);
    QApplication::processEvents();
    EXPECT_FALSE(w.isMaximized());
    EXPECT_EQ(w.size(), QSize(488, 368));
}
