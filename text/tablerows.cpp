// Table lines of the message-table templates.
#include "text/tablerows.h"

#include "base/sjis.h"
#include "text/fieldcodes.h"
#include "text/scanparam.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>

namespace vtext {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string bounded(std::string_view text) {
    return sjis::cut(text, ComposedLimit);
}

// Appends n spaces under the row limit; false once the row is full.
bool appendSpaces(std::string& out, size_t n) {
    size_t room = ComposedLimit - out.size();
    out.append(std::min(n, room), ' ');
    return n <= room;
}

// The row format with its "%s" filled from args in order, appended to out
// (which holds nothing but this row). Text between conversions goes in as
// one run that ends at the next '%' on a character boundary, so its cut at
// the limit falls where a copy of one character at a time would stop.
void appendFormatted(std::string& out, std::string_view format, std::span<const std::string_view> args) {
    size_t next = 0;
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            const size_t end = std::min(sjis::find(format, "%", i), format.size());
            if (!appendBounded(out, format.substr(i, end - i))) return;
            i = end;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            if (!appendBounded(out, "%")) return;
            i += 2;
            continue;
        }
        size_t j = i + 1;
        bool left = false;
        while (j < format.size() && format[j] == '-') {
            left = true;
            ++j;
        }
        size_t width = 0;
        while (j < format.size() && isDigit(format[j]))
            width = std::min<size_t>(width * 10 + (format[j++] - '0'), ComposedLimit);
        bool hasPrecision = false;
        size_t precision = 0;
        if (j < format.size() && format[j] == '.') {
            hasPrecision = true;
            ++j;
            while (j < format.size() && isDigit(format[j]))
                precision = std::min<size_t>(precision * 10 + (format[j++] - '0'), ComposedLimit);
        }
        if (j >= format.size() || format[j] != 's') {
            // Not a text conversion: the '%' is plain text.
            if (!appendBounded(out, "%")) return;
            ++i;
            continue;
        }
        std::string_view arg = next < args.size() ? args[next] : std::string_view();
        ++next;
        if (hasPrecision) arg = arg.substr(0, sjis::cutLength(arg, precision));
        const size_t pad = width > arg.size() ? width - arg.size() : 0;
        bool ok = left ? appendBounded(out, arg) && appendSpaces(out, pad)
                       : appendSpaces(out, pad) && appendBounded(out, arg);
        if (!ok) return;
        i = j + 1;
    }
}

void joinFour(std::string& s, const char (&words)[4][32]) {
    s.clear();
    for (int i = 0; i < 4; ++i) {
        if (i) s += ' ';
        s += sjis::readField(words[i]);
    }
}

constexpr int AnnouncerColumns = 4;
constexpr int MsgColumns = 13;

// The column texts of one row, kept from row to row so that their buffers
// are reused; a null record is a filler row.
struct RowColumns {
    std::array<std::string_view, MsgColumns> text{};
    size_t count = 0;
    std::string joined[2];
    std::string number;
};

void announcerColumns(RowColumns& c, const AnnouncerEntry* e, int rowNumber) {
    c.count = AnnouncerColumns;
    c.text.fill({});
    if (e) {
        c.text[0] = sjis::readField(e->Id);
        c.text[1] = sjis::readField(e->Path);
        c.text[2] = sjis::readField(e->Name);
    }
    c.number = std::to_string(rowNumber); // fillers keep the running number
    c.text[3] = c.number;
}

void msgColumns(RowColumns& c, const MsgEntry* e, int rowNumber) {
    c.count = MsgColumns;
    c.text.fill({});
    if (!e) return;
    c.text[0] = sjis::readField(e->Id);
    c.text[1] = sjis::readField(e->Path);
    joinFour(c.joined[0], e->Trigger);
    joinFour(c.joined[1], e->Words);
    c.text[2] = c.joined[0];
    c.text[3] = c.joined[1];
    for (int i = 0; i < 4; ++i) {
        c.text[4 + static_cast<size_t>(i)] = sjis::readField(e->Trigger[i]);
        c.text[8 + static_cast<size_t>(i)] = sjis::readField(e->Words[i]);
    }
    c.number = std::to_string(rowNumber);
    c.text[12] = c.number;
}

