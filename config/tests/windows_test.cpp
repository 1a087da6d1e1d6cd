// The configuration manager's windows, driven offscreen: the game settings
// dialog, the folder dialog and picker, the message entry dialog and the
// environment dialog with its four pages, each opened on a scratch program
// folder and checked through the conf files, the tree files and the
// settings store they leave behind. Modal windows are answered from a timer;
// the platform's choosers are replaced where a test picks a folder, a file
// or a colour.
#include "base/sjis.h"
#include "config/conffile.h"
#include "config/conftree.h"
#include "config/treefiles.h"
#include "config/ui/desktoppage.h"
#include "config/ui/dialogs.h"
#include "config/ui/envform.h"
#include "config/ui/folderform.h"
#include "config/ui/folderpicker.h"
#include "config/ui/gameform.h"
#include "config/ui/msgform.h"
#include "config/ui/msgpage.h"
#include "config/ui/otherpage.h"
#include "config/ui/selconf.h"
#include "config/ui/treepage.h"
#include "platform/paths.h"
#include "platform/ui/qtsjis.h"

#include "testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <chrono>
#include <cstring>
#include <functional>

using testsupport::readFile;
using testsupport::sj;

namespace {

constexpr char Msg[] = "Software\\Corvane\\Message";
constexpr char Display[] = "Software\\Dunmoor\\CVVell\\Display";

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Acts on the next modal window of type T, from inside the exec() that shows
// it. A window that never comes fails the test and every modal window is
// closed, so that no test hangs.
template <class T> void whenModal(std::function<void(T*)> act) {
    auto* timer = new QTimer(qApp);
    auto start = std::chrono::steady_clock::now();
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, start, act] {
        if (auto* w = dynamic_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(w);
            return;
        }
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(10)) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window of the expected kind";
            while (QWidget* m = QApplication::activeModalWidget()) m->close();
        }
    });
    timer->start(5);
}

template <class T> T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// Hands a drop event to a window as the window system would at the end of a
// drag (the application delivers drop events only while a drag runs).
void deliver(QWidget* w, QDropEvent* drop) {
    static_cast<QObject*>(w)->event(drop);
}

void click(QWidget* w, const char* name) {
    child<QPushButton>(w, name)->click();
}

class WindowsTest : public cnftest::ConfigTest {
protected:
    void SetUp() override {
        ConfigTest::SetUp();
        plat::setProgramFolder(folder());
        plat::setLibraryFolder(folder()); // the libraries a test copies there
        cnf::ui::resetChoosers();
    }
    void TearDown() override {
        cnf::ui::resetChoosers();
        ConfigTest::TearDown();
    }

    // A net holding one conf, and a conf at the root; returns the tree saved.
    void sampleTree() {
        cnf::ConfTree tree(folder());
        ConfNodeRec net{};
        sjis::writeField(net.NodeName, sj("北辰ネット"));
        auto* n = tree.append(nullptr, net, sj("北辰ネット"));
        ConfNodeRec a{};
        a.Kind = 1;
        sjis::writeField(a.NodeName, sj("北辰杯"));
        ASSERT_TRUE(cnf::createConfFile(folder(), a));
        tree.append(n, a, sj("北辰杯"));
        ConfNodeRec b{};
        b.Kind = 1;
        sjis::writeField(b.NodeName, "Solo");
        ASSERT_TRUE(cnf::createConfFile(folder(), b));
        tree.append(nullptr, b, "Solo");
        ASSERT_TRUE(tree.save());
    }
    std::vector<cnf::FlatNode> savedTree() const {
        std::vector<cnf::FlatNode> nodes;
        cnf::readTreeFiles(folder(), nodes, false);
        return nodes;
    }
    void setBasePath() { plat::reg::writeValue(std::string(Msg) + "\\Standard", "Path", "Msg\\"); }
    void copyCore() {
        std::filesystem::copy_file(std::string(VELL_PROGRAM_DIR) + "libcvcore.so", program_ / "libcvcore.so");
    }
    void copyFakeText() { std::filesystem::copy_file(FAKE_VELLTEXT, program_ / "libvelltext.so"); }
    static std::vector<std::string> chosenFolders;
};

std::vector<std::string> WindowsTest::chosenFolders;

// ---- The game settings dialog ---------------------------------------------

TEST_F(WindowsTest, GameDialogShowsTheConfAndFollowsItsEnablingRules) {
    ConfFile conf = cnf::newConf();
    conf.Settings.StatusInterval = 0;
    conf.Settings.AnnouncerIndex = 0;
    conf.Settings.Options[OptAutoProcess] = 0;
    cnf::ui::TFormGame form(nullptr, folder(), conf);
    auto* ano = child<QComboBox>(&form, "ComboBoxAno");
    ASSERT_EQ(ano->count(), 2);
    EXPECT_EQ(ano->currentText(), u("基本アナウンサー"));
    EXPECT_FALSE(child<QCheckBox>(&form, "CheckBoxStatusDisp")->isChecked());
    EXPECT_EQ(child<QSpinBox>(&form, "CSpinEditStatus")->value(), 10);
    EXPECT_FALSE(child<QSpinBox>(&form, "CSpinEditStatus")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>(&form, "EditHeadMatch")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>(&form, "CheckBoxWinner")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>(&form, "CheckBoxWpPoor")->isEnabled());
    EXPECT_FALSE(child<QComboBox>(&form, "ComboBoxWpChk")->isEnabled());

    child<QCheckBox>(&form, "CheckBoxHeadMatch")->setChecked(true);
    EXPECT_TRUE(child<QLineEdit>(&form, "EditHeadMatch")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(&form, "ButtonCheck")->isEnabled());
    child<QCheckBox>(&form, "CheckBoxRepair")->setChecked(true);
    EXPECT_TRUE(child<QCheckBox>(&form, "CheckBoxWinner")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>(&form, "CheckBoxWpPoor")->isEnabled());
    child<QCheckBox>(&form, "CheckBoxWpBuy")->setChecked(true);
    EXPECT_TRUE(child<QCheckBox>(&form, "CheckBoxWpPoor")->isEnabled());
    child<QCheckBox>(&form, "CheckBoxWpChk")->setChecked(true);
    EXPECT_TRUE(child<QPushButton>(&form, "ButtonWpChk")->isEnabled());

    // Boxes count Shift-JIS bytes: 31 for a stadium, 79 for the formula.
    auto* stadium = child<QLineEdit>(&form, "EditStudium");
    QString text = u("あ").repeated(16);
    int pos = 0;
    EXPECT_EQ(stadium->validator()->validate(text, pos), QValidator::Invalid);
    text = u("あ").repeated(15) + "b";
    EXPECT_EQ(stadium->validator()->validate(text, pos), QValidator::Acceptable);
    text = QString(80, 'x');
    EXPECT_EQ(child<QLineEdit>(&form, "EditHeadMatch")->validator()->validate(text, pos),
              QValidator::Invalid);

    child<QLineEdit>(&form, "EditGameName")->setText(u("秋の大会"));
    child<QComboBox>(&form, "ComboBoxGame")->setCurrentIndex(3);
    child<QSpinBox>(&form, "CSpinEditColumn")->setValue(120);
    child<QListWidget>(&form, "CheckListBoxOutOptions")->item(5)->setCheckState(Qt::Checked);
    child<QCheckBox>(&form, "CheckBoxStatusDisp")->setChecked(true);
    child<QSpinBox>(&form, "CSpinEditStatus")->setValue(3);
    click(&form, "ButtonOk");
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(sjis::readField(conf.Header.ConfName), sj("秋の大会"));
    EXPECT_EQ(conf.Header.GameForm, 3);
    EXPECT_EQ(conf.Settings.OutputColumns, 120);
    EXPECT_EQ(conf.Settings.Options[OptHtmlLog], 1);
    EXPECT_EQ(conf.Settings.StatusInterval, 3);
    EXPECT_EQ(conf.Settings.Options[OptRebuyInDebt], 0);
    EXPECT_EQ(conf.Header.CheckWeaponData, 1);
    EXPECT_EQ(plat::reg::readString("Software\\Dunmoor\\CVVell\\Window", "GameWidth", "").empty(), false);
}

