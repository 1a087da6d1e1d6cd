// Building a side's CombatantState from its AK record, the per-round reset
// and the reader of the drain data carried by an output AK data file.
#include "core/combatant.h"

#include "base/akparams.h"
#include "base/sjis.h"
#include "core/formula.h"
#include "core/module.h"
#include "platform/files.h"
#include "sjis/combatant_text.h"

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>

namespace cv {

namespace {

constexpr std::string_view DrainMarker = "\"$DRAINDATA02$\"";
constexpr std::string_view FullSlash(cbt::FullSlash, sizeof cbt::FullSlash - 1);

// "《emblem》" with option 25, the conf's default emblem of the side when the
// pilot has none; the empty text without the option. At most 35 bytes.
std::string emblemPrefix(const TArmoredKnight& ak, int side) {
    if (!Option(OptEmblem)) return {};
    std::string_view emblem = sjis::readField(ak.Pilot.Emblem);
    if (emblem.empty()) {
        const MsgWords& words = Settings().Words[0];
        emblem = side == 0 ? sjis::readField(words.Emblem1) : sjis::readField(words.Emblem2);
    }
    return std::string(cbt::EmblemOpen) + std::string(emblem) + cbt::EmblemClose;
}

// The program commands of the nickname tail, in half width. With option 46
// the whole tail up to its first "/" is used and the record stays; without
// it the part after the last "／" is used and cut off the record.
std::string takeProgram(TArmoredKnight& ak) {
    std::string_view tail = sjis::readField(ak.Computer.NicknameTail);
    if (Option(OptProgramCommandContinue)) {
        std::string program = sjis::zen2Han(tail);
        size_t slash = sjis::find(program, "/");
        if (slash != sjis::npos) program.resize(slash);
        return program;
    }
    size_t mark = sjis::rfind(tail, FullSlash);
    std::string program = sjis::zen2Han(mark == sjis::npos ? tail : tail.substr(mark + FullSlash.size()));
    std::string kept(mark == sjis::npos ? std::string_view() : tail.substr(0, mark));
    sjis::writeField(ak.Computer.NicknameTail, kept);
    return program;
}

// Reads comma-separated integers the way the drain line was written; the
// first field that does not parse ends the reading.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : rest_(text) {}

    bool next(int32_t& value) {
        if (!more_) return false;
        size_t p = skipBlanks(0);
        bool negative = false;
        if (p < rest_.size() && (rest_[p] == '-' || rest_[p] == '+')) negative = rest_[p++] == '-';
        size_t digits = p;
        int64_t v = 0;
        while (p < rest_.size() && rest_[p] >= '0' && rest_[p] <= '9') {
            v = std::min<int64_t>(v * 10 + (rest_[p++] - '0'), int64_t{1} << 32);
        }
        if (p == digits) {
            more_ = false;
            return false;
        }
        v = negative ? -v : v;
        value = static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
        p = skipBlanks(p);
        if (p < rest_.size() && rest_[p] == ',')
            ++p;
        else
            more_ = false; // no separator: this was the last field
        rest_.remove_prefix(p);
        return true;
    }

private:
    size_t skipBlanks(size_t p) const {
        while (p < rest_.size() && (rest_[p] == ' ' || rest_[p] == '\t')) ++p;
        return p;
    }

