// libvelltext.so loaded by name from the program folder, as the
// configuration manager loads it, and every export called through its C
// signature; the template outputs are answered in the library's own window.
#include "text/velltext.h"

#include "base/sjis.h"
#include "modal.h"
#include "platform/loader.h"
#include "platform/notify.h"
#include "platform/registry.h"
#include "textfixture.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <cstring>
#include <vector>

using testsupport::readFile;
using testsupport::sj;
using testsupport::writeFile;

namespace {

using OutGameRegulationFn = int (*)(const char*, char**);
using OutExtMessageTableFn = int (*)(const char*, char**, const AnnouncerEntry*, int, const MsgEntry*, int,
                                     const MsgEntry*, int);
using ReplaceTextFormatFn = int (*)(const char*, const char*, char**);
using ReplaceStringFormatFn = int (*)(const char*, char*, char**);
using LoadMomoFileFn = int (*)(const char*, DigestEntry**);
using UnloadMomoFileFn = int (*)();
using LoadProfFileFn = int (*)(const char*, TArmoredKnight*, void*);
using SaveProfFileFn = int (*)(const char*, const TArmoredKnight*, const void*);
using GetPilotNameFn = int (*)(const char*, char*);
using ParseResultLineFn = int (*)(const char*, char*, char*);

class Exports : public ::testing::Test {
protected:
    void SetUp() override {
        plat::reg::setStorePath((store.path() / "registry.reg").string());
        plat::notify::clearRecorded();
        ASSERT_TRUE(lib.load(VELL_PROGRAM_DIR, "velltext.dll",
                             {"OutGameRegulation", "OutExtMessageTable", "ReplaceTextFormat",
                              "ReplaceStringFormat", "LoadMomoFile", "UnloadMomoFile", "LoadProfFile",
                              "SaveProfFile", "GetPilotName", "ParseResultLine"}))
            << lib.error();
    }
    template <class F> F fn(const char* name) { return lib.function<F>(name); }

    testsupport::TempDir store;
    texttest::ProgramFolder program;
    plat::Library lib;
};

// The caller's list of 30 texts, as C strings.
struct CValues {
    explicit CValues(std::vector<std::string> v) : texts(std::move(v)) {
        texts.resize(30);
        for (std::string& t : texts) pointers.push_back(t.data());
    }
    std::vector<std::string> texts;
    std::vector<char*> pointers;
    char** get() { return pointers.data(); }
};

void chooseRow(int row, std::string output) {
    texttest::answerNextModal([row, output](QWidget* w) {
        auto* list = w->findChild<QTreeWidget*>("ListViewTemplate");
        list->setCurrentItem(list->topLevelItem(row));
        w->findChild<QLineEdit*>("EditPath")->setText(QString::fromUtf8(output.c_str()));
        w->findChild<QPushButton*>("ButtonOk")->click();
    });
}

} // namespace

TEST_F(Exports, TemplateOutputsGoThroughTheChooser) {
    CValues values(texttest::regulationValues());
    const std::string out = program.path("regulation.htm").string();
    chooseRow(0, out); // reghtml.fmt
    EXPECT_EQ(fn<OutGameRegulationFn>("OutGameRegulation")(program.folder().c_str(), values.get()), 1);
    const std::string text = readFile(out);
    EXPECT_NE(text.find(sj("<p>月例の一対一戦。<BR>勝者には賞金")), std::string::npos);

    std::vector<AnnouncerEntry> a = texttest::sampleAnnouncers(2);
    std::vector<MsgEntry> p = texttest::samplePilots(2);
    std::vector<MsgEntry> c = texttest::sampleComputers(1);
    CValues empty({});
    const std::string table = program.path("table.htm").string();
    chooseRow(0, table); // msghtml.fmt
    EXPECT_EQ(fn<OutExtMessageTableFn>("OutExtMessageTable")(program.folder().c_str(), empty.get(), a.data(),
                                                             2, p.data(), 2, c.data(), 1),
              1);
    const std::string html = readFile(table);
    EXPECT_NE(html.find(sj("<tr><td>2</td><td>解説の霧島</td><td>霧島</td><td>Msg\\kirishima.kwp</td></tr>")),
              std::string::npos);
    EXPECT_EQ(html.find(sj("基本アナウンサー")), std::string::npos); // slot 0 is never listed

    texttest::answerNextModal([](QWidget* w) { w->findChild<QPushButton*>("ButtonCancel")->click(); });
    EXPECT_EQ(fn<OutGameRegulationFn>("OutGameRegulation")(program.folder().c_str(), values.get()), 0);
}

