// The template chooser window: its caption and list, the output name, OK
// enabled only with a selection, the paths it hands back, its placement, and
// SelectTemplate answered as a modal dialog.
#include "text/selfmt.h"

#include "modal.h"
#include "platform/registry.h"
#include "platform/ui/qtsjis.h"
#include "textfixture.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using testsupport::sj;
using testsupport::writeFile;

namespace {

class Chooser : public ::testing::Test {
protected:
    void SetUp() override { plat::reg::setStorePath((store.path() / "registry.reg").string()); }
    testsupport::TempDir store;
    texttest::ProgramFolder program;
};

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TEST_F(Chooser, ShowsTheMatchingTemplatesWithTheirTitles) {
    writeFile(program.path("Format/regbad.fmt"), "not a title\r\n");
    vtext::TFormTemplate form(program.folder(), "reg*.fmt");
    EXPECT_EQ(form.windowTitle(), u("テンプレートを指定してください - reg*.fmt"));
    auto* list = form.findChild<QTreeWidget*>("ListViewTemplate");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), u("reghtml.fmt"));
    EXPECT_EQ(list->topLevelItem(0)->text(1), u("大会レギュレーション（HTML形式）"));
    EXPECT_EQ(list->topLevelItem(1)->text(0), u("regtext.fmt"));
    EXPECT_EQ(form.findChild<QLineEdit*>("EditPath")->text(), u("output.txt"));
    EXPECT_EQ(form.findChild<QPushButton*>("ButtonPath")->text(), u("出力ファイル名"));
    EXPECT_EQ(form.findChild<QPushButton*>("ButtonCancel")->text(), u("キャンセル"));
}

TEST_F(Chooser, OkNeedsASelectionAndHandsBackBothPaths) {
    vtext::TFormTemplate form(program.folder(), "msg*.fmt");
    auto* list = form.findChild<QTreeWidget*>("ListViewTemplate");
    auto* ok = form.findChild<QPushButton*>("ButtonOk");
    auto* edit = form.findChild<QLineEdit*>("EditPath");
    EXPECT_FALSE(ok->isEnabled());
    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_TRUE(ok->isEnabled());
    list->clearSelection();
    EXPECT_FALSE(ok->isEnabled());
    list->setCurrentItem(list->topLevelItem(1));

    // The save dialog's choice goes into the edit; a cancelled one changes
    // nothing.
    std::string asked;
    form.askOutputPath = [&](const std::string& current) -> std::optional<std::string> {
        asked = current;
        return sj("/tmp/一覧.txt");
    };
    form.findChild<QPushButton*>("ButtonPath")->click();
    EXPECT_EQ(asked, "output.txt");
    EXPECT_EQ(edit->text(), u("/tmp/一覧.txt"));
    form.askOutputPath = [](const std::string&) { return std::nullopt; };
    form.findChild<QPushButton*>("ButtonPath")->click();
    EXPECT_EQ(edit->text(), u("/tmp/一覧.txt"));

    ok->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.chosenTemplate(), program.folder() + "Format\\msgtext.fmt");
    EXPECT_EQ(form.chosenOutput(), sj("/tmp/一覧.txt"));
}

TEST_F(Chooser, TheOutputNameIsLimitedTo80Bytes) {
    vtext::TFormTemplate form(program.folder(), "reg*.fmt");
    auto* edit = form.findChild<QLineEdit*>("EditPath");
    edit->clear();
    edit->setFocus();
    for (int i = 0; i < 100; ++i) edit->insert(QStringLiteral("a"));
    EXPECT_EQ(edit->text().size(), 80);
}

TEST_F(Chooser, KeepsItsPlacementUnderItsName) {
    {
        vtext::TFormTemplate form(program.folder(), "reg*.fmt");
        form.move(40, 50);
        form.resize(500, 360);
        form.reject();
    }
    EXPECT_EQ(plat::reg::readInteger("Software\\Dunmoor\\CVVell\\Window", "TemplateWidth", -1), 500);
    EXPECT_EQ(plat::reg::readInteger("Software\\Dunmoor\\CVVell\\Window", "TemplateHeight", -1), 360);
    vtext::TFormTemplate again(program.folder(), "reg*.fmt");
    EXPECT_EQ(again.size(), QSize(500, 360));
}

TEST_F(Chooser, SelectTemplateRunsTheWindowModally) {
    texttest::answerNextModal([](QWidget* w) {
        auto* list = w->findChild<QTreeWidget*>("ListViewTemplate");
        list->setCurrentItem(list->topLevelItem(0));
        w->findChild<QLineEdit*>("EditPath")->setText(QStringLiteral("result.htm"));
        w->findChild<QPushButton*>("ButtonOk")->click();
    });
    std::string t, o;
    ASSERT_TRUE(vtext::SelectTemplate(program.folder(), "reg*.fmt", t, o));
    EXPECT_EQ(t, program.folder() + "Format\\reghtml.fmt");
    EXPECT_EQ(o, "result.htm");

    texttest::answerNextModal([](QWidget* w) { w->findChild<QPushButton*>("ButtonCancel")->click(); });
    t.clear();
    EXPECT_FALSE(vtext::SelectTemplate(program.folder(), "reg*.fmt", t, o));
    EXPECT_EQ(t, "");
}