TEST_F(WindowsTest, GameDialogKeepsTheBytesOfTextsNobodyEdited) {
    ConfFile conf = cnf::newConf();
    // "≒" in its NEC code (87 90); CP932 maps it back to 81 E0.
    sjis::writeField(conf.Header.ConfName, "\x87\x90"
                                           "A");
    sjis::writeField(conf.Header.ConfMemo, "\x87\x90");
    conf.Settings.RoundCounter = 9;
    conf.Settings.Reserved4637[3] = 7;
    ConfFile original = conf;
    {
        cnf::ui::TFormGame form(nullptr, folder(), conf);
        click(&form, "ButtonOk");
    }
    EXPECT_EQ(std::memcmp(&conf, &original, sizeof conf), 0);
    {
        cnf::ui::TFormGame form(nullptr, folder(), conf);
        child<QLineEdit>(&form, "EditGameMemo")->setText(u("≒B"));
        click(&form, "ButtonCancel");
    }
    EXPECT_EQ(std::memcmp(&conf, &original, sizeof conf), 0);
    {
        cnf::ui::TFormGame form(nullptr, folder(), conf);
        child<QLineEdit>(&form, "EditGameMemo")->setText(u("≒B"));
        click(&form, "ButtonOk");
    }
    EXPECT_EQ(std::string(conf.Header.ConfName, 3), "\x87\x90"
                                                    "A");
    EXPECT_EQ(std::string(conf.Header.ConfMemo, 4), std::string("\x81\xE0"
                                                                "B\0",
                                                                4));
}

TEST_F(WindowsTest, GameEntryEditsTheNodesConfFile) {
    sampleTree();
    auto nodes = savedTree();
    ConfNodeRec rec = nodes[1].rec;
    std::string before = readFile(file(rec.ConfPath));

    // A net is not a conf: no window at all.
    ConfNodeRec net = nodes[0].rec;
    EXPECT_EQ(cnf::ui::configureGameEntry(folder(), &net), 0);

    whenModal<cnf::ui::TFormGame>([](cnf::ui::TFormGame* f) {
        EXPECT_EQ(child<QLineEdit>(f, "EditGameName")->text(), u("北辰杯"));
        child<QLineEdit>(f, "EditGameName")->setText("x");
        click(f, "ButtonCancel");
    });
    EXPECT_EQ(cnf::ui::configureGameEntry(folder(), &rec), 2);
    EXPECT_EQ(readFile(file(rec.ConfPath)), before);

    whenModal<cnf::ui::TFormGame>([](cnf::ui::TFormGame* f) {
        child<QLineEdit>(f, "EditGameName")->setText(u("北辰杯 改"));
        child<QLineEdit>(f, "EditGameMemo")->setText("memo");
        child<QComboBox>(f, "ComboBoxGameType")->setCurrentIndex(3);
        click(f, "ButtonOk");
    });
    EXPECT_EQ(cnf::ui::configureGameEntry(folder(), &rec), 1);
    EXPECT_EQ(sjis::readField(rec.NodeName), sj("北辰杯 改"));
    EXPECT_STREQ(rec.NodeMemo, "memo");
    std::string after = readFile(file(rec.ConfPath));
    ASSERT_EQ(after.size(), 6161u);
    EXPECT_EQ(after[530], 3);
    EXPECT_EQ(after.substr(4795, sj("北辰杯 改").size()), sj("北辰杯 改"));
    EXPECT_EQ(after.substr(4795 + 80, 5), std::string("memo\0", 5));
    // Only the match type, the name and the memo changed.
    for (size_t i = 0; i < after.size(); ++i) {
        if (i == 530 || (i >= 4795 && i < 4795 + 336)) continue;
        ASSERT_EQ(after[i], before[i]) << i;
    }
}