TEST_F(Exports, ReplaceTextAndStringFormat) {
    CValues values({"zero", "one"});
    writeFile(program.path("t.fmt"), "#T\r\n%00-%01\r\n");
    const std::string out = program.path("o.txt").string();
    auto replaceText = fn<ReplaceTextFormatFn>("ReplaceTextFormat");
    EXPECT_EQ(replaceText(program.path("t.fmt").c_str(), out.c_str(), values.get()), 1);
    EXPECT_EQ(readFile(out), "zero-one\r\n");
    EXPECT_EQ(replaceText(program.path("none.fmt").c_str(), out.c_str(), values.get()), 0);
    EXPECT_EQ(replaceText(nullptr, nullptr, nullptr), 0);

    auto replaceString = fn<ReplaceStringFormatFn>("ReplaceStringFormat");
    std::vector<char> buffer(2048, 'X');
    EXPECT_EQ(replaceString("[%01]\x1A[%00]", buffer.data(), values.get()), 0);
    EXPECT_STREQ(buffer.data(), "[one]");
    CValues huge({std::string(4000, 'h')});
    std::vector<char> guarded(2048 + 16, 'G');
    replaceString("%00%00", guarded.data(), huge.get());
    EXPECT_EQ(std::strlen(guarded.data()), 2047u);
    EXPECT_EQ(std::string(guarded.begin() + 2048, guarded.end()), std::string(16, 'G'));
    EXPECT_EQ(replaceString(nullptr, buffer.data(), nullptr), 0);
    EXPECT_STREQ(buffer.data(), "");
    EXPECT_EQ(replaceString("x", nullptr, nullptr), 0);
}

TEST_F(Exports, DigestsAndResultLines) {
    const std::string digest = program.path("digest.mom").string();
    writeFile(digest, "\r\n        " + sj("○甲／乙") + "\r\n        " + sj("×丙／丁") + "\r\n\r\n" +
                          sj("　３分。自爆。") + "\r\n");
    DigestEntry* head = nullptr;
    ASSERT_EQ(fn<LoadMomoFileFn>("LoadMomoFile")(digest.c_str(), &head), 0);
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(sjis::readField(head->Name1), sj("甲"));
    EXPECT_EQ(sjis::readField(head->Text2), sj("丁"));
    EXPECT_EQ(sjis::readField(head->Minutes), sj("３分。自爆。"));
    EXPECT_EQ(head->Second, 1);
    EXPECT_EQ(DigestNext(head), nullptr);
    EXPECT_EQ(fn<LoadMomoFileFn>("LoadMomoFile")(program.path("none.mom").c_str(), &head), 1);
    EXPECT_EQ(fn<UnloadMomoFileFn>("UnloadMomoFile")(), 0);

    char name[80], text[80];
    const std::string line = sj("△") + std::string(100, 'n') + sj("／") + std::string(100, 't');
    EXPECT_EQ(fn<ParseResultLineFn>("ParseResultLine")(line.c_str(), name, text), 2);
    EXPECT_EQ(std::string(name), std::string(79, 'n'));
    EXPECT_EQ(std::string(text), std::string(79, 't'));
    EXPECT_EQ(fn<ParseResultLineFn>("ParseResultLine")("none", name, text), -1);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(fn<ParseResultLineFn>("ParseResultLine")(nullptr, nullptr, nullptr), -1);
}

TEST_F(Exports, ProfileFiles) {
    TArmoredKnight ak{};
    std::memset(ak.Pilot.Name, 'p', sizeof ak.Pilot.Name); // a raw image: no NUL in the name
    ak.Pilot.Age = 26;
    std::vector<unsigned char> second(ProfileSecondSize, 0x5A);
    const std::string path = program.path("pilot.prf").string();
    ASSERT_EQ(fn<SaveProfFileFn>("SaveProfFile")(path.c_str(), &ak, second.data()), 0);

    TArmoredKnight back;
    std::vector<unsigned char> secondBack(ProfileSecondSize);
    ASSERT_EQ(fn<LoadProfFileFn>("LoadProfFile")(path.c_str(), &back, secondBack.data()), 0);
    EXPECT_EQ(std::memcmp(&back, &ak, sizeof ak), 0);
    EXPECT_EQ(secondBack, second);

    // The name goes into an 80-byte buffer: 79 bytes and a NUL.
    char name[80];
    ASSERT_EQ(fn<GetPilotNameFn>("GetPilotName")(path.c_str(), name), 0);
    EXPECT_EQ(std::string(name), std::string(79, 'p'));
    EXPECT_EQ(fn<GetPilotNameFn>("GetPilotName")(program.path("none.prf").c_str(), name), 1);
    EXPECT_EQ(fn<LoadProfFileFn>("LoadProfFile")(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(fn<SaveProfFileFn>("SaveProfFile")(nullptr, nullptr, nullptr), 1);
}
