// Slot and placeholder expansion, the word tables and the text helpers.
#include "core/templates.h"

#include "base/sjis.h"
#include "base/textscan.h"
#include "core/emit.h"
#include "core/module.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace cv {

namespace {

template <size_t N> FieldRef ref(const char (&field)[N]) {
    return {field, N};
}

// Cuts a growing text back to `limit` bytes on a character boundary; true
// when something was cut (the text is full: nothing more may follow).
bool limitTo(std::string& text, size_t limit) {
    if (text.size() <= limit) return false;
    text.resize(sjis::cutLength(text, limit));
    return true;
}

void setNumber(char (&field)[32], int64_t value) {
    sjis::writeField(field, FullWidth(value));
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isSlotByte(char c) {
    return c == '%' || (c >= 'A' && c <= 'H');
}

// The first position >= from holding "%" or a slot letter, size when none.
// Sixteen bytes are tested at a time (GCC vector extensions: SSE2 or NEON).
size_t nextSlotByte(std::string_view s, size_t from) {
    using Bytes = unsigned char __attribute__((vector_size(16)));
    size_t p = from;
    for (; p + 16 <= s.size(); p += 16) {
        Bytes v;
        std::memcpy(&v, s.data() + p, sizeof v);
        Bytes hit = (v == '%') | ((v >= 'A') & (v <= 'H'));
        uint64_t halves[2];
        std::memcpy(halves, &hit, sizeof halves);
        if (halves[0] | halves[1]) break;
    }
    while (p < s.size() && !isSlotByte(s[p])) ++p;
    return p;
}

} // namespace

std::string_view FieldRef::Text() const {
    return Data ? sjis::readField(Data, Size) : std::string_view();
}

void SetupPlaceholderTables(TArmoredKnight* const aks[], CombatantState* const states[], int n) {
    PlaceholderTables& t = Module().Placeholders;
    t = PlaceholderTables{};
    for (int i = 0; i < std::min(n, 2); ++i) {
        if (!aks[i] || !states[i]) continue;
        TArmoredKnight& ak = *aks[i];
        CombatantState& s = *states[i];
        int64_t battles = ak.Pilot.Battles, wins = ak.Pilot.Wins, draws = ak.Pilot.Draws;
        setNumber(s.AgeText, ak.Pilot.Age);
        setNumber(s.BattlesText, battles);
        setNumber(s.WinsText, wins);
        setNumber(s.LossesText, battles - wins - draws);
        setNumber(s.DrawsText, draws);
        setNumber(s.DestroyedText, ak.Pilot.Destroyed);
        setNumber(s.KillsText, ak.Pilot.Kills);

        FieldRef* p = t.Pilot[i];
        p[0] = ref(ak.Pilot.Name);
        p[1] = ref(s.PilotName);
        p[2] = ref(ak.Pilot.Sex);
        p[3] = sjis::readField(ak.Pilot.ProfileSub).empty() ? ref(ak.Pilot.Sex) : ref(ak.Pilot.ProfileSub);
        p[4] = ref(ak.Pilot.History);
        p[5] = ref(ak.Pilot.Emblem);
        p[6] = ref(ak.Pilot.FirstPerson);
        p[7] = ref(s.AgeText);
        p[8] = ref(s.BattlesText);
        p[9] = ref(s.WinsText);
        p[10] = ref(s.LossesText);
        p[11] = ref(s.DestroyedText);
        p[12] = ref(s.KillsText);
        p[13] = ref(s.DrawsText);
        t.Ak[i][0] = ref(ak.AkName);
        t.Computer[i][0] = ref(ak.Computer.Nickname);
        t.Computer[i][1] = ref(ak.Computer.MasterCall);
        t.Computer[i][2] = ref(ak.Computer.ProfileSub);
        t.Team[i][0] = ref(ak.Owner.Name);
        t.Team[i][1] = ref(ak.Owner.Id);
        t.Team[i][2] = ref(ak.Owner.SubName);
        t.Team[i][3] = ref(ak.Team.Name);
    }
    GameSettings& gs = Settings();
    t.Stage[0] = ref(gs.StadiumName);
    t.Stage[1] = ref(gs.OrganiserName);
    t.Stage[2] = ref(gs.ChosenAnnouncer.Name);
}

std::string ExpandMessageSlots(std::string_view tmpl, std::span<const std::string_view> texts) {
    if (Option(OptMessagesOff)) return {};
    // Plain characters are copied in runs; the text is cut at the limit
    // after each piece, where the cut depends only on the bytes before it.
    // Without texts every letter stays: the template as it is.
    std::string out;
    if (texts.empty()) {
        out = tmpl;
        limitTo(out, ExpandedTextLimit);
        return out;
    }
    out.reserve(tmpl.size() + 64);
    size_t run = 0;
    size_t known = 0; // a character starts here
    for (size_t p = 0;;) {
        // The next "%" or slot letter that starts a character.
        p = nextSlotByte(tmpl, p);
        if (p >= tmpl.size()) break;
        if (!sjis::AtBoundaryFrom(tmpl, p, known)) {
            known = ++p;
            continue;
        }
        known = p;
        char c = tmpl[p];
        if (c == '%') {
            // A placeholder letter stays with its "%" for the later expansion.
            bool letter = p + 1 < tmpl.size() && tmpl[p + 1] >= 'A' && tmpl[p + 1] <= 'H';
            p += letter ? 2 : 1;
            continue;
        }
        out.append(tmpl.substr(run, p - run));
        size_t k = static_cast<size_t>(c - 'A');
        if (k < texts.size())
            out.append(texts[k]);
        else
            out += c;
        p += 1;
        run = p;
        if (limitTo(out, ExpandedTextLimit)) return out;
    }
    out.append(tmpl.substr(run));
    limitTo(out, ExpandedTextLimit);
    return out;
}

std::string ExpandMessageSlots(std::string_view tmpl, std::initializer_list<std::string_view> texts) {
    return ExpandMessageSlots(
        tmpl, std::span<const std::string_view>(texts.begin(), std::min<size_t>(texts.size(), 8)));
}

std::string ExpandPlaceholders(std::string_view text, uint32_t subject) {
    std::string out;
    ExpandPlaceholdersInto(out, text, subject);
    return out;
}

void ExpandPlaceholdersInto(std::string& out, std::string_view text, uint32_t subject) {
    out.clear();
    if (Option(OptMessagesOff)) return;
    const PlaceholderTables& t = Module().Placeholders;
    int own = (subject == 2 || subject == 4) ? 1 : 0;
    int other = 1 - own;
    // Plain characters are copied in runs, as in ExpandMessageSlots.
    out.reserve(text.size() + 64);
    size_t run = 0;
    for (size_t p = text.find('%'); p != std::string_view::npos; p = text.find('%', p)) {
        bool placeholder =
            p + 3 < text.size() && isDigit(text[p + 2]) && isDigit(text[p + 3]) && sjis::AtBoundary(text, p);
        const FieldRef* table = nullptr;
        int count = EntryCount;
        if (placeholder) {
            switch (text[p + 1]) {
            case 'p':
                table = t.Pilot[own];
                count = PilotEntryCount;
                break;
            case 'P':
                table = t.Pilot[other];
                count = PilotEntryCount;
                break;
            case 'a':
                table = t.Ak[own];
                break;
            case 'A':
                table = t.Ak[other];
                break;
            case 'c':
                table = t.Computer[own];
                break;
            case 'C':
                table = t.Computer[other];
                break;
            case 't':
                table = t.Team[own];
                break;
            case 'T':
                table = t.Team[other];
                break;
            case 'w':
                table = t.W[own];
                break;
            case 'W':
                table = t.W[other];
                break;
            case 's':
                table = t.Stage;
                break;
            default:
                break;
            }
        }
        if (!table) {
            ++p;
            continue;
        }
        out.append(text.substr(run, p - run));
        int index = (text[p + 2] - '0') * 10 + (text[p + 3] - '0');
        if (index < count) out.append(table[index].Text());
        p += 4;
        run = p;
        if (limitTo(out, ExpandedTextLimit)) return;
    }
    out.append(text.substr(run));
    limitTo(out, ExpandedTextLimit);
}

void ReplaceWords(std::string& text, const char (&words)[10][32], std::string_view replacement,
                  size_t limit) {
    for (const auto& field : words) {
        if (field[0] == '\0') continue;
        std::string_view word = sjis::readField(field);
        for (size_t pos = sjis::find(text, word); pos != sjis::npos;) {
            text.replace(pos, word.size(), replacement);
            size_t resume = pos + replacement.size();
            limitTo(text, limit);
            if (resume > text.size()) break;
            pos = sjis::find(text, word, resume);
        }
    }
}

void ApplyWordTable(int side, std::string& text, std::string_view pronoun) {
    if (side != 0 && side != 1) return;
    ReplaceWords(text, Settings().Words[side].MySelf, pronoun, MessageTextLimit);
}

std::string ReplaceBlanksWithTabs(std::string_view text) {
    std::string out;
    size_t held = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') {
            ++held;
        } else {
            out.append(held, ' ');
            held = 0;
            out += text[i];
        }
        if ((i + 1) % 8 == 0 && held > 0) {
            out += '\t';
            held = 0;
        }
    }
    out.append(held, ' ');
    return out;
}

std::string FitNameToWidth(std::string_view name, size_t width) {
    if (name.size() <= width) return std::string(name);
    bool convert = !Option(OptNoFullToHalf) && !Option(OptHtmlLog);
    std::string converted = convert ? sjis::zen2Han(name) : std::string(name);
    if (converted.size() <= width) return converted;
    std::string shortName = sjis::cutNameAtSeparator(name);
    if (shortName.size() <= width) return shortName;
    return sjis::cut(converted, width);
}

std::string CutString(std::string_view src, size_t n, bool keepWidth) {
    return sjis::cutString(src, n, keepWidth);
}

int32_t CutString(const char* src, char* dst, int32_t n, int32_t keepWidth) {
    return sjis::cutStringC(src, dst, n, keepWidth);
}

} // namespace cv
