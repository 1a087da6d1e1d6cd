// Choosing and loading the message sets of a match (see msgsets.h).
#include "core/msgsets.h"

#include "base/confrecords.h"
#include "base/sjis.h"
#include "core/dice.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/msgsets_text.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace cv {

namespace {

constexpr int SetHeaderLines = 3;
constexpr int ArchiveTemplateLines = 80; // stored lines read, header included
constexpr size_t TemplateTextLimit = TemplateLineSize - 1;
constexpr int BaseSetFailure = 41009;
// Draws of a random announcer before the first usable entry is taken.
constexpr int AnnouncerDrawLimit = 100000;

// A table line := text (cut to 511 bytes and at a NUL).
void setLine(TemplateTable& table, int line, std::string_view text) {
    if (line < 1 || line >= TemplateLineCount) return;
    text = text.substr(0, sjis::cutLength(text, TemplateTextLimit));
    text = text.substr(0, text.find('\0'));
    // A line that already holds the text (a field is its text and zeros)
    // stays as it is.
    const char* field = table.Lines[line];
    if (std::memcmp(field, text.data(), text.size()) == 0 && field[text.size()] == '\0') return;
    sjis::writeField(table.Lines[line], text);
}

bool commentLine(std::string_view line) {
    return !line.empty() && (line[0] == '#' || line[0] == '/' || line[0] == ';');
}

bool isFolder(std::string_view path) {
    return !path.empty() && plat::endsWithSeparator(path);
}

// Message m (0-based) of a pilot set goes to the male table on even m and
// the female table on odd m, line m / 2 + 1; false past the last line.
bool pilotLine(int m, int* line) {
    *line = m / 2 + 1;
    return *line < TemplateLineCount;
}

// The loads. Each reads the source it keeps; Count is the number of header
// lines a file load skips, the lines an archive load reads.

const TextLines& linesOf(const TemplateLoad& load) {
    return *static_cast<const TextLines*>(load.Source.get());
}

const LoadedArchive& archiveOf(const TemplateLoad& load) {
    return *static_cast<const LoadedArchive*>(load.Source.get());
}

// A file's lines after its header: empty lines and comments skipped.
void writeFileLines(TemplateTable& table, const TemplateLoad& load) {
    const TextLines& lines = linesOf(load);
    int next = 1;
    for (size_t k = static_cast<size_t>(load.Count); k < lines.size() && next < TemplateLineCount; ++k) {
        const std::string& line = lines[k];
        if (line.empty() || commentLine(line)) continue;
        setLine(table, next++, line);
    }
}

// A pilot set file's messages of one variant: comments skipped, empty
// lines kept as empty messages.
void writePilotFileLines(TemplateTable& table, const TemplateLoad& load) {
    const TextLines& lines = linesOf(load);
    int m = 0, line = 0;
    for (size_t k = SetHeaderLines; k < lines.size(); ++k) {
        if (commentLine(lines[k])) continue;
        if (!pilotLine(m, &line)) return;
        if (m++ % 2 == load.Variant) setLine(table, line, lines[k]);
    }
}

// An archive entry's lines after its header (every line, or a pilot set's
// messages of one variant); a line stored empty leaves its table line.
void writeArchiveLines(TemplateTable& table, const TemplateLoad& load) {
    for (int k = SetHeaderLines; k < load.Count; ++k) {
        const std::string* text = archiveOf(load).decodedLine(
            static_cast<size_t>(load.Entry), static_cast<size_t>(k), load.Decoder, TemplateTextLimit);
        if (!text) break;
        int m = k - SetHeaderLines, line = m + 1;
        if (load.Variant >= 0 && (!pilotLine(m, &line) || m % 2 != load.Variant)) continue;
        if (!text->empty()) setLine(table, line, *text);
    }
}

void queueFileLines(std::shared_ptr<const TextLines> lines, int t, int skip) {
    if (!lines || lines->size() < static_cast<size_t>(skip)) return;
    TemplateLoad load;
    load.Write = writeFileLines;
    load.Count = skip;
    load.Source = std::move(lines);
    QueueTemplateLoad(t, std::move(load));
}

// A pilot set's lines after its header, into side's two pilot tables.
void queuePilotFileLines(std::shared_ptr<const TextLines> lines, int side) {
    if ((side != 0 && side != 1) || !lines) return;
    TemplateLoad load;
    load.Write = writePilotFileLines;
    load.Source = std::move(lines);
    for (int variant = 0; variant < 2; ++variant) {
        load.Variant = variant;
        QueueTemplateLoad(4 + 2 * side + variant, load);
    }
}

// Lines after `skip` header lines, as LoadTemplateFile takes them. The
// files are read once per event (CachedTextLines); every match loads their
// lines into its tables again, over the set lines of the match before.
void loadLines(std::string_view path, int t, int skip) {
    queueFileLines(CachedTextLines(path), t, skip);
}

// Entry `index` of `slot`'s archive, `lines` lines, into table t (every
// line) or side's two pilot tables.
void queueArchiveLines(int slot, int index, int lines, int t, int side) {
    TemplateLoad load;
    load.Write = writeArchiveLines;
    load.Source = MessageSlotAt(slot).Data;
    load.Decoder = Module().Messages.Decode;
    load.Entry = index;
    load.Count = std::min(lines, ArchiveTemplateLines);
    if (!load.Source) return;
    if (side < 0) {
        QueueTemplateLoad(t, std::move(load));
        return;
    }
    for (int variant = 0; variant < 2; ++variant) {
        load.Variant = variant;
        QueueTemplateLoad(4 + 2 * side + variant, load);
    }
}

// The message table as far as its arrays reach.
template <class T> std::span<const T> entries(const T* first, int32_t count, int32_t max) {
    if (!first || count < 0) return {};
    return std::span<const T>(first, static_cast<size_t>(std::min(count, max)) + 1);
}

std::span<const AnnouncerEntry> announcers() {
    const ModuleState& m = Module();
    return entries(m.Announcers, m.AnnouncerCount, MaxAnnouncerCount);
}
std::span<const MsgEntry> computers() {
    const ModuleState& m = Module();
    return entries(m.ComputerEntries, m.ComputerCount, MaxComputerCount);
}
std::span<const MsgEntry> pilots() {
    const ModuleState& m = Module();
    return entries(m.PilotEntries, m.PilotCount, MaxPilotCount);
}

// A set's archive, or its plain set file when the path is a folder or the
// archive cannot be read.
void loadSet(std::string_view path, int slot, const char* entry, int t) {
    if (!isFolder(path) && LoadMsgArchive(slot, path) == MsgOk) {
        LoadArchiveTemplate(entry, slot, t);
        return;
    }
    LoadSetFile(std::string(path) + entry + mst::SetFileSuffix, t);
    SetFolderSlot(slot, path);
}

// A byte-wise search, as the trigger words of the message table are
// matched.
bool containsBytes(std::string_view key, std::string_view word) {
    return key.find(word) != std::string_view::npos;
}

// The four words of an entry replace a side's word list for the match when
// any is given: the first four of ten, the others empty.
bool takeWords(const MsgEntry& e, char (&list)[10][32]) {
    bool any = false;
    for (const auto& w : e.Words) any = any || !sjis::readField(w).empty();
    if (!any) return false;
    for (auto& w : list) std::fill(std::begin(w), std::end(w), '\0');
    for (int i = 0; i < 4; ++i) sjis::writeField(list[i], sjis::readField(e.Words[i]));
    return true;
}

} // namespace

