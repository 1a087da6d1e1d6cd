// libvellcmn.so loaded by name from the program folder, the way a plug-in's
// host finds it: every export present, the rows, the entry list, the check
// with its dialog, the version text, the detail window's life through its
// three calls, and the Shift-JIS helpers.
#include "cmntest.h"

#include "base/sjis.h"
#include "common/vellcmn.h"
#include "platform/loader.h"
#include "platform/paths.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstring>
#include <vector>

namespace {

using cmntest::CmnTest;
using testsupport::sj;

class Exports : public CmnTest {
protected:
    void SetUp() override {
        CmnTest::SetUp();
        ASSERT_TRUE(lib_.load(cmntest::programDir(), "vellcmn.dll",
                              {"cmnMakeDigest2", "cmnMakeDigest3", "OutputEntryList", "cmnCheckAkData",
                               "cmnGetFileVersion", "cmnEnableDetail", "cmnDetailSetAk", "cmnDisableDetail",
                               "ConvHan2Zen", "ConvZen2Han", "CutString", "strTrimRight"}))
            << lib_.error();
        ASSERT_TRUE(core_.load(cmntest::programDir(), "cvcore.dll", {"SetEnvironment"})) << core_.error();
    }
    template <class F> F* fn(const char* name) { return lib_.function<F*>(name); }

    plat::Library lib_;
    plat::Library core_;
};

TEST_F(Exports, RowsAndEntryList) {
    auto digest2 = fn<decltype(cmnMakeDigest2)>("cmnMakeDigest2");
    auto digest3 = fn<decltype(cmnMakeDigest3)>("cmnMakeDigest3");
    const std::string folder = cmntest::sampleFolder();
    EntryRecord row{};
    EXPECT_EQ(digest2(folder.c_str(), "ak08.dat", &row), 0);
    EXPECT_EQ(sjis::readField(row.OwnerName), sj("山本剛(山本重機)"));
    EXPECT_EQ(digest2(folder.c_str(), "missing.dat", &row), -1);
    EXPECT_EQ(digest2(nullptr, "ak08.dat", &row), -1);
    RoyalEntryRecord royal{};
    EXPECT_EQ(digest3(folder.c_str(), "ak08.dat", &royal), 0);
    EXPECT_EQ(sjis::readField(royal.Entry.OwnerName), sj("山本剛"));
    royal.PresetPosition = 1;
    EXPECT_EQ(digest3(folder.c_str(), "missing.dat", &royal), -1);
    EXPECT_EQ(+royal.PresetPosition, 0);

    // The entry list formats with the settings the game processor keeps.
    auto setEnvironment = core_.function<int32_t (*)(GameSettings*)>("SetEnvironment");
    auto output = fn<decltype(OutputEntryList)>("OutputEntryList");
    GameSettings settings{};
    settings.OutputColumns = 76;
    ASSERT_EQ(setEnvironment(&settings), 0);
    std::vector<char> buffer(412 * 150 + 8, '\0');
    auto* messages = reinterpret_cast<cv::GameMessageBuffer*>(buffer.data());
    const std::string one = cmntest::samplePath(7), two = cmntest::samplePath(2);
    const char* files[] = {one.c_str(), two.c_str(), nullptr};
    const std::string out = scratch() + "entrylist.txt";
    EXPECT_EQ(output(&settings, files, out.c_str(), messages), 1);
    const std::string text = testsupport::readFile(out);
    EXPECT_EQ(text.rfind(sj("【エントリー No.1  ダイチ・コバヤシ】"), 0), 0u);
    EXPECT_NE(text.find(sj("【エントリー No.2  ")), std::string::npos);
    EXPECT_EQ(output(&settings, files, (scratch() + "none/entrylist.txt").c_str(), messages), 0);
    EXPECT_EQ(output(&settings, nullptr, out.c_str(), messages), 1); // an empty list
    EXPECT_EQ(testsupport::readFile(out), "");
    EXPECT_EQ(output(nullptr, files, out.c_str(), messages), 0);
}

TEST_F(Exports, CheckVersionAndTextHelpers) {
    plat::Library ak;
    ASSERT_TRUE(ak.load(cmntest::programDir(), "vell_ak.dll", {"LoadWeapon", "UnloadWpData", "LoadAkData"}));
    ASSERT_NE(ak.function<int (*)(const char*)>("LoadWeapon")((cmntest::programDir() + "WpData").c_str()), 0);
    auto check = fn<decltype(cmnCheckAkData)>("cmnCheckAkData");

    auto record = cmntest::loadAk(cmntest::samplePath(3));
    std::vector<char> report(2048, 'x');
    EXPECT_EQ(check(record.get(), report.data()), 1); // no findings, no dialog
    record->Turbo.Price = int32_t{record->Turbo.Price} + 5;
    sjis::writeField(record->Turbo.Name, sj("不明なターボ"));
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->close(); // the close box stops
    });
    EXPECT_EQ(check(record.get(), report.data()), 2);
    EXPECT_NE(report[0], '\0');
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPushButton*>("ButtonStart")->click();
    });
    EXPECT_EQ(check(record.get(), nullptr), 1);
    EXPECT_EQ(check(nullptr, report.data()), 2);
    ak.function<int (*)()>("UnloadWpData")();

    auto version = fn<decltype(cmnGetFileVersion)>("cmnGetFileVersion");
    plat::setProgramFolder(cmntest::programDir());
    char text[256] = "keep";
    char* out = text;
    EXPECT_EQ(version("VELLCMN.DLL", &out), 1);
    EXPECT_NE(std::string(text), "keep");
    EXPECT_NE(std::string(text), "");
    std::strcpy(text, "keep");
    const std::string plain = scratch() + "plain.dll";
    testsupport::writeFile(plain, "x");
    EXPECT_EQ(version(plain.c_str(), &out), 0);
    EXPECT_STREQ(text, "keep");
    EXPECT_EQ(version("VELLCMN.DLL", nullptr), 0);

    char dst[64];
    EXPECT_EQ(fn<decltype(ConvHan2Zen)>("ConvHan2Zen")("A1", dst), 4);
    EXPECT_EQ(std::string(dst), sj("Ａ１"));
    EXPECT_EQ(fn<decltype(ConvZen2Han)>("ConvZen2Han")(sj("Ａ１").c_str(), dst), 2);
    EXPECT_STREQ(dst, "A1");
    EXPECT_EQ(fn<decltype(CutString)>("CutString")(sj("あいう").c_str(), dst, 3, 1), 2);
    EXPECT_EQ(std::string(dst), sj("あ"));
    char trimmed[] = "  name  ";
    EXPECT_EQ(fn<decltype(strTrimRight)>("strTrimRight")(trimmed), 0);
    EXPECT_STREQ(trimmed, "name");
}