TEST_F(WindowsTest, FormulaCheckRegulationAndDefaultsFromTheDialog) {
    ConfFile conf = cnf::newConf();
    std::strcpy(conf.Settings.StadiumName, "Dome");
    conf.Settings.BerserkAttack = 40;
    conf.Settings.Options[OptInstantBeamReflection] = 1;
    cnf::ui::TFormGame form(nullptr, folder(), conf);
    child<QCheckBox>(&form, "CheckBoxHeadMatch")->setChecked(true);

    click(&form, "ButtonCheck");
    EXPECT_EQ(shown(41003), 1);
    copyCore();
    click(&form, "ButtonCheck");
    EXPECT_EQ(shown(40003), 1);
    EXPECT_GT(std::strlen(conf.Settings.BountyPostfix), 0u);
    child<QLineEdit>(&form, "EditHeadMatch")->setText("(F*2");
    click(&form, "ButtonCheck");
    EXPECT_EQ(shown(40002), 1);

    // The regulation text: the text processor is missing, then there.
    child<QComboBox>(&form, "ComboBoxGameType")->setCurrentIndex(3);
    child<QLineEdit>(&form, "EditStudium")->setText("Arena");
    child<QLineEdit>(&form, "EditMatch")->setText("Org");
    child<QLineEdit>(&form, "EditGameName")->setText("Cup");
    child<QLineEdit>(&form, "EditGameMemo")->setText("Memo");
    click(&form, "ButtonOutput");
    EXPECT_EQ(shown(41005), 1);
    copyFakeText();
    click(&form, "ButtonOutput");
    std::string values = readFile(program_ / "regulation.txt");
    // The boxes as they stand, not the stored record (stadium "Dome").
    EXPECT_NE(values.find("0=Arena\n1=Org\n2=Cup\n3=Memo\n"), std::string::npos) << values;
    EXPECT_NE(values.find("10=" + sj("デスマッチ") + "\n"), std::string::npos);
    EXPECT_NE(values.find("11=" + sj("なし") + "\n"), std::string::npos);

    // "標準に戻す" asks first.
    plat::notify::setHeadlessAnswer(plat::notify::IdCancel);
    click(&form, "ButtonDefault");
    EXPECT_EQ(child<QSpinBox>(&form, "CSpinEditBerserkAttack")->value(), 40);
    plat::notify::setHeadlessAnswer(plat::notify::IdOk);
    click(&form, "ButtonDefault");
    EXPECT_EQ(child<QSpinBox>(&form, "CSpinEditBerserkAttack")->value(), 0);
    auto* cv = child<QListWidget>(&form, "CheckListBoxCv46");
    EXPECT_EQ(cv->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(cv->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(conf.Settings.BerserkAttack, 40); // nothing stored before OK
    click(&form, "ButtonOk");
    EXPECT_EQ(conf.Settings.BerserkAttack, 0);
    EXPECT_EQ(conf.Settings.Options[OptInstantBeamReflection], 0);
}

TEST_F(WindowsTest, FolderBoxesAndTheRecentResultFolders) {
    std::string key = "Software\\Corvane\\Text";
    for (int i = 0; i < 20; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%4.4d", i);
        plat::reg::writeValue(key, name, "R" + std::to_string(i));
    }
    plat::reg::writeValue("Software\\Corvane\\AK", "0000", "AkData\\");
    std::filesystem::create_directories(program_ / "New Results");
    std::string chosen = (program_ / "New Results").string();
    std::vector<std::string> starts;
    cnf::ui::choosers().folder = [&](QWidget*, std::string_view, std::string_view start) {
        starts.emplace_back(start);
        return std::optional<std::string>(chosen);
    };
    ConfFile conf = cnf::newConf();
    std::strcpy(conf.Header.ResultFolder, "R5");
    std::strcpy(conf.Header.AkInputFolder, "Config");
    {
        cnf::ui::TFormGame form(nullptr, folder(), conf);
        auto* result = child<QComboBox>(&form, "ComboBoxTextOut");
        EXPECT_EQ(result->count(), 20);
        EXPECT_EQ(result->currentText(), "R5");
        EXPECT_EQ(child<QComboBox>(&form, "ComboBoxAkOut")->itemText(0), "AkData/");
        click(&form, "ButtonTextOut");
        EXPECT_EQ(result->currentText(), QString::fromStdString(chosen));
        EXPECT_EQ(result->itemText(0), QString::fromStdString(chosen));
        EXPECT_EQ(result->count(), 20);
        click(&form, "ButtonAkDir");
        EXPECT_EQ(child<QComboBox>(&form, "ComboBoxAkDir")->currentText(), QString::fromStdString(chosen));
        EXPECT_EQ(child<QComboBox>(&form, "ComboBoxAkDir")->itemText(0), "AkData/");
        click(&form, "ButtonCancel");
    }
    // The picker started at the box's folder under the program folder.
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1], folder() + "Config");
    // Cancel stores nothing in the conf, but the result history is kept.
    EXPECT_STREQ(conf.Header.ResultFolder, "R5");
    EXPECT_EQ(plat::reg::readString(key, "0000", ""), chosen);
    EXPECT_EQ(plat::reg::readString(key, "0001", ""), "R0");
    EXPECT_EQ(plat::reg::readString(key, "0019", ""), "R18");

    // A folder the conf's field cannot hold whole is refused.
    chosen = "/" + std::string(300, 'x');
    cnf::ui::TFormGame form(nullptr, folder(), conf);
    click(&form, "ButtonAkOut");
    EXPECT_EQ(child<QComboBox>(&form, "ComboBoxAkOut")->currentText(), "");
}

