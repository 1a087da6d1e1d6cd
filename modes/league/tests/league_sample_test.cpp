// The league end to end as the main program starts it: the sample program
// folder (the built libraries and a copy of the sample data), the sample
// league conf of data/Config read and launched by the main program's event
// launch, the set-up window and the progress window answered offscreen.
// What the event leaves in the results folder is read back: the entry
// list, one log per pairing with its HTML twin and digest, and the result
// file with both tables; and with the conf's log output off, the digests
// and the result file without any log.
#include "config/conffile.h"
#include "main/eventlaunch.h"
#include "modes/frame/tests/guidriver.h"
#include "modes/frame/tests/modetest.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>

#include <cstdio>
#include <filesystem>
#include <set>

namespace {

using namespace modetest;
using namespace modetest::gui;
using testsupport::sj;
namespace fs = std::filesystem;

std::string printed(const char* fmt, int a, int b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, fmt, a, b);
    return text;
}

constexpr const char* LeagueConf = "Config\\VLCNF000004";
// Its results folder, one of its own under Result.
constexpr const char* LeagueResults = "program/Result/青嵐リーグ";

class LeagueSample : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        // A program folder of its own: the built libraries linked, the sample
        // data copied, so the run writes nothing into the build's folder.
        fs::path program = path("program");
        fs::create_directories(program);
        for (const fs::directory_entry& e : fs::directory_iterator(programDir())) {
            std::string name = e.path().filename().string();
            if (e.is_regular_file() && name.rfind("lib", 0) == 0)
                fs::create_symlink(e.path(), program / name);
        }
        for (const char* folder : {"AkData", "WpData", "Config", "Message", "sysmsg", "Format"})
            fs::copy(fs::path(programDir()) / folder, program / folder, fs::copy_options::recursive);
        fs::create_directories(path(LeagueResults));
        programFolder_ = program.string() + "/";
        plat::setProgramFolder(programFolder_);
        plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\DLL\\League", "RandomSort", 0);
    }

    // The sample conf with option flags changed.
    void changeConf(std::initializer_list<std::pair<int, uint8_t>> flags, int digestMode,
                    bool checkWeapons = false) {
        std::optional<ConfFile> conf = cnf::readConf(programFolder_, LeagueConf);
        ASSERT_TRUE(conf);
        for (auto [flag, value] : flags) conf->Settings.Options[flag] = value;
        conf->Settings.DigestMode = digestMode;
        conf->Header.CheckWeaponData = checkWeapons ? 1 : 0;
        ASSERT_TRUE(cnf::writeConf(programFolder_, LeagueConf, *conf));
    }

    // Launches the conf; the game master starts the league, waits for its
    // end, presses "終了" and closes the set-up window.
    void runEvent() {
        const QString doneText = QString::fromUtf8("お待たせしました。リーグ戦の処理を終わりました");
        int stage = 0;
        QPointer<QWidget> progressShown, answered;
        Driver driver([&] {
            // The weapon-data check's dialog for an AK with findings: the
            // game master lets the match go on.
            if (QWidget* check = modal("FormAkCheck")) {
                if (check != answered) {
                    answered = check;
                    checked_.push_back(check->windowTitle());
                    checkReports_.push_back(check->findChild<QPlainTextEdit*>("MemoCheck")->toPlainText());
                    clickLater(check, "ButtonStart");
                }
                return false;
            }
            switch (stage) {
            case 0:
                if (QWidget* form = modal("TFormLeague")) {
                    clickLater(form, "ButtonStart");
                    stage = 1;
                }
                return false;
            case 1:
                if (QWidget* progress = modal("TFormProgress");
                    progress && statusText(progress, 0) == doneText) {
                    progressShown = progress;
                    clickLater(progress, "ButtonCancel");
                    stage = 2;
                }
                return false;
            default:
                if (QWidget* form = modal("TFormLeague"); form && !progressShown) {
                    clickLater(form, "ButtonCancel");
                    return true;
                }
                return false;
            }
        });
        vell::LaunchHooks hooks;
        hooks.application = qApp;
        ASSERT_TRUE(vell::StartEvent(programFolder_, LeagueConf, {}, hooks));
        EXPECT_TRUE(driver.done());
        for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);
    }

    std::set<std::string> resultFiles() const {
        std::set<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(path(LeagueResults)))
            names.insert(e.path().filename().string());
        return names;
    }
    std::string result(const std::string& name) const {
        return testsupport::readFile(path(std::string(LeagueResults) + "/" + name));
    }

    std::string programFolder_;
    QStringList checked_, checkReports_;
};

