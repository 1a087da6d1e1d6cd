// Shift-JIS text helpers: walking, cutting, bounded record fields, search,
// width conversion, name shortening and the fixed-width field scanner.
//
// The width conversion tables are built at compile time from the character
// tables of sjis_text.tbl (generated as Shift-JIS byte arrays), so the
// conversions need neither iconv nor start-up work.
#include "base/sjis.h"

#include "sjis/sjis_text.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace sjis {

namespace {

// ---- Conversion tables ------------------------------------------------------

template <size_t N> constexpr size_t charCount(const char (&)[N]) {
    return (N - 1) / 2;
}

// The i-th double-byte character of a table as (lead << 8) | trail.
constexpr uint16_t codeAt(const char* table, size_t i) {
    return static_cast<uint16_t>((static_cast<unsigned char>(table[2 * i]) << 8) |
                                 static_cast<unsigned char>(table[2 * i + 1]));
}

constexpr size_t kAsciiCount = 0x7F - 0x20;    // printable ASCII 0x20-0x7E
constexpr size_t kHalfKanaCount = 0xE0 - 0xA1; // half-width kana and marks 0xA1-0xDF
constexpr size_t kHiraganaCount = (0xAF - 0xA6 + 1) + (0xDD - 0xB1 + 1);

// Every table is a run of double-byte characters of the expected count.
static_assert(sizeof(sjt::AsciiFull) == 2 * kAsciiCount + 1);
static_assert(sizeof(sjt::KanaFull) == 2 * kHalfKanaCount + 1);
static_assert(sizeof(sjt::Hiragana) == 2 * kHiraganaCount + 1);
static_assert(sizeof(sjt::Voiced) == sizeof(sjt::VoicedBase) && sizeof(sjt::Voiced) % 2 == 1);
static_assert(sizeof(sjt::SemiVoiced) == sizeof(sjt::SemiVoicedBase) && sizeof(sjt::SemiVoiced) % 2 == 1);
static_assert(sizeof(sjt::BackslashFull) == 3);
static_assert(sizeof(sjt::QuoteFull) % 2 == 1 && sizeof(sjt::ApostropheFull) % 2 == 1);

// Full-width code of each single byte, 0 when it has none.
constexpr std::array<uint16_t, 256> kFull = [] {
    std::array<uint16_t, 256> a{};
    for (size_t i = 0; i < kAsciiCount; ++i) a[0x20 + i] = codeAt(sjt::AsciiFull, i);
    for (size_t i = 0; i < kHalfKanaCount; ++i) a[0xA1 + i] = codeAt(sjt::KanaFull, i);
    return a;
}();

// Half-width form of one double-byte character: one byte, or a kana byte and
// its voiced mark.
struct HalfForm {
    uint16_t code;
    uint8_t len;
    uint8_t bytes[2];
};

constexpr size_t kHalfCount = kAsciiCount + kHalfKanaCount + kHiraganaCount + charCount(sjt::Voiced) +
                              charCount(sjt::SemiVoiced) + charCount(sjt::BackslashFull) +
                              charCount(sjt::QuoteFull) + charCount(sjt::ApostropheFull);

constexpr std::array<HalfForm, kHalfCount> buildHalfForms() {
    std::array<HalfForm, kHalfCount> a{};
    size_t k = 0;
    auto single = [&](uint16_t code, unsigned b) { a[k++] = {code, 1, {static_cast<uint8_t>(b), 0}}; };
    // The half-width byte of an already entered single-byte form; 0 if none.
    auto halfOf = [&](uint16_t code) -> uint8_t {
        for (size_t i = 0; i < k; ++i)
            if (a[i].code == code && a[i].len == 1) return a[i].bytes[0];
        return 0;
    };
    for (size_t i = 0; i < kAsciiCount; ++i) single(codeAt(sjt::AsciiFull, i), 0x20 + i);
    for (size_t i = 0; i < kHalfKanaCount; ++i) single(codeAt(sjt::KanaFull, i), 0xA1 + i);
    size_t h = 0;
    for (unsigned b = 0xA6; b <= 0xAF; ++b) single(codeAt(sjt::Hiragana, h++), b);
    for (unsigned b = 0xB1; b <= 0xDD; ++b) single(codeAt(sjt::Hiragana, h++), b);
    for (size_t i = 0; i < charCount(sjt::Voiced); ++i)
        a[k++] = {codeAt(sjt::Voiced, i), 2, {halfOf(codeAt(sjt::VoicedBase, i)), 0xDE}};
    for (size_t i = 0; i < charCount(sjt::SemiVoiced); ++i)
        a[k++] = {codeAt(sjt::SemiVoiced, i), 2, {halfOf(codeAt(sjt::SemiVoicedBase, i)), 0xDF}};
    single(codeAt(sjt::BackslashFull, 0), '\\');
    for (size_t i = 0; i < charCount(sjt::QuoteFull); ++i) single(codeAt(sjt::QuoteFull, i), '"');
    for (size_t i = 0; i < charCount(sjt::ApostropheFull); ++i) single(codeAt(sjt::ApostropheFull, i), '\'');
    std::sort(a.begin(), a.end(), [](const HalfForm& x, const HalfForm& y) { return x.code < y.code; });
    return a;
}

constexpr std::array<HalfForm, kHalfCount> kHalf = buildHalfForms();

// Every entry is a double-byte code with a half-width byte (a voiced base
// found), and no code is listed twice.
constexpr bool halfFormsSound() {
    for (size_t i = 0; i < kHalf.size(); ++i) {
        if (!isLead(static_cast<unsigned char>(kHalf[i].code >> 8)) || kHalf[i].bytes[0] == 0) return false;
        if (i > 0 && kHalf[i - 1].code == kHalf[i].code) return false;
    }
    return true;
}
static_assert(halfFormsSound());

const HalfForm* findHalf(uint16_t code) {
    auto it = std::lower_bound(kHalf.begin(), kHalf.end(), code,
                               [](const HalfForm& f, uint16_t c) { return f.code < c; });
    return it != kHalf.end() && it->code == code ? &*it : nullptr;
}

constexpr std::string_view kSeparators(sjt::NameSeparators, sizeof(sjt::NameSeparators) - 1);

// End of the character walk from pos when it first reaches or passes target.
size_t walkTo(std::string_view s, size_t pos, size_t target) {
    while (pos < target && pos < s.size()) pos += charLength(s, pos);
    return pos;
}

std::string_view trimRightBlanks(std::string_view t) {
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return t;
}

std::string_view cstr(const char* s) {
    return s ? std::string_view(s) : std::string_view();
}

int putC(char* dst, const std::string& s) {
    std::memcpy(dst, s.data(), s.size());
    dst[s.size()] = '\0';
    return static_cast<int>(s.size());
}

} // namespace

