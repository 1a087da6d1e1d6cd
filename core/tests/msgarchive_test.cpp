#include "core/getmsg.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "narrationtest.h"

#include <chrono>
#include <cstring>
#include <filesystem>
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
    EXPECT_FALSE(data.expired()); // kept for the next match
    cv::ClearFileCaches();
    EXPECT_TRUE(data.expired()); // the end of the system frees what no slot holds
}

// An archive is read once per event: the next match gets the same copy
// while the file is unchanged, an edited file is read again, and a line is
// decoded once for each decoder.
TEST_F(ArchiveTest, KeptFromMatchToMatchUntilTheFileChanges) {
    testsupport::TempDir dir;
    std::filesystem::path file = dir.path() / "a.kwp";
    std::string path = dir.folder() + "a.kwp";
    testsupport::writeFile(file, ArchiveImage({{"M42A", {Literal("old")}}}));
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotAnnouncer, path), cv::MsgOk);
    std::shared_ptr<const cv::LoadedArchive> kept = cv::MessageSlotAt(cv::SlotAnnouncer).Data;
    cv::ClearKwpTable();
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotAnnouncer, path), cv::MsgOk);
    EXPECT_EQ(cv::MessageSlotAt(cv::SlotAnnouncer).Data, kept);
    int index = cv::FindMsgEntry(cv::SlotAnnouncer, "M42A");
    EXPECT_EQ(text(cv::ExtractMsgVariant(cv::SlotAnnouncer, index, 0)), "old");

    // The same size, a later time: read again.
    testsupport::writeFile(file, ArchiveImage({{"M42A", {Literal("new")}}}));
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::seconds(1));
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotAnnouncer, path), cv::MsgOk);
    EXPECT_NE(cv::MessageSlotAt(cv::SlotAnnouncer).Data, kept);
    EXPECT_EQ(text(cv::ExtractMsgVariant(cv::SlotAnnouncer, index, 0)), "new");
    // No longer an archive: refused, as it would be read the first time.
    testsupport::writeFile(file, "not an archive at all, and longer than its header");
    EXPECT_EQ(cv::LoadMsgArchive(cv::SlotAnnouncer, path), cv::MsgFailed);

    // Another decoder: its own texts.
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotBasic, sample("Message/Basic.kwp")), cv::MsgOk);
    index = cv::FindMsgEntry(cv::SlotBasic, "M31A0");
    EXPECT_EQ(text(cv::ExtractMsgVariant(cv::SlotBasic, index, 1)), "「かわされた！」");
    cv::LineDecoder real = cv::SetLineDecoder([](const char*, char* out) {
        std::strcpy(out, "x  ");
        return out;
    });
    EXPECT_EQ(text(cv::ExtractMsgVariant(cv::SlotBasic, index, 1)), "x");
    cv::SetLineDecoder(real);
    EXPECT_EQ(text(cv::ExtractMsgVariant(cv::SlotBasic, index, 1)), "「かわされた！」");
}

// The directory's names are found in any number of entries: the first of
// equal names, a name up to its first blank, an id up to its NUL and in at
// most 8 bytes.
TEST_F(ArchiveTest, EntryNamesAreFoundInAnyNumberOfEntries) {
    std::vector<ArchiveEntry> entries;
    for (int k = 0; k < 300; ++k) entries.push_back({"N" + std::to_string(k), {Literal("x")}});
    entries.push_back({"M42A", {Literal("first"), Literal("two")}}); // 300
    entries.push_back({"M42A", {Literal("second")}});                // 301
    entries.push_back({"M43A X", {Literal("blank")}});               // 302
    entries.push_back({"ABCDEFGH", {Literal("eight")}});             // 303
    ASSERT_EQ(cv::LoadMsgArchiveBytes(cv::SlotBasic, "a.kwp", ArchiveImage(entries)), cv::MsgOk);
    for (int k = 0; k < 300; ++k) ASSERT_EQ(cv::FindMsgEntry(cv::SlotBasic, "N" + std::to_string(k)), k);
    int lines = 0;
    EXPECT_EQ(cv::FindMsgEntry(cv::SlotBasic, "M42A", &lines), 300);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(cv::FindMsgEntry(cv::SlotBasic, "M43A"), 302);
    EXPECT_EQ(cv::FindMsgEntry(cv::SlotBasic, "M43A X"), -1);
    EXPECT_EQ(cv::FindMsgEntry(cv::SlotBasic, std::string("M42A\0zz", 7)), 300);
    EXPECT_EQ(cv::FindMsgEntry(cv::SlotBasic, "ABCDEFGHIJ"), 303); // compared in 8 bytes
    EXPECT_EQ(cv::FindMsgEntry(cv::SlotBasic, "N300"), -1);
    EXPECT_EQ(cv::FindMsgEntry(cv::SlotBasic, ""), -1);
}

// A file the watch cannot take (its path goes through a link) is checked
// by its stamp: kept while unchanged, read again once edited.
TEST_F(ArchiveTest, AFileBehindALinkIsCheckedByItsStamp) {
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.path() / "real");
    std::filesystem::create_directory_symlink(dir.path() / "real", dir.path() / "link");
    std::filesystem::path file = dir.path() / "real" / "a.kwp";
    std::string path = dir.folder() + "link/a.kwp";
    testsupport::writeFile(file, ArchiveImage({{"M42A", {Literal("old")}}}));
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotAnnouncer, path), cv::MsgOk);
    std::shared_ptr<const cv::LoadedArchive> kept = cv::MessageSlotAt(cv::SlotAnnouncer).Data;
    for (int match = 0; match < 2; ++match) {
        ASSERT_EQ(cv::LoadMsgArchive(cv::SlotAnnouncer, path), cv::MsgOk);
        EXPECT_EQ(cv::MessageSlotAt(cv::SlotAnnouncer).Data, kept);
    }
    testsupport::writeFile(file, ArchiveImage({{"M42A", {Literal("newer")}}}));
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotAnnouncer, path), cv::MsgOk);
    int index = cv::FindMsgEntry(cv::SlotAnnouncer, "M42A");
    EXPECT_EQ(text(cv::ExtractMsgVariant(cv::SlotAnnouncer, index, 0)), "newer");
    kept = cv::MessageSlotAt(cv::SlotAnnouncer).Data;
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotAnnouncer, path), cv::MsgOk);
    EXPECT_EQ(cv::MessageSlotAt(cv::SlotAnnouncer).Data, kept);
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
