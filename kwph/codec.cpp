// The message line codec and its width conversions (see codec.h). Table
// lookups match whole characters only: a table is a run of double-byte
// characters and a hit must start at an even offset.
#include "kwph/codec.h"

#include "sjis/codec_text.h"

#include <cstdint>
#include <cstring>

namespace kwp {

namespace {

static_assert(sizeof(kwt::Hiragana) - 1 == 2 * 55 && sizeof(kwt::Katakana) - 1 == 2 * 55);
static_assert(sizeof(kwt::Symbols) - 1 == 2 * 51 && sizeof(kwt::Letters) - 1 == 2 * 52);
static_assert(sizeof(kwt::WideAscii) - 1 == 2 * 95 && sizeof(kwt::WideKana) - 1 == 2 * 63);
static_assert(sizeof(kwt::Voiced) == sizeof(kwt::VoicedBase));
static_assert(sizeof(kwt::SemiVoiced) == sizeof(kwt::SemiVoicedBase));
static_assert(sizeof(kwt::SymbolWide) - 1 == 2 * (sizeof(kwt::SymbolNarrow) - 1));

constexpr char kToggleKata = 0x07;
constexpr char kLiteralNext = 0x08;
constexpr char kToggleLiteral = 0x09;

// Where each character of a table stands (the first place it has), looked
// up by its two bytes instead of by a walk of the table; built when
// compiling. The tables' characters all have lead bytes 0x81-0x83, so the
// index covers those three and any other lead is simply not in a table.
constexpr unsigned FirstIndexedLead = 0x81;
constexpr unsigned IndexedLeads = 3;

template <size_t N> constexpr bool leadsIndexed(const char (&table)[N]) {
    for (size_t i = 0; i + 1 < N - 1; i += 2) {
        unsigned a = static_cast<unsigned char>(table[i]);
        if (a < FirstIndexedLead || a >= FirstIndexedLead + IndexedLeads) return false;
    }
    return N / 2 <= 127;
}

template <size_t N> struct CharIndex {
    int8_t at[IndexedLeads * 256];

    constexpr explicit CharIndex(const char (&table)[N]) : at{} {
        for (int8_t& v : at) v = -1;
        for (size_t i = 0; i + 1 < N - 1; i += 2) {
            unsigned a = static_cast<unsigned char>(table[i]);
            unsigned b = static_cast<unsigned char>(table[i + 1]);
            int8_t& slot = at[(a - FirstIndexedLead) * 256 + b];
            if (slot < 0) slot = static_cast<int8_t>(i / 2);
        }
    }
    int find(unsigned char a, unsigned char b) const {
        if (a < FirstIndexedLead || a >= FirstIndexedLead + IndexedLeads) return -1;
        return at[(a - FirstIndexedLead) * 256 + b];
    }
};

// The index of the character a b in a table, or -1.
template <const auto& Table> int indexIn(unsigned char a, unsigned char b) {
    static_assert(leadsIndexed(Table));
    static constexpr CharIndex<sizeof Table> index(Table);
    return index.find(a, b);
}

template <size_t N> std::string_view charAt(const char (&table)[N], int index) {
    return std::string_view(table + 2 * index, 2);
}

// The text up to its first NUL.
std::string_view untilNul(std::string_view s) {
    size_t z = s.find('\0');
    return z == std::string_view::npos ? s : s.substr(0, z);
}

// Half-width katakana of position i of the kana tables: ヲ 0xA6, ァ..ッ
// 0xA7-0xAF, ア..ン 0xB1-0xDD.
char halfKana(int i) {
    if (i == 0) return static_cast<char>(0xA6);
    if (i < 10) return static_cast<char>(0xA6 + i);
    return static_cast<char>(0xB1 + (i - 10));
}

// The half-width form of one double-byte character, empty when it has none.
// `marks` keeps the voiced marks of voiced kana as separate bytes.
std::string narrowChar(unsigned char a, unsigned char b, bool marks) {
    int i;
    if ((i = indexIn<kwt::Hiragana>(a, b)) >= 0 || (i = indexIn<kwt::Katakana>(a, b)) >= 0)
        return std::string(1, halfKana(i));
    if ((i = indexIn<kwt::Letters>(a, b)) >= 0)
        return std::string(1, static_cast<char>(i < 26 ? 'A' + i : 'a' + i - 26));
    if ((i = indexIn<kwt::Digits>(a, b)) >= 0) return std::string(1, static_cast<char>('0' + i));
    if ((i = indexIn<kwt::SymbolWide>(a, b)) >= 0) return std::string(1, kwt::SymbolNarrow[i]);
    const bool voiced = (i = indexIn<kwt::Voiced>(a, b)) >= 0;
    if (voiced || (i = indexIn<kwt::SemiVoiced>(a, b)) >= 0) {
        std::string_view base = voiced ? charAt(kwt::VoicedBase, i) : charAt(kwt::SemiVoicedBase, i);
        std::string out =
            narrowChar(static_cast<unsigned char>(base[0]), static_cast<unsigned char>(base[1]), false);
        if (marks) out += static_cast<char>(voiced ? 0xDE : 0xDF);
        return out;
    }
    return {};
}

// The full-width form of a byte 0x20-0x7F or 0xA0-0xDF; empty for the bytes
// that have none (control bytes and 0xFF), which stay as they are.
std::string_view widenByte(unsigned char b) {
    if (b >= 0x20 && b <= 0x7E) return charAt(kwt::WideAscii, b - 0x20);
    if (b >= 0xA1 && b <= 0xDF) return charAt(kwt::WideKana, b - 0xA1);
    if (b == 0x7F || b == 0xA0) return "ff";
    return {};
}

std::string narrow(std::string_view text, bool marks) {
    std::string_view s = untilNul(text);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        if (!isCodecLead(b)) {
            out += s[i++];
            continue;
        }
        if (i + 1 >= s.size()) break;
        std::string n = narrowChar(b, static_cast<unsigned char>(s[i + 1]), marks);
        out += n.empty() ? std::string(s.substr(i, 2)) : n;
        i += 2;
    }
    return out;
}

} // namespace