int boundedCount(int count, int max, const void* records) {
    if (!records) return 0;
    return std::clamp(count, 0, max);
}

} // namespace

TableLayout readTableLayout(std::string_view layout) {
    TableLayout s;
    std::array<int32_t, MaxColumns> columns{};
    std::array<ScanTarget, 4 + MaxColumns> targets{scanNumberTarget(s.rows), scanTextTarget(s.head),
                                                   scanTextTarget(s.format), scanTextTarget(s.foot)};
    for (size_t i = 0; i < columns.size(); ++i) targets[4 + i] = scanNumberTarget(columns[i]);
    std::vector<bool> filled;
    _vsscanparam(layout, targets, &filled);
    for (size_t i = 0; i < columns.size(); ++i)
        if (filled[4 + i]) s.columns.push_back(columns[i]);
    s.head = bounded(s.head);
    s.format = bounded(s.format);
    s.foot = bounded(s.foot);
    return s;
}

std::string formatRow(std::string_view format, const std::vector<std::string>& args) {
    std::vector<std::string_view> views(args.begin(), args.end());
    std::string out;
    appendFormatted(out, format, views);
    return out;
}

bool tableLineKind(std::string_view line, TableKind& kind) {
    if (line.size() < 2 || line[0] != '!') return false;
    switch (line[1]) {
    case 'A':
        kind = TableKind::Announcers;
        return true;
    case 'C':
        kind = TableKind::Computers;
        return true;
    case 'P':
        kind = TableKind::Pilots;
        return true;
    default:
        return false;
    }
}

void WriteTableRows(std::string& out, std::string_view layoutText, TableKind kind,
                    const MessageTables& tables) {
    TableLayout layout = readTableLayout(layoutText);
    if (layout.columns.empty()) return;
    const MsgEntry* msgs = nullptr;
    int count = 0;
    switch (kind) {
    case TableKind::Announcers:
        count = boundedCount(tables.announcerCount, MaxAnnouncers, tables.announcers);
        break;
    case TableKind::Computers:
        msgs = tables.computers;
        count = boundedCount(tables.computerCount, MaxComputers, msgs);
        break;
    case TableKind::Pilots:
        msgs = tables.pilots;
        count = boundedCount(tables.pilotCount, MaxPilots, msgs);
        break;
    }
    const int perBlock = layout.rows < 1 ? std::max(count, 1) : std::min<int>(layout.rows, MaxRowsPerBlock);
    RowColumns columns;
    std::vector<std::string_view> args(layout.columns.size());
    std::string row;
    // The filler rows of the computer and pilot tables hold no text at all,
    // so they are alike: written once, then copied.
    std::optional<std::string> msgFiller;
    int index = 1; // slot 0 is never listed
    int rowNumber = 1;
    while (index <= count) {
        appendTextLines(out, layout.head);
        for (int r = 0; r < perBlock; ++r, ++rowNumber) {
            const bool filler = index > count;
            const bool msgFillerRow = filler && kind != TableKind::Announcers;
            if (msgFillerRow && msgFiller) {
                out += *msgFiller;
                continue;
            }
            if (kind == TableKind::Announcers)
                announcerColumns(columns, filler ? nullptr : &tables.announcers[index], rowNumber);
            else
                msgColumns(columns, filler ? nullptr : &msgs[index], rowNumber);
            if (!filler) ++index;
            for (size_t a = 0; a < args.size(); ++a) {
                const int32_t c = layout.columns[a];
                args[a] = c >= 0 && static_cast<size_t>(c) < columns.count
                              ? columns.text[static_cast<size_t>(c)]
                              : std::string_view();
            }
            row.clear();
            appendFormatted(row, layout.format, args);
            if (msgFillerRow) {
                appendTextLines(msgFiller.emplace(), row);
                out += *msgFiller;
            } else {
                appendTextLines(out, row);
            }
        }
        appendTextLines(out, layout.foot);
        out += "\r\n";
    }
}

} // namespace vtext