    std::string_view rest_;
    bool more_ = true;
};

bool readLine(std::FILE* file, std::string& line) {
    if (!plat::readLine(file, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// A divisor carried as a whole number: the writer stores 0.5 as 0, and the
// next match would divide by it.
double drainDivisor(int32_t v) {
    return v < 1 ? 1.0 : static_cast<double>(v);
}

void readDrainLine(CombatantState& s, std::string_view fields) {
    if (fields.empty() || fields.front() != ',') return;
    FieldReader reader(fields.substr(1));
    int32_t v = 0;
    for (int field = 1; field <= 15 && reader.next(v); ++field) {
        switch (field) {
        case 1:
            s.AttackDown = v;
            break;
        case 2:
            s.EvasionDown = v;
            break;
        case 3:
            s.MovementDown = v;
            break;
        case 4:
            s.ComputerDown = drainDivisor(v);
            break;
        case 5:
            s.SensorDown = drainDivisor(v);
            break;
        case 6:
            s.ReactionBoost = v;
            break;
        case 7:
            s.BoostMinutesLeft = v;
            break;
        case 8:
            s.AntiBeamField = static_cast<uint8_t>(v);
            break;
        case 9:
            s.BindDistance = v;
            break;
        case 10:
            s.ResumeRound = v;
            break;
        case 11:
            s.ResumeDistanceBand = v;
            break;
        // 12 TotalCr and 13 MachineValue: the writer stores 0 there, so the
        // values InitCombatant took from the AK record are kept.
        case 14:
            s.ResumeAnnouncer = v;
            break;
        case 15:
            s.BerserkAnnounced = static_cast<uint8_t>(v);
            break;
        default:
            break;
        }
    }
}

} // namespace

int InitCombatant(CombatantState& s, TArmoredKnight& ak, int side) {
    const GameSettings& gs = Settings();
    s = CombatantState{};
    s.Side = static_cast<uint32_t>(side);
    s.MachineValue = ak.MachineValue;
    s.TotalCr = ak.TotalCr;
    s.Mctl = ak.Team.Mctl;
    s.Bounty = Option(OptBountyMatch) ? CalcPostfix(sjis::readField(gs.BountyPostfix), ak) : 0;

    std::string_view pilot = sjis::readField(ak.Pilot.Name);
    std::string_view nickname = sjis::readField(ak.Computer.Nickname);
    if (Option(OptNameCut)) {
        sjis::writeField(s.PilotName, sjis::cutNameAtSeparator(pilot));
        sjis::writeField(s.ComputerName, sjis::cutNameAtSeparator(nickname));
    } else {
        sjis::writeField(s.PilotName, pilot);
        sjis::writeField(s.ComputerName, nickname);
    }
    sjis::writeField(s.PilotNameFull, pilot);

    std::string prefix = emblemPrefix(ak, side);
    sjis::writeField(s.EmblemPilotNameFull, prefix + std::string(pilot));
    sjis::writeField(s.PilotLabel, prefix + std::string(sjis::readField(s.PilotName)));
    sjis::writeField(s.ComputerLabel, prefix + std::string(sjis::readField(s.ComputerName)));

    std::string_view masterCall = sjis::readField(ak.Computer.MasterCall);
    sjis::writeField(s.MasterCallName,
                     masterCall.empty() ? std::string_view(cbt::DefaultMasterCall) : masterCall);

    s.TwoHandedSlot = -1;
    for (int i = 0; i < WeaponSlotCount; ++i) {
        const TAkWeapon& w = ak.Weapon[i];
        s.WeaponPresent[i] = sjis::readField(w.Name).empty() ? 0 : 1;
        s.WeaponBroken[i] = 0;
        if (s.WeaponPresent[i] && sjis::contains(sjis::readField(w.Mount), cbt::TwoHanded)) {
            s.TwoHandedSlot = i;
            s.HasTwoHandedWeapon = 1;
            int32_t grip = w.Reserved220;
            if (grip == 0) s.TwoHandedUnpaired = 1; // stays once set
        }
    }

    // Four bytes of program per computer level, never more than the field.
    int32_t level = ak.Computer.Level;
    int64_t limit = std::clamp<int64_t>(4 * int64_t{level}, 0, sizeof s.ProgramText - 1);
    sjis::writeField(s.ProgramText, sjis::cut(takeProgram(ak), static_cast<size_t>(limit)));

    s.ComputerDown = 1.0;
    s.SensorDown = 1.0;
    s.Movement = ak.Movement;
    s.EnginePower = ak.Engine.Power;
    int64_t maxTotal = 0;
    for (int i = 0; i < BodyPartCount; ++i) maxTotal += int32_t{ak.Frame.MaxDurability[i]};
    s.MaxDurabilityTotal = ak::wrap32(maxTotal);
    s.SensorAttack = ak.Sensor.Attack;
    s.SensorDefence = ak.Sensor.Defence;
    s.EndStateFlags = -1;
    return 0;
}

void ResetRoundState(CombatantState& s) {
    sjis::writeField(s.AttackWeaponText, "");
    sjis::writeField(s.ShieldHitName, "");
    sjis::writeField(s.ShieldStatusText, "");
    sjis::writeField(s.ParryText, "");
    sjis::writeField(s.WeaponHitName, "");
    sjis::writeField(s.StatusText, "");
    sjis::writeField(s.HitStatusText, "");
    s.RoundStartAttackDown = ak::saturate32(s.AttackDown);
    s.RoundStartEvasionDown = ak::saturate32(s.EvasionDown);
    s.RoundFlags = 0;
}

bool ParseDrainData(CombatantState& s) {
    const GameSettings& gs = Settings();
    std::string_view path = s.Side == 0 ? sjis::readField(gs.AkFile1) : sjis::readField(gs.AkFile2);
    if (path.empty()) return false;
    std::FILE* file = plat::openFile(path, "rb");
    if (!file) return false;
    bool found = ParseDrainData(s, file);
    std::fclose(file);
    return found;
}

bool ParseDrainData(CombatantState& s, std::FILE* file) {
    std::string line;
    while (readLine(file, line)) {
        if (line.compare(0, DrainMarker.size(), DrainMarker) != 0) continue;
        readDrainLine(s, std::string_view(line).substr(DrainMarker.size()));
        if (readLine(file, line)) {
            FieldReader reader(line);
            int32_t v = 0;
            for (int i = 0; i < 6 && reader.next(v); ++i) s.DrainInts[i] = v;
        }
        return true;
    }
    return false;
}

} // namespace cv