void LoadTemplateText(std::string_view bytes, int t) {
    queueFileLines(TextLinesOf(bytes), t, 0);
}

void LoadTemplateFile(std::string_view path, int t) {
    loadLines(path, t, 0);
}

void LoadSystemTemplates() {
    // Tables that share a file (the computers', the pilots') take it from
    // one look.
    FileCheckRound round;
    std::string_view paths[TemplateTableCount];
    std::shared_ptr<const TextLines> lines[TemplateTableCount];
    for (int t = 0; t < TemplateTableCount; ++t) {
        paths[t] = sjis::readField(Module().TemplatePath[t]);
        for (int u = 0; u < t && !lines[t]; ++u)
            if (paths[u] == paths[t]) lines[t] = lines[u];
        if (!lines[t]) lines[t] = CachedTextLines(paths[t]);
        queueFileLines(lines[t], t, 0);
    }
}

void LoadSetText(std::string_view bytes, int t) {
    queueFileLines(TextLinesOf(bytes), t, SetHeaderLines);
}

void LoadSetFile(std::string_view path, int t) {
    loadLines(path, t, SetHeaderLines);
}

void LoadPilotSetText(std::string_view bytes, int side) {
    queuePilotFileLines(TextLinesOf(bytes), side);
}

void LoadPilotSetFile(std::string_view path, int side) {
    queuePilotFileLines(CachedTextLines(path), side);
}