TEST_F(LeagueSample, TheSampleLeagueConfEndToEnd) {
    // Eight sample AKs: 28 matches; their weapon data checked first.
    changeConf({}, 3, true);
    runEvent();
    std::set<std::string> files = resultFiles();
    int logs = 0;
    for (int i = 1; i <= 8; ++i)
        for (int j = i + 1; j <= 8; ++j) {
            std::string base = printed("lg_%03d_%03d", i, j);
            for (const char* ext : {".txt", ".htm", ".mom"})
                EXPECT_TRUE(files.count(base + ext)) << base << ext;
            std::string log = result(base + ".txt");
            // A log of a narrated match: header, both introductions, the end.
            EXPECT_GT(log.size(), 2000u) << base;
            EXPECT_EQ(log.find('\n') != std::string::npos ? log[log.find('\n') - 1] : '\r', '\r') << base;
            ++logs;
        }
    EXPECT_EQ(logs, 28);
    // One sample AK carries a weapon that differs from the catalog: its
    // check dialog came, and "試合を行う" let the league go on.
    ASSERT_EQ(checked_.size(), 1);
    EXPECT_EQ(checked_[0], QString::fromUtf8("ＡＫデータチェック： ダイチ・コバヤシ 選手"));
    EXPECT_TRUE(checkReports_[0].contains(QString::fromUtf8("パラメータがカタログと異なります")));
    EXPECT_TRUE(files.count("entrylist.txt"));
    // No output AK files: the league forces option 23 off.
    EXPECT_FALSE(fs::exists(path("program/AkOut")) && !fs::is_empty(path("program/AkOut")));

    std::string text = result("League.txt");
    EXPECT_EQ(
        text.rfind(sj("青嵐リーグ／総当たり戦。ＨＴＭＬログも出力\r\n\t\t\t\t\t\t\t(2026/4/5 13:7:9)\r\n")),
        0u);
    EXPECT_NE(text.find(sj("【エントリー】\r\n")), std::string::npos);
    EXPECT_NE(text.find(sj("\r\n\r\n\r\n【結果】\r\n\r\n")), std::string::npos);
    // Eight places, each entrant once.
    for (int place = 1; place <= 8; ++place)
        EXPECT_NE(text.find(printed("\r\n%3d:", place)), std::string::npos) << place;
    std::string signature = sj("\r\n\t\t\t\t\t青嵐リーグ事務局／青嵐アリーナ\r\n");
    ASSERT_GE(text.size(), signature.size());
    EXPECT_EQ(text.substr(text.size() - signature.size()), signature);
}

TEST_F(LeagueSample, WithTheLogOffOnlyTheDigestsAndTheResultFile) {
    // Log output off; every digest mode that writes a file of its own.
    changeConf({{OptLogOutput, 0}, {OptAddHeader, 1}}, 2);
    runEvent();
    std::set<std::string> files = resultFiles();
    for (const std::string& name : files)
        EXPECT_TRUE(name.rfind("lg_", 0) != 0) << name << " written with the log off";
    ASSERT_TRUE(files.count("digest.mom"));
    std::string digest = result("digest.mom");
    // One block per match; the end-of-match lines are there although the
    // narration was off.
    size_t blocks = 0;
    for (size_t at = digest.find(sj("○")); at != std::string::npos; at = digest.find(sj("○"), at + 1))
        ++blocks;
    size_t draws = 0;
    for (size_t at = digest.find(sj("△")); at != std::string::npos; at = digest.find(sj("△"), at + 1))
        ++draws;
    EXPECT_EQ(blocks + draws / 2, 28u);
    std::string text = result("League.txt");
    EXPECT_NE(text.find(sj("【結果】")), std::string::npos);
}

} // namespace