std::string encodeLine(std::string_view text) {
    std::string_view s = untilNul(text);
    std::string out;
    out.reserve(2 * s.size());
    bool literal = false;
    bool kata = false;
    for (size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b >= 'A' && b <= 'F') {
            out += literal ? static_cast<char>(b) : static_cast<char>(b - 'A' + 1);
            ++i;
        } else if (isCodecLead(b)) {
            if (i + 1 >= s.size()) break;
            const unsigned char t = static_cast<unsigned char>(s[i + 1]);
            const bool hira = indexIn<kwt::Hiragana>(b, t) >= 0;
            const bool katakana = !hira && indexIn<kwt::Katakana>(b, t) >= 0;
            if (hira || katakana || indexIn<kwt::Symbols>(b, t) >= 0 || indexIn<kwt::Letters>(b, t) >= 0) {
                if (literal) out += kToggleLiteral;
                if ((hira && kata) || (katakana && !kata)) {
                    out += kToggleKata;
                    kata = katakana;
                }
                std::string n = narrowChar(b, t, false);
                out += n.empty() ? std::string(s.substr(i, 2)) : n;
                literal = false;
            } else {
                out.append(s.substr(i, 2));
            }
            i += 2;
        } else if (b < 0x20) {
            ++i;
        } else if (literal) {
            out += s[i++];
        } else if (i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x20 &&
                   static_cast<unsigned char>(s[i + 1]) <= 0x7F) {
            out += kToggleLiteral;
            out.append(s.substr(i, 2));
            literal = true;
            i += 2;
        } else {
            out += kLiteralNext;
            out += s[i++];
        }
    }
    return out;
}

std::string decodeLine(std::string_view stored, DecodeMode mode) {
    std::string_view s = untilNul(stored);
    std::string out;
    out.reserve(2 * s.size());
    bool literal = false;
    bool single = false;
    bool kata = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b >= 0x01 && b <= 0x06) {
            bool letter = mode == DecodeMode::Letters || (!literal && !single);
            out += letter ? static_cast<char>('A' + b - 1) : static_cast<char>(b);
            single = false;
        } else if (b == 0x07) {
            kata = !kata;
            single = false;
        } else if (b == 0x08) {
            single = true;
        } else if (b == 0x09) {
            literal = !literal;
            single = false;
        } else if (isCodecLead(b)) {
            if (i + 1 >= s.size()) break;
            out.append(s.substr(i, 2));
            ++i;
            single = false;
        } else if (literal || single) {
            out += static_cast<char>(b);
            single = false;
        } else {
            std::string_view wide = widenByte(b);
            if (wide.empty()) wide = s.substr(i, 1);
            int k;
            if (!kata && wide.size() == 2 &&
                (k = indexIn<kwt::Katakana>(static_cast<unsigned char>(wide[0]),
                             static_cast<unsigned char>(wide[1]))) >= 0)
                wide = charAt(kwt::Hiragana, k);
            out.append(wide);
            single = false;
        }
    }
    return out;
}

std::string plainText(std::string_view text) {
    std::string_view s = untilNul(text);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (isCodecLead(b)) {
            if (i + 1 >= s.size()) break;
            out.append(s.substr(i, 2));
            i += 2;
        } else {
            if (b >= 0x20) out += s[i];
            ++i;
        }
    }
    return out;
}

std::string exdbl(std::string_view text) {
    std::string_view s = untilNul(text);
    std::string out;
    out.reserve(2 * s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b < 0x20) {
            out += s[i++];
        } else if (isWideningLead(b)) {
            if (i + 1 >= s.size()) break;
            out.append(s.substr(i, 2));
            i += 2;
        } else {
            std::string_view wide = widenByte(b);
            out.append(wide.empty() ? s.substr(i, 1) : wide);
            ++i;
        }
    }
    return out;
}

std::string exsng(std::string_view text) {
    return narrow(text, false);
}

std::string exsingle(std::string_view text) {
    return narrow(text, true);
}

size_t cutOnCharacter(std::string_view text, size_t n, bool (*isLead)(unsigned char)) {
    size_t i = 0;
    while (i < text.size()) {
        size_t len = isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (i + len > n) break;
        i += len;
    }
    return i;
}

} // namespace kwp