// The folder boxes show '/' only, a trail byte 5C of 表 or ソ kept, whether
// a path was stored relative with '\\' or chosen; OK without edits writes
// back the stored bytes, the result history's included.
TEST_F(WindowsTest, FolderBoxesShowSlashesAndStoreWhatTheyWereGiven) {
    plat::reg::writeValue("Software\\Corvane\\AK", "0000", "AkData\\");
    plat::reg::writeValue("Software\\Corvane\\Text", "0000", "Result\\Old\\");
    cnf::ui::choosers().folder = [](QWidget*, std::string_view, std::string_view) {
        return std::optional<std::string>("/home/gm/manyak");
    };
    ConfFile conf = cnf::newConf();
    std::strcpy(conf.Header.AkInputFolder, "AkData\\");
    sjis::writeField(conf.Header.AkOutputFolder, sj("AkOut\\表\\000001\\"));
    sjis::writeField(conf.Header.ResultFolder, sj("Result\\ソ\\"));
    std::strcpy(conf.Header.WeaponDataFolder, "WpData\\");
    const ConfFile original = conf;
    {
        cnf::ui::TFormGame form(nullptr, folder(), conf);
        EXPECT_EQ(child<QComboBox>(&form, "ComboBoxAkDir")->currentText(), "AkData/");
        EXPECT_EQ(child<QComboBox>(&form, "ComboBoxAkOut")->currentText(), u("AkOut/表/000001/"));
        EXPECT_EQ(child<QComboBox>(&form, "ComboBoxTextOut")->currentText(), u("Result/ソ/"));
        EXPECT_EQ(child<QComboBox>(&form, "ComboBoxTextOut")->itemText(0), "Result/Old/");
        EXPECT_EQ(child<QComboBox>(&form, "ComboBoxWpChk")->currentText(), "WpData/");
        EXPECT_EQ(child<QComboBox>(&form, "ComboBoxAkOut")->itemText(0), "AkData/");
        click(&form, "ButtonOk");
    }
    EXPECT_EQ(std::memcmp(&conf, &original, sizeof conf), 0);
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\Text", "0000", ""), "Result\\Old\\");
    {
        // A history item chosen from the list gives its stored bytes; a
        // chosen folder shows beside the stored ones in the same form.
        cnf::ui::TFormGame form(nullptr, folder(), conf);
        child<QComboBox>(&form, "ComboBoxTextOut")->setCurrentIndex(0);
        click(&form, "ButtonAkDir");
        EXPECT_EQ(child<QComboBox>(&form, "ComboBoxAkDir")->currentText(), "/home/gm/manyak");
        EXPECT_EQ(child<QComboBox>(&form, "ComboBoxAkOut")->currentText(), u("AkOut/表/000001/"));
        click(&form, "ButtonOk");
    }
    EXPECT_STREQ(conf.Header.AkInputFolder, "/home/gm/manyak");
    EXPECT_STREQ(conf.Header.ResultFolder, "Result\\Old\\");
    EXPECT_EQ(sjis::readField(conf.Header.AkOutputFolder), sj("AkOut\\表\\000001\\"));

    // The environment dialog's base message path and the paths of its list.
    plat::reg::writeValue(std::string(Msg) + "\\Standard", "Path", "Message\\Basic.kwp");
    cnf::ui::TFormConf env(nullptr, folder());
    auto* page = env.messagePage();
    cnf::MsgEntryTexts ana;
    ana.id = "Ana01";
    ana.path = "Message\\Ana01.kwp";
    env.tables().add(cnf::MsgKind::Announcer, ana);
    page->showKind(cnf::MsgKind::Announcer);
    EXPECT_EQ(page->basePathBox()->text(), "Message/Basic.kwp");
    EXPECT_EQ(page->list()->topLevelItem(0)->text(2), "Message/Ana01.kwp");
    page->list()->setCurrentItem(page->list()->topLevelItem(0));
    whenModal<cnf::ui::TFormMsg>([](cnf::ui::TFormMsg* f) {
        EXPECT_EQ(child<QLineEdit>(f, "EditPath")->text(), "Message/Ana01.kwp");
        click(f, "ButtonOk");
    });
    page->ButtonPropertyClick();
    EXPECT_EQ(env.tables().entries(cnf::MsgKind::Announcer)[0].path, "Message\\Ana01.kwp");
    EXPECT_TRUE(env.ButtonApplyClick());
    EXPECT_EQ(plat::reg::readString(std::string(Msg) + "\\Standard", "Path", ""), "Message\\Basic.kwp");
}

// ---- The folder dialog and the folder picker ------------------------------

TEST_F(WindowsTest, FolderDialogFillsTheBuffer) {
    std::filesystem::create_directories(program_ / "Logs");
    std::vector<std::string> starts;
    cnf::ui::choosers().folder = [&](QWidget*, std::string_view, std::string_view start) {
        starts.emplace_back(start);
        return std::optional<std::string>("/srv/results");
    };
    ConfNodeRec conf{};
    conf.Kind = 1;
    ConfNodeRec net{};
    ConfHeader folders{};
    std::memset(&folders, 0x22, sizeof folders);
    EXPECT_EQ(cnf::ui::configureFolderEntry(folder(), &conf, &folders), 0);

    whenModal<cnf::ui::TFormFolder>([](cnf::ui::TFormFolder* f) {
        EXPECT_EQ(f->edit(0)->text(), u("変更無し"));
        f->edit(1)->setText("Logs");
        f->FolderButtonClick(1); // an existing folder: the picker starts there
        f->FolderButtonClick(0); // "変更無し" names none
        f->edit(3)->setText("Logs");
        click(f, "ButtonOk");
    });
    EXPECT_EQ(cnf::ui::configureFolderEntry(folder(), &net, &folders), 1);
    EXPECT_EQ(starts, (std::vector<std::string>{folder() + "Logs", ""}));
    EXPECT_STREQ(folders.AkInputFolder, "/srv/results");
    EXPECT_STREQ(folders.AkOutputFolder, "/srv/results");
    EXPECT_EQ(sjis::readField(folders.ResultFolder), sj("変更無し"));
    EXPECT_STREQ(folders.WeaponDataFolder, "Logs");
    EXPECT_EQ(folders.ConfName[0], 0x22); // the rest untouched
    EXPECT_EQ(folders.GameForm, 0x22);

    whenModal<cnf::ui::TFormFolder>([](cnf::ui::TFormFolder* f) { click(f, "ButtonCancel"); });
    ConfHeader untouched = folders;
    EXPECT_EQ(cnf::ui::configureFolderEntry(folder(), &net, &folders), 2);
    EXPECT_EQ(std::memcmp(&folders, &untouched, sizeof folders), 0);
}

TEST_F(WindowsTest, FolderPickerOpensAtALongStartFolder) {
    std::filesystem::create_directories(program_ / "Pick");
    std::string start = (program_ / "Pick").string();
    whenModal<QFileDialog>([start](QFileDialog* d) {
        EXPECT_EQ(d->directory().absolutePath(), QString::fromStdString(start));
        EXPECT_EQ(d->windowTitle(), u("ＡＫの入力元を設定して下さい"));
        static_cast<QDialog*>(d)->accept();
    });
    char path[cnf::ui::FolderPathSize] = {};
    std::strcpy(path, start.c_str());
    EXPECT_TRUE(cnf::ui::pickFolder(nullptr, sj("ＡＫの入力元を設定して下さい"), path));
    EXPECT_EQ(std::string(path), start);

    whenModal<QFileDialog>([](QFileDialog* d) { static_cast<QDialog*>(d)->reject(); });
    std::strcpy(path, "C:\\");
    EXPECT_FALSE(cnf::ui::pickFolder(nullptr, "t", path));
    EXPECT_STREQ(path, "C:\\");
}

// ---- The message entry dialog ----------------------------------------------