bool LoadArchiveTemplate(std::string_view entry, int slot, int t) {
    int lines = 0;
    int index = FindMsgEntry(slot, entry, &lines);
    if (index < 0) return false;
    queueArchiveLines(slot, index, lines, t, -1);
    return true;
}

bool LoadArchivePilotTemplates(int slot, int side) {
    if (side != 0 && side != 1) return false;
    int lines = 0;
    int index = FindMsgEntry(slot, mst::PilotFile, &lines);
    if (index < 0) return false;
    queueArchiveLines(slot, index, lines, 0, side);
    return true;
}

uint32_t LoadPlayMessages() {
    FileCheckRound round;
    ClearKwpTable();
    auto table = announcers();
    std::string base(table.empty() ? std::string_view() : sjis::readField(table[0].Path));
    if (isFolder(base)) {
        SetFolderSlot(SlotBasic, base);
    } else if (uint32_t r = LoadMsgArchive(SlotBasic, base); r != MsgOk) {
        plat::msg::showError(BaseSetFailure);
        return r;
    }
    ChooseAnnouncer();
    ChooseComputerMsg();
    ChoosePilotMsg();
    return MsgOk;
}

const WordList& FirstPersonWords(int side) {
    side = side == 1 ? 1 : 0;
    const SideWords& w = Module().Messages.Words[side];
    return w.HasMySelf ? w.MySelf : Settings().Words[side].MySelf;
}

const WordList& FormsOfAddress(int side) {
    side = side == 1 ? 1 : 0;
    const SideWords& w = Module().Messages.Words[side];
    return w.HasMaster ? w.Master : Settings().Words[side].Master;
}

void ChooseAnnouncer() {
    GameSettings& gs = Settings();
    auto table = announcers();
    int32_t count = static_cast<int32_t>(table.size()) - 1;
    auto usable = [&](int32_t k) { return k >= 0 && k <= count && !sjis::readField(table[k].Path).empty(); };
    int32_t k = gs.AnnouncerIndex;
    if (k == INT32_MIN) {
        // One of the first 50 entries at random; never a draw that cannot end.
        int32_t first = -1;
        for (int32_t i = 0; i <= count && first < 0; ++i)
            if (usable(i)) first = i;
        k = first;
        for (int n = 0; first >= 0 && n < AnnouncerDrawLimit; ++n) {
            int32_t drawn = GeneralRandom() % 50;
            if (usable(drawn)) {
                k = drawn;
                break;
            }
        }
    }
    if (k < 0 || k > count) k = 0;
    gs.ChosenAnnouncer = table.empty() ? AnnouncerEntry{} : table[static_cast<size_t>(k)];
    loadSet(sjis::readField(gs.ChosenAnnouncer.Path), SlotAnnouncer, mst::AnnouncerFile, 1);
    std::string_view name = sjis::readField(gs.ChosenAnnouncer.Name);
    if (Option(OptAnnouncerNameReplace) && !name.empty()) {
        sjis::writeField(gs.AnnouncerLabel, name);
        int32_t width = gs.NameWidth;
        gs.NameWidth = std::max<int32_t>(width, static_cast<int32_t>(name.size()));
    } else {
        sjis::writeField(gs.AnnouncerLabel, mst::AnnouncerLabel);
    }
}

