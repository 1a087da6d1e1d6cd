#include "main/aboutbox.h"
#include "main/installation.h"
#include "main/mcidevice.h"
#include "main/splash.h"
#include "main/theme.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/version.h"
#include "testsupport/qtfont.h"
#include "testsupport/testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using testsupport::sj;
using testsupport::TempDir;

namespace {

QApplication* app() {
    return qApp;
}

class Presentation : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        plat::setProgramFolder(dir.folder());
        plat::setLibraryFolder(dir.folder()); // and its libraries: only those a test puts there
        plat::reg::setStorePath(dir.path().string() + "/registry.reg");
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
    }
    void writeTheme(const std::string& relative, const std::string& text) {
        std::filesystem::create_directories((dir.path() / relative).parent_path());
        testsupport::writeFile(dir.path() / relative, text);
    }
    TempDir dir;
};

} // namespace

TEST_F(Presentation, ThemeFileIsFoundUnderTheProgramFolder) {
    const std::string pf = dir.folder();
    // Nothing anywhere: the default path (which does not exist either).
    EXPECT_EQ(vell::themeFilePath(pf), pf + "Themes\\default.ini");
    writeTheme("Themes/dark.ini", "[Splash]\r\nTimer=500\r\n");
    plat::reg::writeValue("Software\\Dunmoor\\CVVell", "ThemeFile", "dark.ini");
    EXPECT_EQ(vell::themeFilePath(pf), pf + "Themes\\dark.ini");
    EXPECT_EQ(vell::splashTimer(vell::OpenThemeIni(pf)), 500);
    plat::reg::writeValue("Software\\Dunmoor\\CVVell", "ThemeFile", "Themes\\dark.ini");
    EXPECT_EQ(vell::themeFilePath(pf), pf + "Themes\\dark.ini");
    plat::reg::writeValue("Software\\Dunmoor\\CVVell", "ThemeFile", "missing.ini");
    EXPECT_EQ(vell::themeFilePath(pf), pf + "Themes\\default.ini");
    EXPECT_EQ(vell::resolveThemeName(pf, "a.bmp", "Images\\"), pf + "Images\\a.bmp");
    EXPECT_EQ(vell::resolveThemeName(pf, "Pics\\a.bmp", "Images\\"), pf + "Pics\\a.bmp");
    EXPECT_EQ(vell::resolveThemeName(pf, "/abs/a.bmp", "Images\\"), "/abs/a.bmp");
}

