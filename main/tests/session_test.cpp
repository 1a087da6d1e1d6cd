// The game master's data folder over starts, one program at a time, and a
// close by signal, also before the main window exists.
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
#include <sys/stat.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::sj;
using testsupport::TempDir;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

// The program itself, started on a home of the test's: its data folder
// under home/data unless `dataHome` names another.
QProcess* startProgram(const TempDir& home, QObject* parent, const fs::path& dataHome = {}) {
    auto* p = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME",
               QString::fromStdString((dataHome.empty() ? home.path() / "data" : dataHome).string()));
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

// Waits until the program catches SIGTERM (its mask of caught signals in
// /proc says so); false when it ended first.
bool waitForSignalsCaught(QProcess* p) {
    const std::string status = "/proc/" + std::to_string(p->processId()) + "/status";
    while (p->state() != QProcess::NotRunning) {
        std::string text = readFile(status);
        size_t at = text.find("SigCgt:");
        if (at != std::string::npos && (std::stoull(text.substr(at + 7), nullptr, 16) >> (SIGTERM - 1)) & 1)
            return true;
        QThread::msleep(20);
        p->waitForFinished(0);
    }
    return false;
}

mode_t modeOf(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 07777;
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

// The second start reaches the first through a link to its data folder,
// one too deep for a socket in it.
TEST(OneProgram, ASecondStartRaisesTheFirstAndEndsHoweverTheFolderIsSpelled) {
    TempDir home;
    const fs::path deep = home.path() / std::string(60, 'd') / std::string(60, 'e');
    const fs::path data = deep / "corvane-vell";
    fs::create_directories(data);
    fs::create_directory_symlink(deep, home.path() / "data");
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

// A lock that names nobody (left empty or cut short by a power cut just
// after a start) is taken over without a word; one of a program on another
// machine, which does not answer, is named in a box that quits or takes the
// folder over.
TEST(OneProgram, ALockNobodyAnswersForIsNeverASilentEnd) {
    TempDir home;
    const fs::path data = home.path() / "corvane-vell";
    const fs::path lock = data / "vell.lock";
    const std::string folder = data.string() + "/";
    const QString dataOs = QString::fromStdString(data.string());
    fs::create_directories(data);
    plat::notify::setHeadlessEcho(false);
    plat::notify::clearRecorded();
    const std::string ours = std::to_string(::getpid()) + "\n";
    for (const char* left : {"", "7\n"}) {
        writeFile(lock, left);
        vell::SingleInstance instance(dataOs);
        EXPECT_EQ(vell::claimDataFolder(instance, folder), std::nullopt);
        EXPECT_EQ(readFile(lock).rfind(ours, 0), 0u) << left;
    }
    EXPECT_TRUE(plat::notify::recorded().empty());

    const std::string foreign = "4242\nvell\nfarhost\n";
    writeFile(lock, foreign);
    plat::notify::setHeadlessAnswer(plat::notify::IdNo);
    {
        vell::SingleInstance instance(dataOs);
        EXPECT_EQ(vell::claimDataFolder(instance, folder), std::optional<int>(0));
    }
    EXPECT_EQ(readFile(lock), foreign);
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].caption, sj("確認してください"));
    EXPECT_EQ(rec[0].icon, plat::notify::Icon::Question);
    EXPECT_EQ(rec[0].buttons, plat::notify::Buttons::YesNo);
    EXPECT_EQ(rec[0].text.rfind(sj("データフォルダ(") + folder + sj(")は、コンピュータ farhost の"), 0), 0u)
        << testsupport::u8(rec[0].text);

    plat::notify::setHeadlessAnswer(plat::notify::IdYes);
    {
        vell::SingleInstance instance(dataOs);
        EXPECT_EQ(vell::claimDataFolder(instance, folder), std::nullopt);
        EXPECT_EQ(readFile(lock).rfind(ours, 0), 0u);
    }
    EXPECT_FALSE(fs::exists(lock));
    plat::notify::setHeadlessAnswer(0);
    plat::notify::clearRecorded();
}

// What the program makes for the game master is theirs alone; a folder of
// theirs keeps its permissions.
TEST(OneProgram, ACrashedProgramsLockIsTakenOverAndATermSavesOnTheWayOut) {
    TempDir home;
    const fs::path data = home.path() / "data" / "corvane-vell";
    fs::create_directories(home.path() / "data");
    fs::permissions(home.path() / "data", fs::perms(0755));
    const mode_t mask = ::umask(022);
    QObject owner;
    // No splash: the program answers only once its window loop runs.
    plat::reg::setStorePath((home.path() / "config" / "corvane-vell" / "registry.reg").string());
    ASSERT_TRUE(plat::reg::writeBool("Software\\Dunmoor\\CVVell\\Display", "DispSplash", false));

    // A program killed outright leaves its lock and socket behind.
    QProcess* crashed = startProgram(home, &owner);
    for (int i = 0; i < 600 && !fs::exists(data / "vell.lock"); ++i) QThread::msleep(100);
    ASSERT_TRUE(fs::exists(data / "vell.lock"));
    EXPECT_EQ(modeOf(data / "vell.lock"), 0600u);
    EXPECT_EQ(modeOf(data), 0700u);
    EXPECT_EQ(modeOf(home.path() / "data"), 0755u);
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
    EXPECT_EQ(modeOf(data / "Config"), 0700u);
    EXPECT_EQ(modeOf(data / "Config" / "VlTreeVw.Cf"), 0600u);

    // SIGTERM: the close button's close, the placement saved, exit 0.
    ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
    ASSERT_TRUE(waitForEnd(program));
    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 0);
    std::string settings = readFile(home.path() / "config" / "corvane-vell" / "registry.reg");
    EXPECT_NE(settings.find("MainWidth"), std::string::npos);
    EXPECT_FALSE(fs::exists(data / "vell.lock"));
    ::umask(mask);
}

// A logout while the start has no main window yet (held up here by the box
// about a sample that cannot be laid out) ends it as the close button
// would: exit 0, lock and socket removed. The first settings of a start are
// the game master's alone.
TEST(OneProgram, ATermBeforeTheMainWindowEndsTheStartCleanly) {
    TempDir home;
    const fs::path data = home.path() / "data" / "corvane-vell";
    fs::create_directories(data);
    writeFile(data / "AkData", "in the way");
    const mode_t mask = ::umask(022);
    QObject owner;
    QProcess* program = startProgram(home, &owner);
    for (int i = 0; i < 600 && !fs::exists(data / "vell.lock"); ++i) QThread::msleep(100);
    ASSERT_TRUE(fs::exists(data / "vell.lock"));
    ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
    ASSERT_TRUE(waitForEnd(program));
    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 0);
    EXPECT_FALSE(fs::exists(data / "vell.lock"));
    EXPECT_FALSE(fs::exists(data / "vell.socket"));
    EXPECT_EQ(modeOf(home.path() / "config" / "corvane-vell" / "registry.reg"), 0600u);
    ::umask(mask);
}

// A data folder whose name Shift-JIS cannot hold is named in a box (closed
// here by a logout), and the program ends with 1, never an abort.
TEST(OneProgram, AFolderNameWithoutShiftJisEndsWithABox) {
    TempDir home;
    QObject owner;
    QProcess* program = startProgram(home, &owner, home.path() / "josé");
    ASSERT_TRUE(waitForSignalsCaught(program));
    ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
    ASSERT_TRUE(waitForEnd(program));
    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 1);
    EXPECT_FALSE(fs::exists(home.path() / "josé"));
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