TEST_F(WindowsTest, MessageEntryDialogModesDropsAndPaths) {
    cnf::MsgEntryTexts pilot;
    {
        cnf::ui::TFormMsg form(nullptr, folder(), cnf::MsgKind::Pilot, pilot);
        EXPECT_EQ(form.windowTitle(), u("拡張メッセージを追加します"));
        // A .MSG file names its folder and leaves the name alone.
        form.dropPaths({"/msgs/pilots/hero.MSG"});
        EXPECT_EQ(child<QLineEdit>(&form, "EditPath")->text(), "/msgs/pilots/");
        EXPECT_TRUE(child<QLineEdit>(&form, "EditName")->text().isEmpty());
        // An archive also names an unnamed entry and its first trigger; a real
        // drop event brings it.
        QMimeData mime;
        mime.setUrls(
            {QUrl::fromLocalFile(QString::fromUtf8("/msgs/疾風.kwp")), QUrl::fromLocalFile("/x.kwp")});
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        deliver(&form, &drop);
        EXPECT_EQ(child<QLineEdit>(&form, "EditPath")->text(), u("/msgs/疾風.kwp"));
        EXPECT_EQ(child<QLineEdit>(&form, "EditName")->text(), u("疾風"));
        EXPECT_EQ(child<QLineEdit>(&form, "EditTrigger1")->text(), u("疾風"));
        form.dropPaths({"/other/Gale.kwp"}); // the name is taken already
        EXPECT_EQ(child<QLineEdit>(&form, "EditName")->text(), u("疾風"));
        // A path the entry cannot hold whole is refused.
        form.dropPaths({"/" + std::string(90, 'p') + ".kwp"});
        EXPECT_EQ(child<QLineEdit>(&form, "EditPath")->text(), "/other/Gale.kwp");
        child<QLineEdit>(&form, "EditWord2")->setText(u("僕"));
        click(&form, "ButtonOk");
    }
    EXPECT_EQ(pilot.id, sj("疾風"));
    EXPECT_EQ(pilot.triggers[0], sj("疾風"));
    EXPECT_EQ(pilot.path, "/other/Gale.kwp");
    EXPECT_EQ(pilot.words[1], sj("僕"));

    cnf::MsgEntryTexts ann;
    ann.id = "Mike";
    ann.triggers[0] = sj("実況");
    cnf::ui::choosers().openFile = [](QWidget*, std::string_view title, std::string_view filter,
                                      std::string_view start) {
        EXPECT_EQ(title, sj("メッセージのファイル／ディレクトリを指定してください"));
        EXPECT_NE(filter.find("*.kwp;*.msg"), std::string_view::npos);
        EXPECT_EQ(start, "");
        return std::optional<std::string>("/ann/Basic.msg");
    };
    {
        cnf::ui::TFormMsg form(nullptr, folder(), cnf::MsgKind::Announcer, ann);
        EXPECT_EQ(child<QGroupBox>(&form, "GroupTrigger")->title(), u("アナウンサー名"));
        EXPECT_TRUE(child<QLineEdit>(&form, "EditTrigger2")->isHidden());
        EXPECT_TRUE(child<QGroupBox>(&form, "GroupWords")->isHidden());
        EXPECT_EQ(child<QLineEdit>(&form, "EditTrigger1")->text(), u("実況"));
        click(&form, "ButtonPath");
        child<QLineEdit>(&form, "EditTrigger1")->setText(u("解説"));
        click(&form, "ButtonOk");
    }
    EXPECT_EQ(ann.triggers[0], sj("解説"));
    EXPECT_EQ(ann.path, "/ann/");
    EXPECT_EQ(ann.id, "Mike");

    cnf::MsgEntryTexts computer;
    cnf::ui::TFormMsg form(nullptr, folder(), cnf::MsgKind::Computer, computer);
    EXPECT_EQ(child<QGroupBox>(&form, "GroupWords")->title(), u("マスター呼称"));
    QString name(32, 'n');
    int pos = 0;
    EXPECT_EQ(child<QLineEdit>(&form, "EditName")->validator()->validate(name, pos), QValidator::Invalid);
}

// ---- The environment dialog ------------------------------------------------

TEST_F(WindowsTest, EnvironmentDialogOpensWhereTheWorkIs) {
    sampleTree();
    {
        cnf::ui::TFormConf form(nullptr, folder());
        EXPECT_EQ(form.windowTitle(), u("CV Vell 設定"));
        EXPECT_EQ(shown(40005), 1); // no base message path yet
        EXPECT_EQ(form.pages()->currentWidget(), form.messagePage());
        EXPECT_FALSE(form.applyButton()->isEnabled());
        EXPECT_TRUE(form.treePage()->view()->isExpanded(form.treePage()->model()->index(0, 0)));
    }
    setBasePath();
    plat::notify::clearRecorded();
    cnf::ui::TFormConf form(nullptr, folder());
    EXPECT_EQ(boxes(), 0);
    EXPECT_EQ(form.pages()->currentWidget(), form.treePage());
    EXPECT_EQ(form.messagePage()->basePathBox()->text(), "Msg/");
}

TEST_F(WindowsTest, EnvironmentEntryAnswersOkAndCancel) {
    sampleTree();
    setBasePath();
    whenModal<cnf::ui::TFormConf>([](cnf::ui::TFormConf* f) { click(f, "ButtonCancel"); });
    EXPECT_EQ(cnf::ui::configureEnvEntry(), 2);
    // Closing the window is a cancel too: a conf made meanwhile loses its file.
    auto before = confFiles();
    whenModal<cnf::ui::TFormConf>([](cnf::ui::TFormConf* f) {
        f->tree().addNew(nullptr, cnf::ConfTree::NewKind::Conf);
        f->close();
    });
    EXPECT_EQ(cnf::ui::configureEnvEntry(), 2);
    EXPECT_EQ(confFiles(), before);
    whenModal<cnf::ui::TFormConf>([](cnf::ui::TFormConf* f) { click(f, "ButtonOk"); });
    EXPECT_EQ(cnf::ui::configureEnvEntry(), 1);
    EXPECT_FALSE(plat::reg::readString("Software\\Dunmoor\\CVVell\\Window", "ConfTop", "").empty());
}