TEST_F(Presentation, SplashWithoutThemeTakesEveryDefault) {
    auto* splash = new vell::TFormSplash(dir.folder());
    EXPECT_EQ(splash->timerInterval(), 2000);
    EXPECT_EQ(splash->titleLabel()->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_EQ(splash->versionLabel()->text(), QString("Version "));
    delete splash;
}

TEST_F(Presentation, SplashReadsPictureColoursAndTimer) {
    std::string picture = std::string(VELL_SOURCE_DATA) + "Images/vlstitle.bmp";
    writeTheme("Themes/default.ini", "[Images]\r\nSplash=" + picture +
                                         "\r\n[Splash]\r\nTimer=-3\r\n"
                                         "[Color]\r\nSplash_Title=0x000000ff\r\nSplash_Version=zz\r\n");
    auto* splash = new vell::TFormSplash(dir.folder());
    EXPECT_EQ(splash->size(), QSize(400, 240));
    EXPECT_EQ(splash->timerInterval(), 2000);
    EXPECT_EQ(splash->titleLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(splash->versionLabel()->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    delete splash;
}

// The sample picture's figure stands in its right two fifths (from x 275 of
// 400): the title and the version keep to the left 240 pixels, a title in a
// large system font included, and show their whole text.
TEST_F(Presentation, SplashTitleKeepsClearOfThePicture) {
    for (int pixels : {12, 40}) {
        testsupport::SystemFontPixels font(pixels);
        writeTheme("Themes/default.ini",
                   "[Images]\r\nSplash=" + std::string(VELL_SOURCE_DATA) + "Images/vlstitle.bmp\r\n");
        auto* splash = new vell::TFormSplash(dir.folder());
        splash->show();
        QApplication::processEvents();
        for (QLabel* label : {splash->titleLabel(), splash->versionLabel()}) {
            SCOPED_TRACE(label->text().toStdString() + " at " + std::to_string(pixels) + " px");
            EXPECT_LE(label->geometry().right(), 240);
            EXPECT_GE(label->width(), label->sizeHint().width());
        }
        delete splash;
    }
}

TEST_F(Presentation, AboutBoxListsProgramAndLibrariesAndWritesSupportText) {
    testsupport::writeFile(dir.path() / "vell", "program");
    testsupport::writeFile(dir.path() / "vell.ver", "FileVersion=1.2.3.4\nCompanyName=Dunmoor\n");
    testsupport::writeFile(dir.path() / "libzeta.so", "z");
    testsupport::writeFile(dir.path() / "libalpha.SO", "aa");
    testsupport::writeFile(dir.path() / "libalpha.SO.ver", "FileVersion=9\nFileDescription=ＡＫ\n");
    testsupport::writeFile(dir.path() / "notes.txt", "");
    vell::TAboutBox box(dir.folder());
    QTreeWidget* list = box.fileList();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "vell");
    EXPECT_EQ(list->topLevelItem(0)->text(1), "1.2.3.4");
    EXPECT_EQ(list->topLevelItem(1)->text(0), "libalpha.SO");
    EXPECT_EQ(list->topLevelItem(1)->text(3), QString::fromUtf8("ＡＫ"));
    EXPECT_EQ(list->topLevelItem(2)->text(1), "");
    // Installed, the program lies apart from its libraries and its sidecar:
    // its size is that of its own file.
    testsupport::TempDir bin;
    testsupport::writeFile(bin.path() / "vell", "the program");
    const std::vector<vell::FileVersionRow> apart =
        vell::listProgramFiles(dir.folder(), bin.folder() + "vell");
    EXPECT_EQ(apart[0].fileVersion, "1.2.3.4");
    EXPECT_EQ(apart[0].size, 11);

    std::vector<vell::FileVersionRow> rows(1);
    rows[0].fileName = "vell";
    rows[0].fileVersion = "1.0.0.0";
    rows[0].size = 1234;
    rows[0].mtime = 0;
    std::string text = vell::buildSupportText(rows);
    std::string head = sj("\r\nファイルのバージョン情報\r\n========================\r\n\r\n"
                          "ファイル名   バージョン     サイズ            日付\r\n") +
                       std::string(63, '-') + "\r\n";
    ASSERT_EQ(text.substr(0, head.size()), head);
    std::string line = text.substr(head.size(), text.find("\r\n", head.size()) + 2 - head.size());
    std::string date = plat::clock::asctimeText(plat::clock::localTimeOf(0));
    date.insert(date.size() - 1, "\r");
    EXPECT_EQ(line, "vell           1.0.0.0        1234   " + date);
    EXPECT_NE(text.find(sj("\r\n※ 上記の一覧を報告に貼りつけて下さると、問題解析に役立つかも知れません\r\n")),
              std::string::npos);

    ASSERT_TRUE(vell::writeSupportFile(dir.folder(), rows));
    EXPECT_EQ(testsupport::readFile(dir.path() / "Temp" / "Support.txt"), text);
}

// The about box describes the program and every library in Japanese.
TEST_F(Presentation, FileDescriptionsOfTheBuildAreJapanese) {
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(VELL_PROGRAM_DIR)) {
        const std::string name = e.path().filename().string();
        if (e.path().extension() != ".ver") continue;
        ++files;
        plat::RcVersion version(e.path().parent_path().string() + "/" + name.substr(0, name.size() - 4));
        const char* text = nullptr;
        ASSERT_TRUE(version.FileDescription(&text)) << name;
        const std::string description(text);
        EXPECT_TRUE(std::any_of(description.begin(), description.end(),
                                [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            << name << ": " << testsupport::u8(description);
    }
    EXPECT_GE(files, 15); // the program and its libraries
}

TEST_F(Presentation, PlayerStaysSilentWithoutABackend) {
    vell::mciDevice player;
    EXPECT_NE(player.open(plat::desktop::MediaSequencer, "/nonexistent.mid"), 0);
    EXPECT_FALSE(player.opened());
    player.play();
    player.close();
}

TEST_F(Presentation, FirstStartPointsTheBaseMessagesAtTheShippedSet) {
    vell::registerInstallation();
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\Message\\Standard", "Path", ""),
              "Message\\Basic.kwp");
    // A path the game master set, or an installation record, is left alone.
    plat::reg::writeValue("Software\\Corvane\\Message\\Standard", "Path", "D:\\Msg");
    vell::registerInstallation();
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\Message\\Standard", "Path", ""), "D:\\Msg");
    plat::reg::deleteKey("Software\\Corvane");
    plat::reg::writeValue("Software\\Dunmoor\\CVVell", "InstPath", "C:\\Vell\\Vell.exe");
    vell::registerInstallation();
    EXPECT_FALSE(plat::reg::valueExists("Software\\Corvane\\Message\\Standard", "Path"));
}
