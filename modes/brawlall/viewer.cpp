// The battle royal's viewer script.
#include "modes/brawlall/viewer.h"

#include "base/sjis.h"
#include "modes/brawlall/royal.h"
#include "modes/frame/textfmt.h"
#include "platform/files.h"

namespace brawl {

using modes::format;

std::string viewerHeaderText(const ViewerHeader& h, const GameSettings& settings,
                             const modes::EntrantList& entrants) {
    std::string organiser(sjis::readField(settings.OrganiserName)),
        stadium(sjis::readField(settings.StadiumName));
    int count = 0;
    for (const modes::Entrant& e : entrants)
        if (e.royal()) ++count;
    std::string s;
    s += "#----- Header Section --------------------\n";
    s += "HeaderLines: 13\n";
    s += format("FileName: %s\n", modes::systemPath(h.Path).c_str());
    s += "Version: 00.00.02\n";
    s += format("ProgramVersion: %s\n", h.ProgramVersion.c_str());
    s += format("DateTime: %04d/%02d/%02d %02d:%02d:%02d\n", h.Time.year, h.Time.month, h.Time.day,
                h.Time.hour, h.Time.minute, h.Time.second);
    s += format("Corvane: %s\n", organiser.c_str());
    s += format("Stadium: %s\n", stadium.c_str());
    s += format("Xsize: %d\n", h.Columns);
    s += format("Ysize: %d\n", h.Rows);
    s += format("Entrant: %d\n", count);
    s += "EntrantLines: 6\n";
    s += "MoveLines: 1\n";
    s += "FightLines: 8\n";
    s += "#----- Entrant Section --------------------\n";
    for (const modes::Entrant& e : entrants) {
        const RoyalEntryRecord* r = e.royal();
        if (!r) continue;
        std::string pilot(sjis::readField(r->Entry.PilotName)), owner(sjis::readField(r->Entry.OwnerName));
        std::string mark(sjis::readField(r->Mark));
        int32_t x = r->X, y = r->Y;
        int32_t hp[6];
        for (int i = 0; i < 6; ++i) hp[i] = r->MaxDurability[i];
        s += format("Doller: %s\n", pilot.c_str());
        s += format("Owner: %s\n", owner.c_str());
        s += format("Emblem: %s\n", mark.c_str());
        s += format("X: %d\n", x);
        s += format("Y: %d\n", y);
        s += format("HitPoint: %d, %d, %d, %d, %d, %d\n", hp[0], hp[1], hp[2], hp[3], hp[4], hp[5]);
    }
    s += "#----- Game Section --------------------\n";
    return s;
}

std::string viewerTurnText(int turn) {
    return format("#----- Turn %d --------------------\n", turn) + format("Turn: %d\n", turn);
}

std::string viewerMoveText(int entrantNo, int dx, int dy) {
    return format("Move: %d, %d, %d\n", entrantNo, dx, dy);
}

std::string viewerFightText(int fightNo, const GameSettings& fight, const FightSide (&sides)[2],
                            uint8_t stepResult) {
    int32_t defender = fight.DefenderSide, band = fight.DistanceBand;
    std::string s = format("Fight: %d, %d, %d\n", fightNo, defender, band);
    for (int k = 0; k < 2; ++k) {
        const cv::CombatantState& st = *sides[k].State;
        uint32_t flags = st.RoundFlags;
        s += format("Status%d: %d, %d, %d, %d, %d, %d, %d\n", k + 1, sides[k].EntrantNo,
                    static_cast<int32_t>(flags), truncated(st.AttackDown), truncated(st.EvasionDown),
                    truncated(st.MovementDown), truncated(st.ComputerDown), truncated(st.SensorDown));
    }
    for (int k = 0; k < 2; ++k) s += format("Guide%d: %s\n", k + 1, guideSentence(*sides[k].State).c_str());
    for (int k = 0; k < 2; ++k) {
        const TArmoredKnight& ak = *sides[k].Ak;
        int32_t d[6];
        for (int i = 0; i < 6; ++i) d[i] = ak.Frame.Durability[i];
        s += format("HitPoint%d: %d, %d, %d, %d, %d, %d, %d\n", k + 1, sides[k].HitPointPct, d[0], d[1], d[2],
                    d[3], d[4], d[5]);
    }
    s += format("Result: %d, ", static_cast<int>(stepResult));
    return s;
}

bool ViewerScript::create(std::string_view path, std::string_view header) {
    close();
    path_.assign(path);
    failed_ = true;
    if (std::FILE* f = plat::openFile(path, "wb")) {
        const bool written = plat::writeToStream(f, header);
        if (std::fclose(f) == 0 && written) file_ = plat::openFile(path, "ab");
    }
    failed_ = file_ == nullptr;
    return !failed_;
}

void ViewerScript::append(std::string_view text) {
    if (!file_ || failed_ || text.empty()) return;
    if (!plat::writeToStream(file_, text)) failed_ = true;
}

void ViewerScript::flush() {
    if (file_ && std::fflush(file_) != 0) failed_ = true;
}

void ViewerScript::close() {
    if (file_ && std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
}

void ViewerScript::discard() {
    close();
    if (!path_.empty()) plat::removeFile(path_);
    path_.clear();
    failed_ = false;
}

} // namespace brawl