// Apply commits only what was saved: a settings store that cannot be
// written is reported and keeps Apply available and the dialog open.
TEST_F(WindowsTest, ApplyThatCannotSaveTheSettingsStoreIsNoCommit) {
    sampleTree();
    setBasePath();
    cnf::ui::TFormConf form(nullptr, folder());
    form.messagePage()->basePathBox()->setText("Other\\");
    std::string store = plat::reg::storePath();
    testsupport::writeFile(dir_.path() / "plain", "x");
    plat::reg::setStorePath((dir_.path() / "plain" / "registry.reg").string());
    plat::notify::clearRecorded();
    EXPECT_FALSE(form.ButtonApplyClick());
    EXPECT_EQ(shown(sj("環境情報をファイル(") + (dir_.path() / "plain" / "registry.reg").string() +
                    sj(")に保存できません")),
              1);
    EXPECT_EQ(boxes(), 1);
    EXPECT_TRUE(form.applyButton()->isEnabled());
    click(&form, "ButtonOk");
    EXPECT_EQ(form.result(), 0); // still open

    plat::reg::setStorePath(store);
    EXPECT_TRUE(form.ButtonApplyClick());
    EXPECT_FALSE(form.applyButton()->isEnabled());
    EXPECT_EQ(plat::reg::readString(std::string(Msg) + "\\Standard", "Path", ""), "Other\\");
}

// Tree files that cannot be written stop Apply at once: one box naming the file,
// and neither the message table nor the desktop settings are saved.
TEST_F(WindowsTest, ApplyStopsWhenTheTreeFilesCannotBeSaved) {
    sampleTree();
    setBasePath();
    cnf::ui::TFormConf form(nullptr, folder());
    form.messagePage()->basePathBox()->setText("Other\\");
    // A folder where the tree's text file goes: no file can take its place.
    std::filesystem::path treeText = config() / "VlTreeVw.Cf";
    std::filesystem::remove(treeText);
    std::filesystem::create_directories(treeText / "x");
    plat::notify::clearRecorded();
    EXPECT_FALSE(form.ButtonApplyClick());
    EXPECT_EQ(shown(sj("試合設定の一覧をファイル(") + folder() + sj("Config/VlTreeVw.Cf)に保存できません")),
              1);
    EXPECT_EQ(boxes(), 1);
    EXPECT_EQ(plat::reg::readString(std::string(Msg) + "\\Standard", "Path", ""), "Msg\\");
    EXPECT_FALSE(plat::reg::keyExists("Software\\Dunmoor\\CVVell\\Display"));

    std::filesystem::remove_all(treeText);
    EXPECT_TRUE(form.ButtonApplyClick());
    EXPECT_EQ(plat::reg::readString(std::string(Msg) + "\\Standard", "Path", ""), "Other\\");
    EXPECT_TRUE(plat::reg::keyExists("Software\\Dunmoor\\CVVell\\Display"));
}

TEST_F(WindowsTest, TreePageNewCopyDeleteWithApplyAndCancel) {
    sampleTree();
    setBasePath();
    std::string cf = readFile(config() / "VlTreeVw.Cf");
    std::string dt = readFile(config() / "VlTreeVw.Dt");
    auto before = confFiles();
    {
        cnf::ui::TFormConf form(nullptr, folder());
        auto* page = form.treePage();
        EXPECT_FALSE(child<QPushButton>(page, "ButtonCopy")->isEnabled());
        page->select(form.tree().roots()[0].get()); // the net
        EXPECT_TRUE(child<QPushButton>(page, "ButtonCopy")->isEnabled());
        whenModal<cnf::ui::TFormSelect>([](cnf::ui::TFormSelect* s) { click(s, "ButtonOk"); });
        page->ButtonNewClick();
        EXPECT_TRUE(form.applyButton()->isEnabled());
        auto* net = form.tree().roots()[0].get();
        ASSERT_EQ(net->children.size(), 2u);
        EXPECT_EQ(net->children[1]->caption, sj("大会名"));
        whenModal<cnf::ui::TFormSelect>([](cnf::ui::TFormSelect* s) {
            s->choose(cnf::ConfTree::NewKind::Net);
            click(s, "ButtonOk");
        });
        page->ButtonNewClick(); // a conf is selected now: a sibling
        ASSERT_EQ(net->children.size(), 3u);
        EXPECT_EQ(net->children[2]->caption, sj("ネット名"));
        EXPECT_EQ(confFiles().size(), before.size() + 1);
        click(&form, "ButtonCancel");
    }
    // Cancel: the new conf's file is gone and the tree files are as they were.
    EXPECT_EQ(confFiles(), before);
    EXPECT_EQ(readFile(config() / "VlTreeVw.Cf"), cf);
    EXPECT_EQ(readFile(config() / "VlTreeVw.Dt"), dt);

    {
        cnf::ui::TFormConf form(nullptr, folder());
        auto* page = form.treePage();
        cnf::ConfNode* solo = form.tree().roots()[1].get();
        page->select(solo);
        page->ButtonCopyClick();
        ASSERT_EQ(form.tree().roots().size(), 3u);
        cnf::ConfNode* copy = form.tree().roots()[2].get();
        EXPECT_EQ(copy->caption, "Solo" + sj(" のコピー"));
        EXPECT_EQ(readFile(file(copy->rec.ConfPath)), readFile(file(solo->rec.ConfPath)));
        std::string soloPath = solo->rec.ConfPath;
        page->select(solo);
        page->ButtonDeleteClick(); // the headless box answers OK
        EXPECT_EQ(shown(plat::msg::format(40001, {"Solo"})), 1);
        EXPECT_TRUE(std::filesystem::exists(file(soloPath))); // until the commit
        EXPECT_TRUE(form.ButtonApplyClick());
        EXPECT_FALSE(form.applyButton()->isEnabled());
        EXPECT_FALSE(std::filesystem::exists(file(soloPath)));
        auto saved = savedTree();
        ASSERT_EQ(saved.size(), 3u);
        EXPECT_EQ(saved[2].caption, "Solo" + sj(" のコピー"));
        // A net with children is refused.
        page->select(form.tree().roots()[0].get());
        page->ButtonDeleteClick();
        EXPECT_EQ(shown(41001), 1);
        click(&form, "ButtonCancel"); // the applied copy stays
    }
    EXPECT_EQ(savedTree().size(), 3u);
    EXPECT_EQ(confFiles().size(), before.size());
}

