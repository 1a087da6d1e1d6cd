// Naming, composing and writing the output AK data files, and deleting them.
#include "core/akoutput.h"
#include "core/emit.h"
#include "core/matchfiles.h"

#include "akdata/akfile.h"
#include "base/akparams.h"
#include "base/outputak.h"
#include "base/sjis.h"
#include "core/module.h"
#include "core/outputfault.h"
#include "core/queue.h"
#include "core/templates.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/interface_text.h"

#include <cctype>
#include <optional>
#include <unordered_map>
#include <vector>

namespace cv {

namespace {

std::string withSeparator(std::string_view folder) {
    std::string out(folder);
    if (out.empty() || !plat::endsWithSeparator(out)) out += '\\';
    return out;
}

// Whether the AK reader would take the line as the first record line: it
// stops skipping at the first line on which a number converts.
bool startsWithNumber(std::string_view line) {
    size_t p = 0;
    while (p < line.size() && std::isspace(static_cast<unsigned char>(line[p]))) ++p;
    if (p < line.size() && (line[p] == '-' || line[p] == '+')) ++p;
    return p < line.size() && line[p] >= '0' && line[p] <= '9';
}

// Splits bytes into lines without their CR LF (or LF) ends.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}
    bool next(std::string_view& line) {
        if (rest_.empty()) return false;
        size_t lf = rest_.find('\n');
        line = rest_.substr(0, lf);
        rest_.remove_prefix(lf == std::string_view::npos ? rest_.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    }

private:
    std::string_view rest_;
};

bool isResultMarker(std::string_view line) {
    return line.substr(0, ResultMarker.size()) == ResultMarker;
}

// The input file still reads as an AK data file.
bool readsAsAk(std::string_view path) {
    std::optional<std::string> bytes = plat::readWholeFile(path);
    if (!bytes) return false;
    TArmoredKnight probe{};
    return akdata::parseAkData(probe, *bytes) == akdata::LoadOk;
}

std::string_view partName(int32_t part) {
    static constexpr const char* names[BodyPartCount] = {ift::PartHead,     ift::PartLeftArm,
                                                         ift::PartRightArm, ift::PartLeftLeg,
                                                         ift::PartRightLeg, ift::PartBody};
    return part >= 0 && part < BodyPartCount ? std::string_view(names[part]) : std::string_view();
}

// How the match ended, as the third line of a result record tells it.
std::string resultNarrative(int32_t minutes) {
    const GameSettings& gs = Settings();
    ModuleState& m = Module();
    const int32_t result = gs.Result;
    const bool draw = result != 0 && result != 1;
    std::string text = std::string(ift::MinutesHead) + FullWidth(minutes) + ift::MinutesTail;
    if (gs.ImmobileDraw) {
        text += ift::ForcedEnd;
        if (draw) text += ift::AndDrawn;
        return text;
    }
    if (gs.TimeUpDecision) {
        text += ift::TimeUp;
        if (draw) text += ift::AndDrawn;
        return text;
    }
    if (draw) return text + ift::Drawn;
    if (!m.Ak[result] || !m.State[result] || !m.State[1 - result]) return text;

    const TArmoredKnight& w = *m.Ak[result];
    const CombatantState& ws = *m.State[result];
    const CombatantState& ls = *m.State[1 - result];
    std::string_view turbo = sjis::readField(w.Turbo.Name);
    if (!turbo.empty() && !sjis::contains(turbo, ift::AntiBeamField)) {
        int32_t boost = ws.ReactionBoost;
        text += boost >= 1 ? ift::TurboRunning : boost < 0 ? ift::TurboSpent : ift::TurboBefore;
    }
    text += sjis::readField(ws.CurrentAttack.Name);
    text += ift::By;
    std::string_view pierce = sjis::readField(gs.FinishPierceWeapon);
    std::string_view eject = sjis::readField(gs.FinishEjectWeapon);
    std::string_view induced = sjis::readField(gs.FinishInducedWeapon);
    if (!pierce.empty())
        text += std::string(pierce) + ift::Pierced;
    else if (!eject.empty())
        text += std::string(eject) + ift::EjectFailed;
    else if (!induced.empty())
        text += std::string(induced) + ift::Induced;
    int32_t part = gs.FinishPart;
    if (!partName(part).empty()) text += std::string(partName(part)) + ift::Destroyed;
    if (gs.SelfDestruct)
        text += ift::SelfDestructed;
    else if (ls.AkDestroyed)
        text += ift::Induced;
    if (!gs.SelfDestruct && (part == PartBody || ls.AkDestroyed)) {
        int32_t escapeRate = gs.EscapeRate;
        if (ls.PilotKilled) {
            text += ift::EscapeFailed;
            if (escapeRate > 0) text += ift::TransferFailed;
            text += ift::Died;
        } else if (ls.Escaped) {
            text += ift::EscapeSucceeded;
        } else {
            text += ift::Transferred;
        }
    }
    return text;
}

// Option 37 off for the length of a scope: the header line is expanded even
// when the match is narrated to no one.
class NarrationForced {
public:
    NarrationForced() : saved_(Settings().Options[OptMessagesOff]) { Settings().Options[OptMessagesOff] = 0; }
    ~NarrationForced() { Settings().Options[OptMessagesOff] = saved_; }
    NarrationForced(const NarrationForced&) = delete;
    NarrationForced& operator=(const NarrationForced&) = delete;

private:
    uint8_t saved_;
};

} // namespace

std::string GetReturnFileName(std::string_view akOutDir, std::string_view akFile) {
    plat::PathParts parts = plat::splitPath(akFile);
    std::string stem = withSeparator(akOutDir) + parts.name;
    if (plat::equalsIgnoreCase(parts.extension, ".dat") || Option(OptDa1Only)) return stem + ".da1";
    for (int n = 1; n < ak::MaxOutputAkNumber; ++n) {
        std::string candidate = stem + ".da" + std::to_string(n);
        if (!plat::fileExists(candidate)) return candidate;
    }
    return stem + ".da" + std::to_string(ak::MaxOutputAkNumber);
}

std::unique_ptr<plat::AtomicFile> OpenReturnAkFile(std::string_view path, plat::Durability durability) {
    auto file = std::make_unique<plat::AtomicFile>(path, plat::AtomicFile::SystemPath, durability);
    if (file->isOpen()) return file;
    ReportFailedFile(CannotCreateAkFile, path);
    return nullptr;
}

std::string ReturnFileHeader(uint16_t variant, std::string_view pilotName) {
    if (!Option(OptAddHeader)) return {};
    NarrationForced forced;
    std::string line = ExpandMessageSlots(TemplateLine(0, variant == 1 ? 7 : 6), {pilotName});
    return line + "\r\n\r\n";
}

bool CopyResultHistory(std::string& out, std::string_view inputPath) {
    std::optional<std::string> bytes = plat::readWholeFile(inputPath);
    return bytes && CopyResultHistoryFrom(out, *bytes);
}

bool CopyResultHistoryFrom(std::string& out, std::string_view bytes) {
    LineReader in(bytes);
    std::string_view line;
    // The records stand in front of the AK data: the search ends at its
    // first line.
    bool found = false;
    while (in.next(line)) {
        if (isResultMarker(line)) {
            found = true;
            break;
        }
        if (startsWithNumber(line)) return false;
    }
    if (!found) return false;
    // Consecutive records of three lines each. A line the AK reader would
    // take for the AK data is never copied: the output would not load.
    bool more = true;
    while (more && isResultMarker(line)) {
        out.append(line).append("\r\n");
        for (int i = 0; i < 2; ++i) {
            if (!in.next(line) || startsWithNumber(line)) {
                more = false;
                break;
            }
            out.append(line).append("\r\n");
        }
        if (more && !in.next(line)) more = false;
    }
    return true;
}

void WriteResultRecord(std::string& out, const CombatantState& state, const CombatantState& opponent,
                       int32_t minutes, std::string_view opponentOwner) {
    plat::clock::LocalTime t = plat::clock::localNow();
    out += FormatText("%s %04d/%02d/%02d %02d:%02d:%02d\r\n", std::string(ResultMarker).c_str(), t.year,
                      t.month, t.day, t.hour, t.minute, t.second);
    int32_t result = Settings().Result;
    uint32_t side = state.Side;
    const char* mark = result != 0 && result != 1              ? ift::MarkDraw
                       : static_cast<uint32_t>(result) == side ? ift::MarkWon
                                                               : ift::MarkLost;
    std::string opponentName(sjis::readField(opponent.PilotNameFull));
    out += FormatText(ift::ResultLine, mark, opponentName.c_str(), std::string(opponentOwner).c_str());
    out += "\r\n";
    out += resultNarrative(minutes);
    out += "\r\n\r\n";
}

void WriteAkDataText(std::string& out, const TArmoredKnight& ak, const CombatantState& state) {
    out += akdata::formatAkData(ak, akdata::AkFileStyle::GameProcessor);
    if (!Option(OptDrainContinues)) return;
    const GameSettings& gs = Settings();
    const int32_t values[15] = {ak::saturate32(state.AttackDown),
                                ak::saturate32(state.EvasionDown),
                                ak::saturate32(state.MovementDown),
                                ak::saturate32(state.ComputerDown),
                                ak::saturate32(state.SensorDown),
                                state.ReactionBoost,
                                state.BoostMinutesLeft,
                                state.AntiBeamField,
                                state.BindDistance,
                                gs.RoundCounter,
                                gs.DistanceBand,
                                state.TotalCr,
                                state.MachineValue,
                                gs.AnnouncerIndex,
                                state.BerserkAnnounced};
    out += "\"$DRAINDATA02$\"";
    for (int32_t v : values) {
        out += ',';
        out += std::to_string(v);
    }
    out += "\r\n";
    for (int i = 0; i < 6; ++i) {
        if (i > 0) out += ',';
        out += std::to_string(state.DrainInts[i]);
    }
    out += "\r\n";
}

std::array<ReturnAkFile, 2> WriteReturnAkFiles(std::string_view akOutDir, int32_t minutes) {
    std::array<ReturnAkFile, 2> files;
    ModuleState& m = Module();
    if (!Option(OptAkOutput)) return files;
    const GameSettings& gs = Settings();
    for (int side = 0; side < 2; ++side) {
        if (!m.Ak[side] || !m.State[side]) continue;
        TArmoredKnight& ak = *m.Ak[side];
        CombatantState& s = *m.State[side];
        const int other = 1 - side;
        s.BindDistance = 0;
        const int32_t totalCr = s.TotalCr, machineValue = s.MachineValue;
        s.TotalCr = 0;
        s.MachineValue = 0;

        std::string_view input = side == 0 ? sjis::readField(gs.AkFile1) : sjis::readField(gs.AkFile2);
        files[side].Path = GetReturnFileName(akOutDir, input);
        const std::string& path = files[side].Path;
        std::unique_ptr<plat::AtomicFile> file;
        ReplacedFile replaced;
        const bool replacesInput = plat::sameFile(path, input); // both there, one file
        // A file that replaces the entrant's own input is on the disk
        // before the match is over; the event's other output files are
        // made durable together when the event ends.
        const plat::Durability durability =
            replacesInput ? plat::Durability::Immediate : plat::Durability::Deferred;
        if (FailedFile().Message != 0) {
            // A match that has failed to write a file writes no more.
        } else if (replacesInput && !readsAsAk(input)) {
            ReportFailedFile(CannotCreateAkFile, path); // a player's file we cannot read stays
        } else {
            // A file of that name (an earlier match's, the entrant's own)
            // is kept aside until the match is over: a match that stops the
            // event gives the name back to it.
            replaced = SetAside(path);
            file = OpenReturnAkFile(path, durability);
        }
        if (file) {
            std::string text = ReturnFileHeader(s.MessageVariant, sjis::readField(s.PilotName));
            if (Option(OptBattleInfoInAk)) {
                int32_t matchData = ak.hasMatchData;
                if (matchData == 1) CopyResultHistory(text, input);
                if (m.State[other])
                    WriteResultRecord(text, s, *m.State[other], minutes,
                                      m.Ak[other] ? sjis::readField(m.Ak[other]->Owner.Name)
                                                  : std::string_view());
            }
            WriteAkDataText(text, ak, s);
            files[side].Written = file->write(text) && file->commit();
        }
        if (files[side].Written) {
            NoteMatchAkFile(path, std::move(replaced));
        } else {
            DropAside(replaced);
            if (file) ReportFailedFile(CannotCreateAkFile, path);
        }
        s.TotalCr = totalCr;
        s.MachineValue = machineValue;
    }
    // A failure took back the files written before it.
    if (FailedFile().Message != 0) files[0].Written = files[1].Written = false;
    return files;
}

void DeleteOutputAkFile(const std::string_view* paths, size_t count, std::string_view akOutDir) {
    // The listed stems (letter case ignored) with their input paths.
    std::unordered_map<std::string, std::vector<std::string_view>> stems;
    for (size_t i = 0; i < count; ++i) {
        std::string name = plat::splitPath(paths[i]).name;
        if (!name.empty()) stems[plat::upperCaseKey(name)].push_back(paths[i]);
    }
    if (stems.empty()) return;
    // The folder is listed once, from its index; each name is split at its
    // last dot ('.' is never a trail byte), its stem found by its key.
    std::string folder = withSeparator(akOutDir);
    for (const plat::FolderName& entry : plat::indexedFolderNames(folder)) {
        size_t dot = entry.Name.rfind('.');
        if (dot == std::string::npos || !ak::isOutputAkExtension(std::string_view(entry.Name).substr(dot)))
            continue;
        auto stem = stems.find(entry.Key.substr(0, dot));
        if (stem == stems.end()) continue;
        std::string path = folder + entry.Name;
        // An entrant may come from the output folder itself (the team
        // battle's next bout): its input is never an output to delete.
        bool listed = false;
        for (std::string_view input : stem->second) listed = listed || plat::sameFile(path, input);
        if (!listed && plat::isRegularFile(path)) plat::removeFile(path);
    }
}

} // namespace cv
