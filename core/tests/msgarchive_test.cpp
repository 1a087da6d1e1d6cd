#include "core/getmsg.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "narrationtest.h"

#include <memory>

using namespace narrtest;

namespace {

class ArchiveTest : public NarrationTest {};

std::string text(std::optional<std::string> t) {
    return t ? testsupport::u8(*t) : "<none>";
}

} // namespace

// The sample base set packed by the library's packer, read back through its
// decoder: names of exactly eight bytes are found, a shorter id is no
// prefix match, every line decodes to its text.
TEST_F(ArchiveTest, SampleArchiveEntries) {
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotBasic, sample("Message/Basic.kwp")), cv::MsgOk);
    int lines = -1;
    EXPECT_GE(cv::FindMsgEntry(cv::SlotBasic, "PLAY_ANA", &lines), 0);
    EXPECT_EQ(lines, 3 + 53); // three header lines and announcer lines 1 to 53
    int index = cv::FindMsgEntry(cv::SlotBasic, "M31A0", &lines);
    ASSERT_GE(index, 0);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(text(cv::ExtractMsgVariant(cv::SlotBasic, index, 1)), "「かわされた！」");
    EXPECT_EQ(cv::ExtractMsgVariant(cv::SlotBasic, index, 2), std::nullopt);
    EXPECT_EQ(cv::FindMsgEntry(cv::SlotBasic, "M31A"), -1);
    EXPECT_EQ(cv::FindMsgEntry(cv::SlotBasic, "m31a0"), -1); // ids are upper case
}

// Two slots on one path share one copy, which goes with the last slot.
TEST_F(ArchiveTest, SlotsShareOneCopy) {
    std::string path = sample("Message/Com01.kwp");
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotComputer1, path), cv::MsgOk);
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotComputer1 + 1, path), cv::MsgOk);
    const cv::KwpSlot& first = cv::MessageSlotAt(cv::SlotComputer1);
    const cv::KwpSlot& second = cv::MessageSlotAt(cv::SlotComputer1 + 1);
    EXPECT_FALSE(first.Shared);
    EXPECT_TRUE(second.Shared);
    EXPECT_EQ(first.Data, second.Data);
    std::weak_ptr<const cv::LoadedArchive> data = first.Data;
    cv::SetFolderSlot(cv::SlotComputer1, "x\\");
    EXPECT_FALSE(data.expired());
    cv::ClearKwpTable();
    EXPECT_TRUE(data.expired()); // clearing the table frees what no slot holds
}

TEST_F(ArchiveTest, FilesThatAreNoArchive) {
    EXPECT_EQ(cv::LoadMsgArchive(cv::SlotBasic, sample("Message/missing.kwp")), cv::MsgFailed);
    EXPECT_EQ(cv::LoadMsgArchive(cv::SlotBasic, sample("Message/Basic/M31A0.MSG")), cv::MsgFailed);
    EXPECT_FALSE(cv::MessageSlotAt(cv::SlotBasic).Loaded);
    EXPECT_TRUE(cv::MessageSlotAt(cv::SlotBasic).Name.empty());
    // "KWP00" is all the magic that is compared.
    std::string image = ArchiveImage({{"M42A", {Literal("x")}}});
    image.replace(5, 3, "XYZ");
    EXPECT_EQ(cv::LoadMsgArchiveBytes(cv::SlotBasic, "a.kwp", image), cv::MsgOk);
    // A directory that runs past the end of the file is refused.
    image = ArchiveImage({{"M42A", {Literal("x")}}}).substr(0, 100);
    EXPECT_EQ(cv::LoadMsgArchiveBytes(cv::SlotBasic, "a.kwp", image), cv::MsgFailed);
    EXPECT_EQ(cv::LoadMsgArchiveBytes(cv::SlotBasic, "a.kwp", "KWP00"), cv::MsgFailed);
    EXPECT_EQ(cv::LoadMsgArchiveBytes(99, "a.kwp", image), cv::MsgFailed);
}

