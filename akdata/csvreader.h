// Line-level reading of AK data files: the line source, the head scan that
// finds the first record line, and ReadCsvFields, the tokenizer of one
// comma-separated record.
//
// The tokenizer is the system's own, not a general CSV parser: a '"' starts a
// text that runs to the next '"' (over line ends, which are dropped), a digit
// or '-' starts a number ('+' is no sign, "-" alone is 0, "1.5" is two
// numbers, the byte after a number is skipped), and every other byte is
// passed over. Each target carries its kind: a text meeting a number target,
// or a number meeting a text target, is neither stored nor counted, and the
// next field takes the next target.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace akdata {

// The lines of a file held in memory, split as the shared line reader splits
// a file: at LF, one CR before it dropped, a last line without LF counted.
// Lines are whole whatever their length.
class LineSource {
public:
    explicit LineSource(std::string_view bytes) : bytes_(bytes) {}
    // False at the end of the bytes with nothing read. The line points into
    // the bytes, with no copy.
    bool next(std::string_view& line);
    // How many bytes the lines read so far took, line ends included.
    size_t position() const { return pos_; }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

// sscanf(line, "%ld,%ld") in the C locale: white space before each number
// and an optional sign pass, the comma must follow the first number at once
// ("5 ,3" converts one number). Returns -1 when the line (up to a NUL) holds
// nothing but white space, else the count of numbers converted, 0 to 2.
// Values beyond the i32 range saturate.
int scanHead(std::string_view line, int32_t& first, int32_t& second);

enum class CsvKind { Number, Text };

struct CsvField {
    CsvKind kind;
    int32_t number = 0;
    std::string text; // the whole quoted text, up to WideTextSize - 1 bytes
};

// Quoted texts are taken into a buffer of this size before they are split
// and cut to their fields, so a composite text keeps its tail.
inline constexpr size_t WideTextSize = 512;

// Reads one record from the next line into the targets. Returns the number
// of fields stored, -1 when no line could be read or the file ended inside
// a quoted text. Numbers saturate at the i32 range.
int readCsvFields(LineSource& in, std::span<CsvField> fields);

// One record read with a pattern of targets: 'q' a quoted text, 'n' a number.
// A pattern is a literal of at most MaxFields targets (the longest record
// line of an AK data file has 14), checked when compiled; the targets are
// kept in the record itself, so reading a record allocates nothing for them.
class CsvRecord {
public:
    static constexpr size_t MaxFields = 16;
    template <size_t N> CsvRecord(LineSource& in, const char (&pattern)[N]) {
        static_assert(N - 1 <= MaxFields, "a record pattern holds at most MaxFields targets");
        read(in, std::string_view(pattern, N - 1));
    }
    int count() const { return count_; }
    int32_t num(size_t i) const { return i < size_ ? fields_[i].number : 0; }
    std::string_view text(size_t i) const {
        return i < size_ ? std::string_view(fields_[i].text) : std::string_view();
    }

private:
    void read(LineSource& in, std::string_view pattern);

    std::array<CsvField, MaxFields> fields_{};
    size_t size_ = 0;
    int count_ = 0;
};

} // namespace akdata