// A mode form's stand-in: answers the close notice by closing the detail
// window through cmnDisableDetail, as the modes do.
class ModeForm : public QDialog {
public:
    void (*disable)(void**) = nullptr;
    void* detail = nullptr;
    int notices = 0;
    bool event(QEvent* e) override {
        if (e->type() == static_cast<QEvent::Type>(cmn::WM_CLOSEAKDETAIL)) {
            ++notices;
            disable(&detail);
            return true;
        }
        return QDialog::event(e);
    }
};

// The set-up windows are modal: the detail window belongs to the form's
// window family (its transient child), so the modal form does not block it.
TEST_F(Exports, DetailWindowOfAModalModeForm) {
    ModeForm form;
    form.disable = fn<decltype(cmnDisableDetail)>("cmnDisableDetail");
    auto enable = fn<decltype(cmnEnableDetail)>("cmnEnableDetail");
    // Counts the times the detail window is told that a modal window blocks it.
    struct BlockWatch : QObject {
        int blocked = 0;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::WindowBlocked && o->objectName() == "FormAkDetail") ++blocked;
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    QPointer<QWidget> window;
    QTimer::singleShot(0, [&] {
        enable(&form.detail, cmntest::programDir().c_str(), &form);
        window = static_cast<QWidget*>(form.detail);
        ASSERT_FALSE(window.isNull());
        EXPECT_EQ(window->windowHandle()->transientParent(), form.windowHandle());
        window->findChild<QPushButton*>("ButtonClose")->click();
        // Queued after the notice, so the form answers the notice first.
        QMetaObject::invokeMethod(
            &form, [&] { form.done(0); }, Qt::QueuedConnection);
    });
    form.exec();
    qApp->removeEventFilter(&watch);
    EXPECT_EQ(watch.blocked, 0);
    EXPECT_EQ(form.notices, 1);
    EXPECT_EQ(form.detail, nullptr);
    EXPECT_TRUE(window.isNull());

    // Closed by the form itself: destroyed at once, no notice.
    enable(&form.detail, cmntest::programDir().c_str(), &form);
    window = static_cast<QWidget*>(form.detail);
    auto setAk = fn<decltype(cmnDetailSetAk)>("cmnDetailSetAk");
    setAk(&form.detail, cmntest::samplePath(1).c_str());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("ＡＫデータの詳細情報 [アレックス・ロウ]"));
    form.disable(&form.detail);
    EXPECT_EQ(form.detail, nullptr);
    EXPECT_TRUE(window.isNull());
    QApplication::processEvents();
    EXPECT_EQ(form.notices, 1);

    // Null handles are harmless.
    form.disable(&form.detail);
    form.disable(nullptr);
    setAk(&form.detail, cmntest::samplePath(1).c_str());
    setAk(nullptr, nullptr);
    enable(nullptr, "", nullptr);
}

} // namespace
