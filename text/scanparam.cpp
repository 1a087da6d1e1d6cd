// The layout reader of the table lines.
#include "text/scanparam.h"

#include "base/sjis.h"

#include <cstdint>
#include <utility>

namespace vtext {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The first unfilled target of the kind, or -1. The search goes on from
// where the last one of the kind ended: the targets it passed are filled or
// of the other kind, and stay so.
int nextTarget(std::span<const ScanTarget> targets, const std::vector<bool>& filled, bool wantText,
               size_t& from) {
    for (; from < targets.size(); ++from) {
        if (filled[from]) continue;
        if (wantText ? targets[from].text != nullptr : targets[from].number != nullptr)
            return static_cast<int>(from);
    }
    return -1;
}

} // namespace

int _vsscanparam(std::string_view text, std::span<const ScanTarget> targets, std::vector<bool>* filledOut) {
    std::vector<bool> filled(targets.size(), false);
    int count = 0;
    int usable = 0;
    for (const ScanTarget& t : targets)
        if (t.text || t.number) ++usable;
    size_t nextText = 0;
    size_t nextNumber = 0;
    size_t i = 0;
    while (i < text.size() && count < usable) {
        char c = text[i];
        if (c == '"') {
            size_t start = ++i;
            while (i < text.size() && text[i] != '"') i += sjis::charLength(text, i);
            std::string_view value = text.substr(start, i - start);
            if (i < text.size()) ++i; // the closing quote
            int t = nextTarget(targets, filled, true, nextText);
            if (t >= 0) {
                targets[static_cast<size_t>(t)].text->assign(value);
                filled[static_cast<size_t>(t)] = true;
                ++count;
            }
        } else if (isDigit(c) || c == '-' || c == '%') {
            if (c == '%') ++i;
            bool negative = false;
            if (i < text.size() && text[i] == '-') {
                negative = true;
                ++i;
            }
            int64_t value = 0;
            while (i < text.size() && isDigit(text[i])) {
                if (value <= INT32_MAX) value = value * 10 + (text[i] - '0');
                ++i;
            }
            if (i < text.size()) i += sjis::charLength(text, i); // the byte after the digits
            if (negative) value = -value;
            if (value > INT32_MAX) value = INT32_MAX;
            if (value < INT32_MIN) value = INT32_MIN;
            int t = nextTarget(targets, filled, false, nextNumber);
            if (t >= 0) {
                *targets[static_cast<size_t>(t)].number = static_cast<int32_t>(value);
                filled[static_cast<size_t>(t)] = true;
                ++count;
            }
        } else {
            i += sjis::charLength(text, i);
        }
    }
    if (filledOut) *filledOut = std::move(filled);
    return count;
}

} // namespace vtext
