// The computer's program commands for movement and weapon choice.
#include "core/program.h"

#include "base/sjis.h"
#include "core/dice.h"
#include "core/module.h"
#include "core/templates.h"
#include "platform/paths.h"
#include "sjis/program_text.h"

#include <string>
#include <string_view>

namespace cv {

namespace {

constexpr int CommandLine = 70; // computer template line of a program command

bool digitIn(char c, char low, char high) {
    return c >= low && c <= high;
}

int32_t band1To9(char arg) {
    return digitIn(arg, '1', '9') ? arg - '0' : 1;
}

int32_t clampBand(int32_t band) {
    return band < 1 ? 1 : band > 9 ? 9 : band;
}

bool anyAmmunition(const TArmoredKnight& ak) {
    for (const TAkWeapon& w : ak.Weapon)
        if (w.AmmoLeft > 0) return true;
    return false;
}

// The side's computer says line 70 with %A the command in full width.
void narrateCommand(GameMessageBuffer& buffer, const CombatantState& s, std::string_view command) {
    int side = s.Side == 1 ? 1 : 0;
    uint32_t kind = KindComputer1 + side;
    buffer.CurrentKind = kind;
    std::string full = sjis::han2Zen(command);
    std::string line = ExpandMessageSlots(TemplateLine(2 + side, CommandLine), {full});
    Narrate(buffer, line, sjis::readField(s.ComputerLabel), kind);
}

// Strike code 1..4 of a weapon command's argument (8 left punch, 7 right
// punch, 0 left kick, 9 right kick) and the limb it needs; 0 for others.
int strikeCode(char arg, int& part) {
    switch (arg) {
    case '8':
        part = PartLeftArm;
        return 1;
    case '7':
        part = PartRightArm;
        return 2;
    case '0':
        part = PartLeftLeg;
        return 3;
    case '9':
        part = PartRightLeg;
        return 4;
    default:
        return 0;
    }
}

} // namespace

int32_t ProgramMoveCommand(TArmoredKnight& ak, GameMessageBuffer& buffer, CombatantState& s) {
    std::string program(sjis::readField(s.ProgramText));
    int32_t level = ak.Computer.Level;
    int32_t sought = 0;
    std::string used;
    size_t pos = 0;
    while (sought == 0 && pos + 1 < program.size()) { // a trailing odd byte is no command
        char letter = plat::asciiUpper(program[pos]);
        char arg = program[pos + 1];
        std::string command = program.substr(pos, 2);
        if (letter == '@' && level >= 1) {
            sought = GeneralRandom() % 9 + 1;
        } else if (letter == 'G' && level >= 1) {
            int slot = digitIn(arg, '1', '6') ? arg - '1' : 0;
            if (s.WeaponPresent[slot] && ak.Weapon[slot].AmmoLeft > 0) {
                sought = clampBand(ak.ExtraValues[slot]);
            } else {
                QueueTraceMessage(buffer, FormatText(pgt::VoidWeaponCommand, slot + 1));
                program.erase(pos, 2);
                continue; // the next command moved up to this position
            }
        } else if (letter == 'L' && level >= 1) {
            sought = band1To9(arg);
        } else if (letter == 'N' && level >= 2) {
            if (!anyAmmunition(ak)) sought = band1To9(arg);
        } else if (digitIn(letter, '0', '9') && level >= 2) {
            sought = clampBand(letter - '0');
            int32_t count = band1To9(arg);
            if (count > 1) {
                program[pos + 1] = static_cast<char>('0' + count - 1);
            } else {
                program.erase(pos, 2);
                QueueTraceMessage(buffer, FormatText(pgt::RepeatCommandDone, letter - '0'));
            }
        }
        if (sought != 0)
            used = command;
        else
            pos += 2;
    }
    sjis::writeField(s.ProgramText, program);
    if (sought > 0) {
        narrateCommand(buffer, s, used);
        QueueTraceMessage(buffer, FormatText(pgt::MoveTarget, sought));
    }
    return sought;
}

void ProgramWeaponCommand(TArmoredKnight& ak, GameMessageBuffer& buffer, CombatantState& s) {
    s.WeaponChosen = 0;
    int32_t level = ak.Computer.Level;
    int32_t mode = s.ActionMode;
    if (level < 3 || mode == -1) return;
    std::string program(sjis::readField(s.ProgramText));
    int32_t band = Settings().DistanceBand;
    for (size_t pos = 0; pos + 1 < program.size(); pos += 2) {
        if (plat::asciiUpper(program[pos]) != 'W') continue;
        char arg = program[pos + 1];
        int32_t chosen = -1;
        if (digitIn(arg, '1', '6')) {
            int k = arg - '1';
            const TAkWeapon& w = ak.Weapon[k];
            bool hits = band >= 1 && band <= WeaponDistanceCount && w.HitRate[band - 1] >= 1;
            if (s.WeaponPresent[k] && w.AmmoLeft >= 1 && hits) chosen = k;
        } else {
            int part = 0;
            int code = strikeCode(arg, part);
            if (code != 0 && band == 1 && ak.Frame.Durability[part] > 0) chosen = code + 10;
        }
        if (chosen < 0) continue; // stays for a later attack
        s.WeaponChosen = 1;
        s.ChosenSlot = chosen;
        program.erase(pos, 2);
        sjis::writeField(s.ProgramText, program);
        narrateCommand(buffer, s, std::string(1, 'W') + arg);
        QueueTraceMessage(buffer, FormatText(pgt::WeaponCommandDone, program.c_str()));
        return;
    }
}

} // namespace cv