bool isBoundary(std::string_view s, size_t pos) {
    return pos <= s.size() && walkTo(s, 0, pos) == pos;
}

// ---- Cut ------------------------------------------------------------------

size_t cutLength(std::string_view s, size_t n) {
    if (n >= s.size()) return s.size();
    // A byte that is no lead byte ends a character (it is a single-byte
    // character or a trail byte), so the walk from the start passes the
    // position after the last such byte before n: the walk starts there
    // instead of at 0, and long texts are cut without walking them whole.
    size_t p = n;
    while (p > 0 && isLead(static_cast<unsigned char>(s[p - 1]))) --p;
    for (size_t len; (len = charLength(s, p)) != 0 && p + len <= n;) p += len;
    return p;
}

std::string cut(std::string_view s, size_t n) {
    return std::string(s.substr(0, cutLength(s, n)));
}

// ---- Fields ---------------------------------------------------------------

std::string_view readField(const char* field, size_t size) {
    if (!field) return {};
    const void* nul = std::memchr(field, '\0', size);
    return std::string_view(field, nul ? static_cast<const char*>(nul) - field : size);
}

size_t writeField(char* field, size_t size, std::string_view text) {
    if (!field || size == 0) return 0;
    text = text.substr(0, text.find('\0'));
    size_t len = cutLength(text, size - 1);
    if (len > 0) std::memmove(field, text.data(), len); // data() may be null when empty
    std::memset(field + len, 0, size - len);
    return len;
}

// ---- Search ---------------------------------------------------------------

namespace {

// Whether needle lies at boundary p of hay and also ends on a boundary (a
// needle ending in a lone lead byte must not match half a character).
bool matchAt(std::string_view hay, size_t p, std::string_view needle) {
    return hay.compare(p, needle.size(), needle) == 0 &&
           walkTo(hay, p, p + needle.size()) == p + needle.size();
}

} // namespace

size_t rfind(std::string_view hay, std::string_view needle) {
    if (needle.empty()) return npos;
    size_t last = npos;
    for (size_t p = 0; p < hay.size(); p += charLength(hay, p))
        if (matchAt(hay, p, needle)) last = p;
    return last;
}

size_t findFirstOf(std::string_view hay, std::string_view chars, size_t from) {
    // The first bytes of the characters looked for: a character of hay that
    // starts with none of them is passed without walking `chars`.
    bool lead[256] = {};
    for (size_t q = 0, clen; (clen = charLength(chars, q)) != 0; q += clen)
        lead[static_cast<unsigned char>(chars[q])] = true;
    for (size_t p = 0, len; (len = charLength(hay, p)) != 0; p += len) {
        if (p < from || !lead[static_cast<unsigned char>(hay[p])]) continue;
        std::string_view ch = hay.substr(p, len);
        for (size_t q = 0, clen; (clen = charLength(chars, q)) != 0; q += clen)
            if (chars.substr(q, clen) == ch) return p;
    }
    return npos;
}

