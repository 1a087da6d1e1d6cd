// Splitting and joining the composite texts of the AK data file.
#include "akdata/akcompose.h"

#include "base/akparams.h"
#include "base/sjis.h"
#include "sjis/aktext.h"

#include <algorithm>

namespace akdata {

namespace {

constexpr size_t npos = std::string_view::npos;

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int32_t parseDigits(std::string_view s) {
    int64_t v = 0;
    for (char c : s) v = std::min<int64_t>(v * 10 + (c - '0'), INT32_MAX);
    return static_cast<int32_t>(v);
}

// Finds open ... close (the first opening mark and the next closing one).
// When the text between is a number, blanks the whole part and stores it.
bool takeNumber(std::string& text, std::string_view open, std::string_view close, bool fullWidth,
                int32_t& value) {
    size_t a = sjis::find(text, open);
    if (a == npos) return false;
    size_t b = sjis::find(text, close, a + open.size());
    if (b == npos) return false;
    std::string_view inner = std::string_view(text).substr(a + open.size(), b - a - open.size());
    std::string digits = fullWidth ? sjis::zen2Han(inner) : std::string(inner);
    if (!allDigits(digits)) return false;
    value = parseDigits(digits);
    std::fill(text.begin() + a, text.begin() + b + close.size(), ' ');
    return true;
}

} // namespace

ParenParts splitParenthesised(std::string_view text) {
    size_t open = sjis::find(text, "(");
    size_t close = sjis::find(text, ")");
    if (open == npos || close == npos || open > close) return {std::string(text), {}};
    return {std::string(text.substr(0, open)), std::string(text.substr(open + 1, close - open - 1))};
}

std::string joinParenthesised(std::string_view main, std::string_view sub) {
    std::string s(main);
    if (!sub.empty()) {
        s += '(';
        s += sub;
        s += ')';
    }
    return s;
}

NicknameParts splitNickname(std::string_view text) {
    std::string_view slash(akt::Slash);
    size_t at = sjis::find(text, slash);
    if (at == npos) return {std::string(text), {}};
    return {std::string(text.substr(0, at)), std::string(text.substr(at + slash.size()))};
}

std::string joinNickname(std::string_view nickname, std::string_view tail) {
    std::string s(nickname);
    if (!tail.empty()) {
        s += akt::Slash;
        s += tail;
    }
    return s;
}

HistoryParts splitHistory(std::string_view text) {
    HistoryParts parts;
    std::string h(text);
    int32_t n = 0;
    if (takeNumber(h, akt::DrawsOpen, akt::DrawsClose, true, n)) parts.draws = n;
    if (takeNumber(h, "[", "]", false, n)) parts.draws = ak::wrap32(int64_t{parts.draws} + n);
    if (takeNumber(h, akt::KillsOpen, akt::KillsClose, true, n)) parts.kills = n;
    if (takeNumber(h, "(", ")", false, n)) parts.kills = ak::wrap32(int64_t{parts.kills} + n);
    std::string_view open(akt::EmblemOpen), close(akt::EmblemClose);
    size_t a = sjis::find(h, open);
    if (a != npos) {
        size_t b = sjis::find(h, close, a + open.size());
        if (b != npos) {
            parts.emblem = h.substr(a + open.size(), b - a - open.size());
            std::fill(h.begin() + a, h.begin() + b + close.size(), ' ');
        }
    }
    parts.history = std::string(sjis::trimField(h));
    return parts;
}

std::string joinHistory(std::string_view history, std::string_view emblem, int32_t draws, int32_t kills) {
    std::string s;
    if (!emblem.empty()) {
        s += akt::EmblemOpen;
        s += emblem;
        s += akt::EmblemClose;
    }
    s += history;
    s += akt::DrawsOpen;
    s += sjis::han2Zen(std::to_string(draws));
    s += akt::DrawsClose;
    s += akt::KillsOpen;
    s += sjis::han2Zen(std::to_string(kills));
    s += akt::KillsClose;
    return s;
}

std::string_view modeLetterRow(int entry) {
    if (entry >= 0 && entry <= 5) return "DEK";
    switch (entry) {
    case 7:
    case 8:
        return "D";
    case 9:
        return "DK";
    case 10:
        return "S";
    default:
        return {};
    }
}

int16_t stripModeLetter(std::string& text, std::string_view row) {
    if (row.empty() || text.size() < 2) return 0;
    // The last two characters, found by walking from the start.
    size_t last = npos, before = npos;
    for (size_t p = 0, len; (len = sjis::charLength(text, p)) != 0; p += len) {
        before = last;
        last = p;
    }
    if (before == npos || last != text.size() - 1 || before != text.size() - 2 || text[before] != '/')
        return 0;
    size_t pos = row.rfind(text[last]);
    if (pos == npos) return 0;
    text.resize(before);
    return static_cast<int16_t>(pos + 1);
}

std::string withModeLetter(std::string_view text, int16_t mode, std::string_view row) {
    std::string s(text);
    if (mode >= 1 && static_cast<size_t>(mode) <= row.size()) {
        s += '/';
        s += row[static_cast<size_t>(mode) - 1];
    }
    return s;
}

} // namespace akdata
