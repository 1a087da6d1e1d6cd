// The narration emitters of the fight. Every event a match step tells calls
// one emitter with the speaker and the message id (or the template line)
// the event selects. A message is fetched from the speaker's message set
// (the base set when the speaker's set lacks it): a pilot's id gets the
// pilot's variant digit (0 male, 1 female) and its generic first-person
// words become the pilot's own; a computer's message gets the AK's master
// call for the generic forms of address; an announcer's message is spoken
// after "「". The emitter then fills the message's slot letters and queues
// it under the speaker's label and kind. A message that no set holds is
// narrated as its not-found text, unchanged.
//
// Dice: an optional line draws one MessagePercent gate (OptionalLine); an
// announcer event line that names sides draws one call name per named side
// after its gate (PickCallName). Both draw only with narration on. The
// narration-order draws of the combat events (EmitMiss, EmitShieldDamage,
// EmitWeaponHit, EmitBodyHit) belong to the fight's own sequence and are
// drawn with narration off as well. Message variants come from the general
// random numbers and never move the dice.
#pragma once

#include "core/queue.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace cv {

using Slots = std::initializer_list<std::string_view>;

// Option 37 (MessagesOff) is off.
bool NarrationOn();

// The gate of an optional line: with narration on one d100, passed when it
// is at most MessagePercent; with narration off false, and nothing drawn.
bool OptionalLine(std::string_view id);

// How the announcer names side s: the AK's name when a d100 is above 50,
// else the pilot's name followed by "選手". Draws only with narration on.
std::string PickCallName(int side);

// A number in full-width digits.
std::string FullWidth(int64_t value);
// "「text」": a comment of an AK spoken as a line.
std::string Quoted(std::string_view text);

// ---- Speaker paths ----------------------------------------------------------
// The pilot (kind side + 1), the computer (side + 3) or the announcer (5,
// about side `about`) of a message id; nothing with narration off.
void PilotSays(GameMessageBuffer& buffer, int side, std::string_view id, Slots slots = {});
void ComputerSays(GameMessageBuffer& buffer, int side, std::string_view id, Slots slots = {});
void AnnouncerSays(GameMessageBuffer& buffer, int about, std::string_view id, Slots slots = {});
// The pilot speaks a text of its AK (a comment, already quoted).
void PilotSpeaks(GameMessageBuffer& buffer, int side, std::string_view text);

// Template lines: the pilot's table (4 + 2 × side + variant), the
// computer's (2 + side, with the master call applied), the announcer's (1)
// and the system table (0, kind 0, with the given speaker).
void PilotLine(GameMessageBuffer& buffer, int side, int line, Slots slots = {});
void ComputerLine(GameMessageBuffer& buffer, int side, int line, Slots slots = {});
void AnnouncerLine(GameMessageBuffer& buffer, int about, int line, Slots slots = {});
void SystemLine(GameMessageBuffer& buffer, int line, std::string_view speaker, Slots slots = {});

// The text of a template line with its slots filled (empty when the table
// is not loaded); empty with narration off.
std::string TemplateText(int table, int line, Slots slots = {});

// Message texts as fetched, without speaker or slots (the not-found text
// when no set has the message): an announcer message, a message of the
// base set, and the age message of side's pilot.
std::string AnnouncerMessage(std::string_view id);
std::string BasicMessage(std::string_view id);
std::string AgeMessage(int side);

// The announcer's path under another speaker label (the "ＳＥ" lines).
void AnnouncerSaysAs(GameMessageBuffer& buffer, int about, std::string_view speaker, std::string_view id,
                     Slots slots = {});

// Every non-empty form of address of the side (its computer set's, else
// GameSettings.Words[side].Master) replaced by the AK's Computer.MasterCall
// when that is not empty.
void ApplyMasterCall(int side, std::string& text);

// One check-log line, formatted only when the check log is on. The
// arguments are int or text: every number is cut to 32 bits by the caller.
template <class... Args>
requires((std::is_same_v<Args, int> ||
          std::is_same_v<Args, const char*>)&&...) void Trace(GameMessageBuffer& buffer, const char* format,
                                                              Args... args);
bool TraceOn();

// ---- Events -----------------------------------------------------------------

// The movement lines of one mover: the order draw y [N]; the action-plan
// lines (pilot, computer) before the announcer's move line when y <= 50,
// after it otherwise; then the approach lines (pilot, announcer, computer)
// unless the mover is out of action. Each line is optional.
struct MoveReport {
    int Side = 0;
    int Direction = 0;    // 1 toward a shorter distance, -1 farther, 0 held
    int32_t Move = 0;     // before the second mover's reduction
    int32_t MoveLoss = 0; // MovementDown truncated
    bool HoldsInitiative = false;
};
void EmitMovement(GameMessageBuffer& buffer, const MoveReport& move);

// The announcement of an attack: announcer, computer, pilot. The computer
// and the pilot may call the weapon by its catalog line ("M93A", "M99A");
// where no set has that line the computer says its general line and the
// pilot's general line is optional, so the pilot's gate is drawn only then.
void EmitDefensiveMove(GameMessageBuffer& buffer, int attacker);
void EmitAttackAnnouncement(GameMessageBuffer& buffer, int attacker, bool reflection);

// The lines of a miss: the announcer and the defender's computer, then the
// attacker's and the defender's pilot in the order of one draw (made with
// narration off too), then, after a malfunction, the attacker's computer
// and pilot.
void EmitMiss(GameMessageBuffer& buffer, int attacker, int defender, bool malfunction = false);

// The lines of a shield hit; `result` is the power beyond the shield's
// armour. Two order draws, with narration off too.
void EmitShieldDamage(GameMessageBuffer& buffer, int attacker, int defender, int slot, int32_t result);

// The lines of a weapon hit. One order draw, with narration off too.
struct WeaponHitReport {
    int Slot = 0;
    bool Destroyed = false; // the weapon broke
    bool Damaged = false;   // it kept a lowered armour
    bool Exploded = false;  // its ammunition exploded
    int Parry = 0;          // 0 no parry, 1 parried, 2 the parry failed
};
void EmitWeaponHit(GameMessageBuffer& buffer, int attacker, int defender, const WeaponHitReport& hit);

// The lines of a body hit. One order draw, with narration off too.
struct BodyHitReport {
    int Part = 5;
    int Code = 0; // 0 nothing lost, 1..6 part p + 1 destroyed, 11 the sensor lost
    int32_t Damage = 0;
};
void EmitBodyHit(GameMessageBuffer& buffer, int attacker, int defender, const BodyHitReport& hit);

// ---- Template of Trace --------------------------------------------------------

template <class... Args>
requires((std::is_same_v<Args, int> ||
          std::is_same_v<Args, const char*>)&&...) void Trace(GameMessageBuffer& buffer, const char* format,
                                                              Args... args) {
    if (!TraceOn()) return;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-security"
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    QueueTraceMessage(buffer, FormatText(format, args...));
#pragma GCC diagnostic pop
}

} // namespace cv