std::string replaceAll(std::string_view hay, std::string_view needle, std::string_view repl) {
    if (needle.empty()) return std::string(hay);
    std::string out;
    out.reserve(hay.size());
    for (size_t p = 0, len; (len = charLength(hay, p)) != 0;) {
        if (matchAt(hay, p, needle)) {
            out.append(repl);
            p += needle.size();
        } else {
            out.append(hay.substr(p, len));
            p += len;
        }
    }
    return out;
}

// ---- Width conversions and names ------------------------------------------

std::string han2Zen(std::string_view src) {
    std::string out;
    out.reserve(src.size() * 2);
    for (size_t p = 0, len; (len = charLength(src, p)) != 0; p += len) {
        uint16_t full = len == 1 ? kFull[static_cast<unsigned char>(src[p])] : 0;
        if (full) {
            out += static_cast<char>(full >> 8);
            out += static_cast<char>(full & 0xFF);
        } else {
            out.append(src.substr(p, len));
        }
    }
    return out;
}

std::string zen2Han(std::string_view src) {
    std::string out;
    out.reserve(src.size());
    for (size_t p = 0, len; (len = charLength(src, p)) != 0; p += len) {
        const HalfForm* half = len == 2 ? findHalf(codeAt(src.data() + p, 0)) : nullptr;
        if (half)
            out.append(reinterpret_cast<const char*>(half->bytes), half->len);
        else
            out.append(src.substr(p, len));
    }
    return out;
}

std::string cutNameAtSeparator(std::string_view src) {
    return std::string(src.substr(0, findFirstOf(src, kSeparators)));
}

std::string cnvNameStr(std::string_view src, size_t n) {
    if (src.size() <= n) return std::string(src);
    std::string half = zen2Han(src);
    if (half.size() <= n) return half;
    std::string name = cutNameAtSeparator(src);
    if (name.size() <= n) return name;
    half.resize(cutLength(half, n));
    return half;
}

std::string cutString(std::string_view src, size_t n, bool keepWidth) {
    if (src.size() <= n) return std::string(src);
    return keepWidth ? cut(src, n) : cut(zen2Han(src), n);
}

std::string_view trimField(std::string_view text) {
    text = trimRightBlanks(text);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return text;
}

// ---- Fixed-width fields ---------------------------------------------------

int32_t fixedInt(std::string_view field) {
    // Once the running value passes this bound it can never come back into
    // the int32_t range, so it is held there instead of overflowing.
    constexpr int64_t cap = int64_t{1} << 40;
    int64_t value = 0;
    bool negative = false;
    for (unsigned char b : field) {
        if (b == ' ' || b == 0x1A) continue;
        if (b == '-') {
            negative = true;
            continue;
        }
        value = std::clamp<int64_t>(value * 10 + (int64_t{b} - '0'), -cap, cap);
    }
    if (negative) value = -value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

size_t vsscanfix(std::string_view record, std::span<const ScanField> fields) {
    size_t pos = 0;
    for (const ScanField& f : fields) {
        std::string_view bytes = record.substr(pos, f.width); // shorter at the record's end
        pos += bytes.size();
        switch (f.kind) {
        case ScanKind::TrimmedText:
            if (f.text && f.textSize > 0) {
                bytes = bytes.substr(0, bytes.find('\0'));
                writeField(f.text, f.textSize,
                           trimRightBlanks(bytes.substr(0, cutLength(bytes, f.textSize - 1))));
            }
            break;
        case ScanKind::Text:
            writeField(f.text, f.textSize, bytes);
            break;
        case ScanKind::Integer:
            if (f.number) *f.number = fixedInt(bytes);
            break;
        }
    }
    return pos;
}

// ---- C-signature forms ----------------------------------------------------

int han2ZenC(const char* src, char* dst) {
    return dst ? putC(dst, han2Zen(cstr(src))) : 0;
}

int zen2HanC(const char* src, char* dst) {
    return dst ? putC(dst, zen2Han(cstr(src))) : 0;
}

int cnvNameStrC(const char* src, int n, char* dst) {
    if (dst) putC(dst, cnvNameStr(cstr(src), n < 0 ? 0 : static_cast<size_t>(n)));
    return 0;
}

int cutStringC(const char* src, char* dst, int n, int keepWidth) {
    return dst ? putC(dst, cutString(cstr(src), n < 0 ? 0 : static_cast<size_t>(n), keepWidth != 0)) : 0;
}

void cutNameAtSeparatorC(const char* src, char* dst) {
    if (dst) putC(dst, cutNameAtSeparator(cstr(src)));
}

void trimFieldC(char* text) {
    if (!text) return;
    std::string_view t = trimField(text);
    std::memmove(text, t.data(), t.size());
    text[t.size()] = '\0';
}

} // namespace sjis