void ChooseComputerMsg() {
    GameSettings& gs = Settings();
    ModuleState& m = Module();
    for (SideWords& w : m.Messages.Words) w.HasMaster = false;
    auto table = computers();
    MsgEntry base = table.empty() ? MsgEntry{} : table[0];
    bool matched[2];
    std::string_view key[2];
    for (int j = 0; j < 2; ++j) {
        gs.ComputerMsg[j] = base;
        key[j] = m.Ak[j] ? sjis::readField(m.Ak[j]->Computer.ProfileSub) : std::string_view();
        matched[j] = key[j].empty();
    }
    if (!Option(OptMessagesOff)) {
        for (size_t i = 1; i < table.size() && !(matched[0] && matched[1]); ++i) {
            const MsgEntry& e = table[i];
            if (sjis::readField(e.Path).empty()) continue;
            for (int j = 0; j < 2; ++j) {
                if (matched[j]) continue;
                for (const auto& trigger : e.Trigger) {
                    std::string_view t = sjis::readField(trigger);
                    if (t.empty() || !containsBytes(key[j], t)) continue;
                    gs.ComputerMsg[j] = e;
                    matched[j] = true;
                    m.Messages.Words[j].HasMaster = takeWords(e, m.Messages.Words[j].Master);
                    break;
                }
            }
        }
    }
    for (int j = 0; j < 2; ++j)
        loadSet(sjis::readField(gs.ComputerMsg[j].Path), SlotComputer1 + j, mst::ComputerFile, 2 + j);
}

void ChoosePilotMsg() {
    GameSettings& gs = Settings();
    ModuleState& m = Module();
    for (SideWords& w : m.Messages.Words) w.HasMySelf = false;
    auto table = pilots();
    // A pilot is female when its Sex names one of its side's female words;
    // side 1's list says which of the ten words are in use.
    for (int j = 0; j < 2; ++j) {
        if (!m.State[j]) continue;
        uint16_t variant = 0;
        std::string_view sex = m.Ak[j] ? sjis::readField(m.Ak[j]->Pilot.Sex) : std::string_view();
        for (int i = 0; i < 10; ++i) {
            std::string_view word = sjis::readField(gs.Words[j].Female[i]);
            if (sjis::readField(gs.Words[0].Female[i]).empty() || word.empty()) continue;
            if (sjis::contains(sex, word)) variant = 1;
        }
        m.State[j]->MessageVariant = variant;
    }
    MsgEntry base = table.empty() ? MsgEntry{} : table[0];
    bool matched[2] = {false, false};
    std::string_view key[2];
    for (int j = 0; j < 2; ++j) {
        gs.PilotMsg[j] = base;
        if (!m.Ak[j]) continue;
        key[j] = sjis::readField(m.Ak[j]->Pilot.ProfileSub);
        if (key[j].empty()) key[j] = sjis::readField(m.Ak[j]->Pilot.Sex);
    }
    if (!Option(OptMessagesOff)) {
        for (size_t i = 1; i < table.size() && !(matched[0] && matched[1]); ++i) {
            const MsgEntry& e = table[i];
            if (sjis::readField(e.Path).empty()) continue;
            for (const auto& trigger : e.Trigger) {
                std::string_view t = sjis::readField(trigger);
                if (t.empty()) continue;
                for (int j = 0; j < 2; ++j) {
                    if (matched[j] || !containsBytes(key[j], t)) continue;
                    gs.PilotMsg[j] = e;
                    matched[j] = true;
                }
            }
        }
    }
    for (int j = 0; j < 2; ++j) {
        std::string path(sjis::readField(gs.PilotMsg[j].Path));
        if (!isFolder(path)) {
            if (LoadMsgArchive(SlotPilot1 + j, path) == MsgOk) {
                LoadArchivePilotTemplates(SlotPilot1 + j, j);
                continue;
            }
            // A set that cannot be read: the side speaks the base set.
            gs.PilotMsg[j] = base;
            matched[j] = false;
            path = std::string(sjis::readField(base.Path));
        }
        LoadPilotSetFile(path + mst::PilotFile + mst::SetFileSuffix, j);
        SetFolderSlot(SlotPilot1 + j, path);
    }
    for (int j = 0; j < 2; ++j) {
        if (matched[j]) {
            m.Messages.Words[j].HasMySelf = takeWords(gs.PilotMsg[j], m.Messages.Words[j].MySelf);
        } else {
            bool female = m.State[j] && m.State[j]->MessageVariant == 1;
            sjis::writeField(gs.PilotMsg[j].Id, female ? mst::BasicPilotFemale : mst::BasicPilotMale);
        }
    }
}

} // namespace cv
