// The entrant rows. The quick row shares the AK data file's head scan and
// record reader with the AK data library, so both agree on where the records
// begin and on quoted texts that run over a line end; the battle royal's row
// is made from an AK loaded by the AK data library itself.
#include "common/entrant.h"

#include "akdata/akexports.h"
#include "akdata/csvreader.h"
#include "base/sjis.h"
#include "platform/files.h"
#include "sjis/cmn_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>

namespace cmn {

namespace {

// A decimal number as atol reads it (blanks, sign, digits; nothing else
// counts), held inside the int32_t range.
int32_t decimal(std::string_view s) {
    size_t p = 0;
    while (p < s.size() && (s[p] == ' ' || s[p] == '\t')) ++p;
    bool negative = false;
    if (p < s.size() && (s[p] == '-' || s[p] == '+')) negative = s[p++] == '-';
    int64_t value = 0;
    for (; p < s.size() && s[p] >= '0' && s[p] <= '9'; ++p) {
        value = value * 10 + (s[p] - '0');
        if (value > std::numeric_limits<int32_t>::max())
            value = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

// A tag list of the battle royal: the profile first, then the match-start
// comment, then the mechanic's profile.
std::string tagList(const TArmoredKnight& ak, std::string_view tag) {
    for (std::string_view source :
         {sjis::readField(ak.Pilot.Profile), sjis::readField(ak.Comments[CommentMatchStart].Text),
          sjis::readField(ak.Team.Profile)}) {
        std::string list = extractBetween(source, tag, cmt::TagClose);
        if (!list.empty()) return list;
    }
    return {};
}

} // namespace

std::string akPath(std::string_view folder, std::string_view file) {
    std::string path(folder);
    path += '\\';
    path += file;
    return path;
}

bool entryRowFromBytes(std::string_view bytes, EntryRecord& row, size_t* used) {
    akdata::LineSource in(bytes);
    struct Used {
        akdata::LineSource& in;
        size_t* out;
        ~Used() {
            if (out) *out = in.position();
        }
    } report{in, used};
    std::string_view line;
    for (;;) {
        if (!in.next(line)) return false;
        if (line.empty() || line.front() == '\0') continue;
        int32_t value = 0, cash = 0;
        int n = akdata::scanHead(line, value, cash);
        if (n == 0) continue; // a header or result-history line
        if (n >= 1) row.MachineValue = value;
        if (n != 2) return false;
        break;
    }
    sjis::writeField(row.OwnerName, akdata::CsvRecord(in, "q").text(0));
    akdata::CsvRecord(in, "q"); // owner ID
    akdata::CsvRecord(in, "n"); // weight
    akdata::CsvRecord pilot(in, "qnqnnnnnn");
    sjis::writeField(row.PilotName, pilot.text(0));
    row.Age = pilot.num(1);
    sjis::writeField(row.Sex, pilot.text(2));
    row.Wins = pilot.num(6);
    row.Battles = pilot.num(7);
    row.Destroyed = pilot.num(8);
    return true;
}

bool makeEntryRow(std::string_view folder, std::string_view file, EntryRecord& row) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(plat::openFile(akPath(folder, file), "rb"),
                                                      std::fclose);
    if (!f) return false;
    // A scan that ended inside what has been read saw only whole lines and
    // gives the row the whole file would give; one that reached the end of
    // the piece read may have met a cut line, so more is read and it runs
    // again. A result-history block before the head only makes it read on.
    std::string bytes;
    size_t piece = 4096;
    for (;;) {
        size_t had = bytes.size();
        bytes.resize(had + piece);
        size_t got = std::fread(bytes.data() + had, 1, piece, f.get());
        bytes.resize(had + got);
        const bool atEnd = got < piece;
        if (std::ferror(f.get())) return false;
        EntryRecord trial = row;
        size_t used = 0;
        bool ok = entryRowFromBytes(bytes, trial, &used);
        if (atEnd || used < bytes.size()) {
            row = trial;
            return ok;
        }
        piece = std::min<size_t>(piece * 2, size_t{1} << 20);
    }
}

std::string extractBetween(std::string_view source, std::string_view startTag, std::string_view endTag) {
    size_t start = sjis::find(source, startTag);
    if (start == sjis::npos) return {};
    size_t textStart = start + startTag.size();
    size_t end = sjis::find(source, endTag, textStart);
    if (end == sjis::npos) return {};
    return std::string(source.substr(textStart, end - textStart));
}

void fillRoyalRow(const TArmoredKnight& ak, RoyalEntryRecord& row) {
    row.PresetPosition = 0;
    std::string_view emblem = sjis::readField(ak.Pilot.Emblem);
    sjis::writeField(row.Mark, emblem);
    row.HasMark = emblem.empty() ? 0 : 1;

    sjis::writeField(row.EnemyList, tagList(ak, cmt::EnemyTag));
    sjis::writeField(row.AllyList, tagList(ak, cmt::AllyTag));
    sjis::writeField(row.FriendList, tagList(ak, cmt::FriendTag));
    sjis::writeField(row.TeamList, tagList(ak, cmt::TeamTag));

    std::string cell = tagList(ak, cmt::StartCellTag);
    size_t dash = sjis::find(cell, cmt::StartCellSeparator);
    if (dash != sjis::npos) {
        std::string_view c(cell);
        row.X = decimal(sjis::zen2Han(c.substr(0, dash)));
        row.Y = decimal(sjis::zen2Han(c.substr(dash + std::string_view(cmt::StartCellSeparator).size())));
        row.PresetPosition = 1;
    }

    EntryRecord& e = row.Entry;
    sjis::writeField(e.PilotName, sjis::readField(ak.Pilot.Name));
    sjis::writeField(e.OwnerName, sjis::readField(ak.Owner.Name));
    sjis::writeField(e.Sex, sjis::readField(ak.Pilot.Sex));
    e.Age = int32_t{ak.Pilot.Age};
    e.MachineValue = int32_t{ak.MachineValue};
    e.TotalCr = int32_t{ak.TotalCr};
    e.Battles = int32_t{ak.Pilot.Battles};
    e.Wins = int32_t{ak.Pilot.Wins};
    e.Draws = int32_t{ak.Pilot.Draws};
    e.Destroyed = int32_t{ak.Pilot.Destroyed};
    e.Kills = int32_t{ak.Pilot.Kills};
    e.Losses = 0;
    e.Stage = 0;
    e.OwnAkDestroyed = 0;
    e.OwnPilotKilled = 0;

    row.Reaction = int32_t{ak.Reaction};
    row.OutStatus = -1;
    row.FightTurn = 0;
    row.Turbo = ak.Turbo;
    int64_t durability = 0, maximum = 0;
    for (int p = 0; p < BodyPartCount; ++p) {
        int32_t max = ak.Frame.MaxDurability[p];
        int32_t now = ak.Frame.Durability[p];
        row.MaxDurability[p] = max;
        durability += now;
        maximum += max;
    }
    int64_t pct = maximum == 0 ? 0 : durability * 100 / maximum;
    if (pct > std::numeric_limits<int32_t>::max()) pct = std::numeric_limits<int32_t>::max();
    if (pct < std::numeric_limits<int32_t>::min()) pct = std::numeric_limits<int32_t>::min();
    row.HitPointPct = static_cast<int32_t>(pct);
}

bool makeRoyalRow(std::string_view folder, std::string_view file, RoyalEntryRecord& row) {
    row.PresetPosition = 0;
    auto ak = std::make_unique<TArmoredKnight>();
    std::string path = akPath(folder, file);
    if (LoadAkData(ak.get(), path.c_str()) != 0) return false;
    fillRoyalRow(*ak, row);
    return true;
}

} // namespace cmn