// Offsets, counts and lengths of an archive are checked before use; a line
// that lies outside the file is no message.
TEST_F(ArchiveTest, HostileEntries) {
    std::string image = ArchiveImage({{"M42A", {Literal("ok"), Literal("two")}}, {"M43A", {Literal("x")}}});
    // Entry 1 claims 300 lines at an offset near the end.
    image[90 + 18 + 16] = static_cast<char>(0x2C);
    image[90 + 18 + 17] = 1;
    // Entry 0's text offset far beyond the file.
    image[90 + 12 + 3] = 0x7F;
    ASSERT_EQ(cv::LoadMsgArchiveBytes(cv::SlotBasic, "h.kwp", image), cv::MsgOk);
    int lines = 0;
    EXPECT_EQ(cv::FindMsgEntry(cv::SlotBasic, "M43A", &lines), 1);
    EXPECT_EQ(lines, 300);
    EXPECT_EQ(cv::ExtractMsgVariant(cv::SlotBasic, 1, 0), std::nullopt);
    EXPECT_EQ(cv::ExtractMsgVariant(cv::SlotBasic, 0, 0), std::nullopt);
    EXPECT_EQ(cv::ExtractMsgVariant(cv::SlotBasic, 7, 0), std::nullopt);
    std::string out;
    EXPECT_EQ(cv::GetMsg(cv::SlotBasic, "M43A", out), cv::MsgFailed);
    EXPECT_EQ(cv::GetMsgLine(cv::SlotBasic, "M42A", out, 1), cv::MsgFailed);
}

// A decoded line is cut at a CR or LF, to 255 bytes on a character
// boundary, and loses its trailing blanks; a line of 255 stored bytes
// decodes to as many as 510.
TEST_F(ArchiveTest, DecodedLinesAreBounded) {
    std::string stored(255, 'a'); // narrowed letters: each widens to "ａ"
    std::string image = ArchiveImage({{"M42A", {stored, Literal("one\r\ntwo"), Literal(sj("話　 　"))}}});
    ASSERT_EQ(cv::LoadMsgArchiveBytes(cv::SlotBasic, "b.kwp", image), cv::MsgOk);
    auto line = cv::ExtractMsgVariant(cv::SlotBasic, 0, 0);
    ASSERT_TRUE(line);
    EXPECT_LE(line->size(), 255u);
    EXPECT_TRUE(sjis::isBoundary(*line, line->size()));
    EXPECT_EQ(cv::ExtractMsgVariant(cv::SlotBasic, 0, 0, 511)->size(), 510u);
    EXPECT_EQ(text(cv::ExtractMsgVariant(cv::SlotBasic, 0, 1)), "one");
    EXPECT_EQ(text(cv::ExtractMsgVariant(cv::SlotBasic, 0, 2)), "話");
}

TEST(MessageText, TrimAndClean) {
    using testsupport::sj;
    EXPECT_EQ(cv::TrimMessageLine(sj("言葉　 　")), sj("言葉"));
    // "メ" ends in the byte 0x81: "メ@" is no full-width blank.
    EXPECT_EQ(cv::TrimMessageLine(sj("メ") + "@ "), sj("メ") + "@");
    EXPECT_EQ(cv::CleanMessageText(sj("ああ"), 3), sj("あ"));
    EXPECT_EQ(cv::CleanMessageText(std::string("ab\0cd", 5), 80), "ab");
}

// Without the library a stored line decodes to nothing; the library must
// bring all three calls.
TEST(MessageLibrary, MissingLibrary) {
    testsupport::TempDir empty;
    cv::LineDecoder before = cv::SetLineDecoder(nullptr);
    EXPECT_EQ(cv::DecodeStoredLine(Literal("text"), 255), "");
    cv::SetLineDecoder(before);
    EXPECT_FALSE(cv::AttachMessageLibrary(empty.folder()));
    EXPECT_FALSE(cv::MessageLibraryAttached());
    EXPECT_TRUE(cv::AttachMessageLibrary(VELL_PROGRAM_DIR));
    EXPECT_EQ(cv::DecodeStoredLine(Literal("text"), 255), "text");
}
