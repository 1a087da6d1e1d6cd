// The line source, the head scan and the record tokenizer of AK data files.
#include "akdata/csvreader.h"

#include "base/sjis.h"

#include <algorithm>

namespace akdata {

namespace {

// Digits accumulate up to here; anything larger saturates anyway.
constexpr int64_t DigitCap = int64_t{1} << 33;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int32_t saturated(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// One "%ld" conversion at p (white space already skipped): optional sign,
// then at least one digit. False on a matching failure.
bool scanLong(std::string_view s, size_t& p, int32_t& out) {
    size_t q = p;
    bool negative = false;
    if (q < s.size() && (s[q] == '+' || s[q] == '-')) negative = s[q++] == '-';
    if (q >= s.size() || !isDigit(s[q])) return false;
    int64_t v = 0;
    for (; q < s.size() && isDigit(s[q]); ++q) v = std::min(v * 10 + (s[q] - '0'), DigitCap);
    out = saturated(negative ? -v : v);
    p = q;
    return true;
}

} // namespace

bool LineSource::next(std::string_view& line) {
    line = {};
    if (pos_ >= bytes_.size()) return false;
    size_t end = bytes_.find('\n', pos_);
    if (end == std::string_view::npos) {
        line = bytes_.substr(pos_);
        pos_ = bytes_.size();
    } else {
        line = bytes_.substr(pos_, end - pos_);
        pos_ = end + 1;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}

int scanHead(std::string_view line, int32_t& first, int32_t& second) {
    std::string_view s = line.substr(0, line.find('\0'));
    size_t p = 0;
    while (p < s.size() && isCSpace(s[p])) ++p;
    if (p == s.size()) return -1;
    if (!scanLong(s, p, first)) return 0;
    if (p >= s.size() || s[p] != ',') return 1;
    ++p;
    while (p < s.size() && isCSpace(s[p])) ++p;
    if (!scanLong(s, p, second)) return 1;
    return 2;
}

int readCsvFields(LineSource& in, std::span<CsvField> fields) {
    std::string_view line;
    if (!in.next(line)) return -1;
    int count = 0;
    size_t target = 0;
    size_t p = 0;
    std::string joined; // a quoted text that runs over line ends
    while (p < line.size()) {
        char c = line[p];
        if (c == '"') {
            if (target >= fields.size()) break; // no target left: the record ends
            std::string_view text;
            ++p;
            // '"' is never a trail byte, so a byte search finds the end.
            size_t close = line.find('"', p);
            if (close != std::string_view::npos) {
                text = line.substr(p, close - p);
                p = close + 1;
            } else {
                joined.assign(line.substr(p));
                for (;;) {
                    if (!in.next(line)) return -1;
                    close = line.find('"');
                    if (close != std::string_view::npos) break;
                    joined.append(line);
                }
                joined.append(line.substr(0, close));
                p = close + 1;
                text = joined;
            }
            CsvField& f = fields[target++];
            if (f.kind == CsvKind::Text) {
                f.text.assign(text.substr(0, sjis::cutLength(text, WideTextSize - 1)));
                ++count;
            }
        } else if (isDigit(c) || c == '-') {
            if (target >= fields.size()) break;
            bool negative = c == '-';
            if (negative) ++p;
            int64_t v = 0;
            for (; p < line.size() && isDigit(line[p]); ++p) v = std::min(v * 10 + (line[p] - '0'), DigitCap);
            ++p; // the byte after a number is passed over
            CsvField& f = fields[target++];
            if (f.kind == CsvKind::Number) {
                f.number = saturated(negative ? -v : v);
                ++count;
            }
        } else {
            ++p;
        }
    }
    return count;
}

void CsvRecord::read(LineSource& in, std::string_view pattern) {
    size_ = pattern.size();
    for (size_t i = 0; i < size_; ++i) fields_[i].kind = pattern[i] == 'q' ? CsvKind::Text : CsvKind::Number;
    count_ = readCsvFields(in, std::span<CsvField>(fields_.data(), size_));
}

} // namespace akdata
