// Table lines of the message-table templates.
#include "text/tablerows.h"

#include "base/sjis.h"
#include "text/fieldcodes.h"
#include "text/scanparam.h"

#include <algorithm>
#include <array>

namespace vtext {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string bounded(std::string_view text) {
    return sjis::cut(text, ComposedLimit);
}

// Appends under the row limit; false once the row is full.
bool appendRow(std::string& out, std::string_view piece) {
    size_t room = ComposedLimit - out.size();
    if (piece.size() <= room) {
        out.append(piece);
        return true;
    }
    out.append(piece.substr(0, sjis::cutLength(piece, room)));
    return false;
}

std::string field(const char* f, size_t size) {
    return std::string(sjis::readField(f, size));
}

std::string joinFour(const char (&words)[4][32]) {
    std::string s;
    for (int i = 0; i < 4; ++i) {
        if (i) s += ' ';
        s += sjis::readField(words[i]);
    }
    return s;
}

constexpr int AnnouncerColumns = 4;
constexpr int MsgColumns = 13;

// The column texts of one row; a null record is a filler row.
std::vector<std::string> announcerColumns(const AnnouncerEntry* e, int rowNumber) {
    std::vector<std::string> c(AnnouncerColumns);
    if (e) {
        c[0] = field(e->Id, sizeof e->Id);
        c[1] = field(e->Path, sizeof e->Path);
        c[2] = field(e->Name, sizeof e->Name);
    }
    c[3] = std::to_string(rowNumber); // fillers keep the running number
    return c;
}

std::vector<std::string> msgColumns(const MsgEntry* e, int rowNumber) {
    std::vector<std::string> c(MsgColumns);
    if (!e) return c;
    c[0] = field(e->Id, sizeof e->Id);
    c[1] = field(e->Path, sizeof e->Path);
    c[2] = joinFour(e->Trigger);
    c[3] = joinFour(e->Words);
    for (int i = 0; i < 4; ++i) {
        c[4 + static_cast<size_t>(i)] = sjis::readField(e->Trigger[i]);
        c[8 + static_cast<size_t>(i)] = sjis::readField(e->Words[i]);
    }
    c[12] = std::to_string(rowNumber);
    return c;
}

int boundedCount(int count, int max, const void* records) {
    if (!records) return 0;
    return std::clamp(count, 0, max);
}

} // namespace

TableLayout readTableLayout(std::string_view layout) {
    TableLayout s;
    std::array<int32_t, MaxColumns> columns{};
    std::vector<ScanTarget> targets{scanNumberTarget(s.rows), scanTextTarget(s.head),
                                    scanTextTarget(s.format), scanTextTarget(s.foot)};
    for (int32_t& c : columns) targets.push_back(scanNumberTarget(c));
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
    std::string out;
    size_t next = 0;
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            size_t len = sjis::charLength(format, i);
            if (!appendRow(out, format.substr(i, len))) return out;
            i += len;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            if (!appendRow(out, "%")) return out;
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
            if (!appendRow(out, "%")) return out;
            ++i;
            continue;
        }
        std::string_view arg = next < args.size() ? std::string_view(args[next]) : std::string_view();
        ++next;
        if (hasPrecision) arg = arg.substr(0, sjis::cutLength(arg, precision));
        std::string pad(width > arg.size() ? width - arg.size() : 0, ' ');
        bool ok =
            left ? appendRow(out, arg) && appendRow(out, pad) : appendRow(out, pad) && appendRow(out, arg);
        if (!ok) return out;
        i = j + 1;
    }
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
    int index = 1; // slot 0 is never listed
    int rowNumber = 1;
    while (index <= count) {
        appendTextLines(out, layout.head);
        for (int r = 0; r < perBlock; ++r, ++rowNumber) {
            const bool filler = index > count;
            std::vector<std::string> columns;
            if (kind == TableKind::Announcers)
                columns = announcerColumns(filler ? nullptr : &tables.announcers[index], rowNumber);
            else
                columns = msgColumns(filler ? nullptr : &msgs[index], rowNumber);
            if (!filler) ++index;
            std::vector<std::string> args;
            for (int32_t c : layout.columns)
                args.push_back(c >= 0 && static_cast<size_t>(c) < columns.size()
                                   ? columns[static_cast<size_t>(c)]
                                   : std::string());
            appendTextLines(out, formatRow(layout.format, args));
        }
        appendTextLines(out, layout.foot);
        out += "\r\n";
    }
}

} // namespace vtext
