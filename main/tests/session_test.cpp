// The game master's data folder over starts, one program at a time, and a
// close by signal.
#include "base/sjis.h"
#include "config/conftree.h"
#include "main/closerequests.h"
#include "main/installation.h"
#include "main/mainwindow.h"
#include "main/singleinstance.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "testsupport/testsupport.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

using testsupport::readFile;
using testsupport::sj;
using testsupport::TempDir;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

// The program itself, started on a home of the test's.
QProcess* startProgram(const TempDir& home, QObject* parent) {
    auto* p = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", QString::fromStdString((home.path() / "data").string()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((home.path() / "config").string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    p->start(QString::fromUtf8(VELL_PROGRAM_DIR "vell"), {});
    return p;
}

// Runs the window loop until the program ends (at most a minute).
bool waitForEnd(QProcess* p) {
    QEventLoop loop;
    QObject::connect(p, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    if (p->state() != QProcess::NotRunning) loop.exec();
    return p->state() == QProcess::NotRunning;
}

} // namespace

TEST(DataFolder, SamplesAreLaidOutOnceAndEditsStay) {
    TempDir samples, home;
    fs::create_directories(samples.path() / "Config");
    fs::create_directories(samples.path() / "AkData");
    fs::create_directories(samples.path() / "Result" / "北辰杯");
    writeFile(samples.path() / "Config" / "VlTreeVw.Cf", "tree");
    writeFile(samples.path() / "AkData" / "ak01.dat", "ak");
    writeFile(samples.path() / "Result" / "北辰杯" / ".gitkeep", "");
    const fs::path data = home.path() / "share" / "corvane-vell";
    EXPECT_EQ(vell::layOutSamples(samples.folder(), data.string() + "/"), std::nullopt);
    EXPECT_EQ(readFile(data / "Config" / "VlTreeVw.Cf"), "tree");
    EXPECT_EQ(readFile(data / "AkData" / "ak01.dat"), "ak");
    EXPECT_TRUE(fs::is_directory(data / "Result" / "北辰杯"));
    EXPECT_FALSE(fs::exists(data / "Result" / "北辰杯" / ".gitkeep"));

    // The game master renames a node and removes a sample AK: the next start
    // keeps the edit and brings back only the missing sample.
    writeFile(data / "Config" / "VlTreeVw.Cf", "renamed");
    fs::remove(data / "AkData" / "ak01.dat");
    EXPECT_EQ(vell::layOutSamples(samples.folder(), data.string() + "/"), std::nullopt);
    EXPECT_EQ(readFile(data / "Config" / "VlTreeVw.Cf"), "renamed");
    EXPECT_EQ(readFile(data / "AkData" / "ak01.dat"), "ak");

    // A file where a sample folder belongs is reported; the rest is laid out.
    fs::remove_all(data);
    fs::create_directories(data);
    writeFile(data / "AkData", "in the way");
    EXPECT_EQ(vell::layOutSamples(samples.folder(), data.string() + "/"), (data / "AkData").string());
    EXPECT_EQ(readFile(data / "Config" / "VlTreeVw.Cf"), "tree");
}

TEST(OneProgram, ASecondStartRaisesTheFirstAndEnds) {
    TempDir home;
    const fs::path data = home.path() / "data" / "corvane-vell";
    fs::create_directories(data);
    vell::SingleInstance first(QString::fromStdString(data.string()));
    ASSERT_EQ(first.acquire(), vell::SingleInstance::Start::First);
    int raised = 0;
    QObject::connect(&first, &vell::SingleInstance::raiseRequested, [&raised] { ++raised; });

    QObject owner;
    QProcess* second = startProgram(home, &owner);
    ASSERT_TRUE(waitForEnd(second));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(raised, 1);
    // It ended before it laid anything out.
    EXPECT_FALSE(fs::exists(data / "Config"));
}

TEST(OneProgram, ACrashedProgramsLockIsTakenOverAndATermSavesOnTheWayOut) {
    TempDir home;
    const fs::path data = home.path() / "data" / "corvane-vell";
    QObject owner;
    // No splash: the program answers only once its window loop runs.
    plat::reg::setStorePath((home.path() / "config" / "corvane-vell" / "registry.reg").string());
    ASSERT_TRUE(plat::reg::writeBool("Software\\Dunmoor\\CVVell\\Display", "DispSplash", false));

    // A program killed outright leaves its lock and socket behind.
    QProcess* crashed = startProgram(home, &owner);
    for (int i = 0; i < 600 && !fs::exists(data / "vell.lock"); ++i) QThread::msleep(100);
    ASSERT_TRUE(fs::exists(data / "vell.lock"));
    crashed->kill();
    ASSERT_TRUE(waitForEnd(crashed));

    // The next one takes over and lays the samples out; asked to come to the
    // front, it answers once its window loop runs.
    QProcess* program = startProgram(home, &owner);
    bool answered = false;
    vell::SingleInstance later(QString::fromStdString(data.string()));
    for (int i = 0; i < 60 && !answered && program->state() != QProcess::NotRunning; ++i)
        answered = later.askRunningToRaise(1000);
    ASSERT_TRUE(answered);
    EXPECT_TRUE(fs::exists(data / "Config" / "VlTreeVw.Cf"));

    // SIGTERM: the close button's close, the placement saved, exit 0.
    ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
    ASSERT_TRUE(waitForEnd(program));
    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 0);
    std::string settings = readFile(home.path() / "config" / "corvane-vell" / "registry.reg");
    EXPECT_NE(settings.find("MainWidth"), std::string::npos);
    EXPECT_FALSE(fs::exists(data / "vell.lock"));
}

TEST(CloseRequest, ATermCancelsTheOpenWindowAndSavesTheRenamedNode) {
    TempDir dir;
    plat::setProgramFolder(dir.folder());
    plat::setLibraryFolder(dir.folder()); // no configuration manager: no box of its own
    plat::reg::setStorePath(dir.path().string() + "/registry.reg");
    plat::notify::setHeadlessEcho(false);
    fs::create_directories(dir.path() / "Config");
    {
        cnf::ConfTree tree(dir.folder());
        ConfNodeRec net{};
        sjis::writeField(net.NodeName, "Net");
        tree.append(nullptr, net, "Net");
        ASSERT_TRUE(tree.save());
    }
    {
        vell::TFormMain w;
        bool closed = false;
        QObject::connect(&w, &vell::TFormMain::closed, [&closed] { closed = true; });
        vell::CloseRequests requests(&w);
        w.show();
        auto* model = w.treeView()->model();
        ASSERT_TRUE(model->setData(model->index(0, 0), QString::fromUtf8("春の部"), Qt::EditRole));

        // A modal window is open when the signal comes: it is closed first,
        // then the main window.
        QDialog dialog(&w);
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
        for (int i = 0; i < 100 && !closed; ++i) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        EXPECT_TRUE(closed);
    }
    EXPECT_NE(readFile(dir.path() / "Config" / "VlTreeVw.Cf").find(sj("春の部")), std::string::npos);
    EXPECT_EQ(plat::reg::readString("Software\\Dunmoor\\CVVell\\Window", "MainWidth", ""), "488");
    plat::notify::clearRecorded();
}