TEST_F(WindowsTest, TreePagePropertyCaptionsAndDrops) {
    sampleTree();
    setBasePath();
    cnf::ui::TFormConf form(nullptr, folder());
    form.show();
    QApplication::processEvents();
    auto* page = form.treePage();
    cnf::ConfNode* net = form.tree().roots()[0].get();
    cnf::ConfNode* cup = net->children[0].get();
    cnf::ConfNode* solo = form.tree().roots()[1].get();

    // Property on a conf: the game settings dialog, the file and the caption.
    page->select(cup);
    whenModal<cnf::ui::TFormGame>([](cnf::ui::TFormGame* f) {
        child<QLineEdit>(f, "EditGameName")->setText("Cup");
        click(f, "ButtonOk");
    });
    page->ButtonPropertyClick();
    EXPECT_EQ(cup->caption, "Cup");
    EXPECT_EQ(readFile(file(cup->rec.ConfPath)).substr(4795, 4), std::string("Cup\0", 4));
    EXPECT_TRUE(form.applyButton()->isEnabled());

    // Property on a net: the folder dialog, applied to the confs below it.
    std::filesystem::create_directories(program_ / "Out");
    page->select(net);
    whenModal<cnf::ui::TFormFolder>([](cnf::ui::TFormFolder* f) {
        f->edit(2)->setText("Out\\");
        click(f, "ButtonOk");
    });
    page->ButtonPropertyClick();
    EXPECT_EQ(readFile(file(cup->rec.ConfPath)).substr(5643, 5), std::string("Out\\\0", 5));
    EXPECT_EQ(readFile(file(solo->rec.ConfPath)).substr(5643, 1), std::string("\0", 1));

    // A caption edited in place, cut to the name field.
    auto* model = page->model();
    ASSERT_TRUE(model->setData(model->indexOf(solo), u("あ").repeated(42) + "B", Qt::EditRole));
    EXPECT_EQ(solo->caption.size(), 78u);
    EXPECT_EQ(sjis::readField(solo->rec.NodeName), solo->caption);

    // Drops: on an item, on the indent left of it, and below the last item.
    auto* view = page->view();
    QRect netRect = view->visualRect(model->indexOf(net));
    ASSERT_TRUE(view->dropAt(solo, netRect.center())); // onto a net: its last child
    ASSERT_EQ(net->children.size(), 2u);
    EXPECT_EQ(net->children[1].get(), solo);
    QRect cupRect = view->visualRect(model->indexOf(cup));
    ASSERT_TRUE(view->dropAt(solo, QPoint(cupRect.left() - 3, cupRect.center().y()))); // before the cup
    EXPECT_EQ(net->children[0].get(), solo);
    ASSERT_TRUE(view->dropAt(solo, QPoint(5, view->viewport()->height() - 2))); // below everything
    EXPECT_EQ(form.tree().roots().back().get(), solo);
    EXPECT_FALSE(view->dropAt(net, view->visualRect(model->indexOf(cup)).center())); // into itself

    EXPECT_TRUE(form.ButtonApplyClick());
    auto saved = savedTree();
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[1].caption, "Cup");
    EXPECT_EQ(saved[2].depth, 0);
    EXPECT_EQ(saved[2].caption, solo->caption);
    form.close();
}

TEST_F(WindowsTest, MessagePageEditsTheTablesUntilApplied) {
    setBasePath();
    cnf::ui::TFormConf form(nullptr, folder());
    auto* page = form.messagePage();
    form.pages()->setCurrentWidget(page);
    auto* list = page->list();

    whenModal<cnf::ui::TFormMsg>([](cnf::ui::TFormMsg* f) {
        child<QLineEdit>(f, "EditName")->setText("Ace");
        child<QLineEdit>(f, "EditTrigger1")->setText("ace");
        click(f, "ButtonOk");
    });
    page->ButtonNewClick();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Ace");
    EXPECT_EQ(list->columnCount(), 10);
    EXPECT_TRUE(form.applyButton()->isEnabled());

    // An entry dialog left without a name adds nothing.
    whenModal<cnf::ui::TFormMsg>([](cnf::ui::TFormMsg* f) { click(f, "ButtonOk"); });
    page->ButtonNewClick();
    EXPECT_EQ(list->topLevelItemCount(), 1);

    // Another tab and back: the unsaved pilot is still there.
    page->showKind(cnf::MsgKind::Announcer);
    EXPECT_EQ(list->columnCount(), 3);
    EXPECT_EQ(list->topLevelItemCount(), 0);
    page->showKind(cnf::MsgKind::Pilot);
    ASSERT_EQ(list->topLevelItemCount(), 1);

    // Files dropped on the dialog: taken on the message page only.
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/m/Gale.kwp"), QUrl::fromLocalFile("/m/readme.txt")});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    deliver(&form, &drop);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(5), "/m/Gale.kwp");
    form.pages()->setCurrentWidget(form.treePage());
    mime.setUrls({QUrl::fromLocalFile("/m/Other.kwp")});
    QDropEvent ignored(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    deliver(&form, &ignored);
    EXPECT_EQ(form.tables().count(cnf::MsgKind::Pilot), 2);

    // Property and delete.
    list->setCurrentItem(list->topLevelItem(0));
    whenModal<cnf::ui::TFormMsg>([](cnf::ui::TFormMsg* f) {
        EXPECT_EQ(child<QLineEdit>(f, "EditTrigger1")->text(), "ace");
        child<QLineEdit>(f, "EditWord1")->setText("I");
        click(f, "ButtonOk");
    });
    page->ButtonPropertyClick();
    EXPECT_EQ(list->topLevelItem(0)->text(6), "I");

    // The message-table text goes to the text processor as the dialog has it.
    page->ButtonListClick();
    EXPECT_EQ(shown(41005), 1);
    copyFakeText();
    page->ButtonListClick();
    EXPECT_EQ(readFile(program_ / "msgtable.txt"), "A0 P2 C0 Gale\n");

    list->setCurrentItem(list->topLevelItem(1));
    page->ButtonDeleteClick();
    page->basePathBox()->setText("Base/basic.msg");
    EXPECT_EQ(plat::reg::readInteger(std::string(Msg) + "\\Pilot", "Count", -1), -1); // nothing yet
    EXPECT_TRUE(form.ButtonApplyClick());
    std::string key = Msg;
    EXPECT_EQ(plat::reg::readInteger(key + "\\Pilot", "Count", -1), 1);
    EXPECT_EQ(plat::reg::readString(key + "\\Pilot\\Id", "0000", ""), "Ace");
    EXPECT_EQ(plat::reg::readString(key + "\\Pilot\\MySelf\\0001", "0000", ""), "I");
    EXPECT_EQ(plat::reg::readString(key + "\\Standard", "Path", ""), "Base/");
    EXPECT_EQ(page->basePathBox()->text(), "Base/");

    // A full table refuses New before asking anything.
    while (!form.tables().full(cnf::MsgKind::Pilot)) {
        cnf::MsgEntryTexts e;
        e.id = "p" + std::to_string(form.tables().count(cnf::MsgKind::Pilot));
        form.tables().add(cnf::MsgKind::Pilot, e);
    }
    plat::notify::clearRecorded();
    page->ButtonNewClick();
    EXPECT_EQ(shown(41002), 1);
}

TEST_F(WindowsTest, MessagePageImportsTheOlderProgramsSettings) {
    setBasePath();
    testsupport::writeFile(program_ / "cvh.ini", "[DIR]\r\nMSGROOT=/cvh/\r\n[DOLLERTRIGER]\r\n0=Taro\r\n"
                                                 "[DOLLERDIR]\r\n0=taro.kwp\r\n");
    cnf::ui::TFormConf form(nullptr, folder());
    cnf::ui::choosers().openFile = [this](QWidget*, std::string_view title, std::string_view filter,
                                          std::string_view start) {
        EXPECT_EQ(title, sj("CVH の設定ファイルを指定してください"));
        EXPECT_EQ(filter, "CVH.INI " + sj("ファイル") + "(*.ini)|*.ini");
        EXPECT_EQ(start, "cvh.ini");
        return std::optional<std::string>((program_ / "cvh.ini").string());
    };
    form.messagePage()->ButtonImportClick();
    EXPECT_EQ(shown(40013), 1);
    ASSERT_EQ(form.messagePage()->list()->topLevelItemCount(), 1);
    EXPECT_EQ(form.messagePage()->list()->topLevelItem(0)->text(5), "/cvh/taro.kwp");
    EXPECT_TRUE(form.applyButton()->isEnabled());
}

TEST_F(WindowsTest, DesktopAndWordPagesWriteBackWhatTheyRead) {
    setBasePath();
    plat::reg::writeValue(Display, "Color03", "0x80000005");
    plat::reg::writeValue(Display, "Color12", "0x00123456");
    plat::reg::writeValue(Display, "FontSize", "33");
    {
        cnf::ui::TFormConf form(nullptr, folder());
        EXPECT_TRUE(form.ButtonApplyClick());
    }
    // Untouched: every colour as read, the font name kept even where this
    // machine lacks it; a size outside the list becomes the first size.
    EXPECT_EQ(plat::reg::readString(Display, "Color03", ""), "0x80000005");
    EXPECT_EQ(plat::reg::readString(Display, "Color08", ""), "0x80000008");
    EXPECT_EQ(plat::reg::readString(Display, "Color12", ""), "0x00123456");
    EXPECT_EQ(plat::reg::readString(Display, "Color07", ""), "0x00a00000");
    EXPECT_EQ(plat::reg::readString(Display, "FontName", ""), sj("ＭＳ ゴシック"));
    EXPECT_EQ(plat::reg::readString(Display, "FontSize", ""), "9");
    EXPECT_EQ(plat::reg::readString("Software\\Dunmoor\\CVVell", "ThemeFile", ""), "default.ini");
    EXPECT_EQ(plat::reg::readString(Display, "DispSplash", ""), "1");

    cnf::ui::choosers().color = [](QWidget*, const QColor&) {
        return std::optional<QColor>(QColor(1, 2, 3));
    };
    cnf::ui::choosers().openFile = [this](QWidget*, std::string_view, std::string_view, std::string_view) {
        return std::optional<std::string>(folder() + "Themes/dark.ini");
    };
    {
        cnf::ui::TFormConf form(nullptr, folder());
        auto* desktop = form.desktopPage();
        EXPECT_FALSE(child<QPushButton>(desktop, "ButtonColor")->isEnabled());
        desktop->colorList()->setCurrentRow(3);
        desktop->ButtonColorClick();
        desktop->colorList()->setCurrentRow(7); // the background
        desktop->ButtonColorClick();
        desktop->ButtonThemeClick();
        child<QComboBox>(desktop, "ComboBoxFontSize")->setCurrentIndex(3);
        child<QCheckBox>(desktop, "CheckBoxSplash")->setChecked(false);

        // The word grid: cell (column 2, row 1) is word 7.
        auto* other = form.otherPage();
        EXPECT_EQ(other->grid()->item(0, 1)->text(), u("娘"));
        other->grid()->item(1, 2)->setText(u("嫁さん"));
        other->tabs()->setCurrentIndex(1); // stored on leaving the tab
        EXPECT_EQ(other->grid()->item(0, 0)->text(), u("マスター"));
        other->grid()->item(0, 4)->setText("Boss");
        other->emblem(0)->setText(u("◆"));
        EXPECT_TRUE(form.applyButton()->isEnabled());
        click(&form, "ButtonOk");
    }
    EXPECT_EQ(plat::reg::readString(Display, "Color03", ""), "0x00030201");
    EXPECT_EQ(plat::reg::readString(Display, "Color07", ""), "0x00030201");
    EXPECT_EQ(plat::reg::readString(Display, "Color04", ""), "0x00c08000");
    EXPECT_EQ(plat::reg::readString(Display, "FontSize", ""), "12");
    EXPECT_EQ(plat::reg::readString(Display, "DispSplash", ""), "0");
    EXPECT_EQ(plat::reg::readString("Software\\Dunmoor\\CVVell", "ThemeFile", ""), "dark.ini");
    std::string key = Msg;
    EXPECT_EQ(plat::reg::readString(key + "\\Standard\\Female", "0007", ""), sj("嫁さん"));
    EXPECT_EQ(plat::reg::readString(key + "\\Standard\\Female", "0001", ""), sj("娘"));
    EXPECT_EQ(plat::reg::readString(key + "\\Standard\\Master", "0004", ""), "Boss");
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\Default", "Emblem1", ""), sj("◆"));

    EXPECT_EQ(cnf::ui::themeName(folder(), folder() + "Themes/x.ini"), "x.ini");
    EXPECT_EQ(cnf::ui::themeName(folder(), folder() + "Themes/sub/x.ini"), "Themes/sub/x.ini");
    EXPECT_EQ(cnf::ui::themeName(folder(), "/elsewhere/x.ini"), "/elsewhere/x.ini");
}

} // namespace
