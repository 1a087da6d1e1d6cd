// The output channels of a match, the line folding and the three line
// writers (text, check, HTML), the HTML head and foot, and the flushes of a
// step's queued lines.
#include "core/logwriter.h"

#include "base/confrecords.h"
#include "base/sjis.h"
#include "base/textscan.h"
#include "core/matchfiles.h"
#include "core/module.h"
#include "core/outputfault.h"
#include "core/templates.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/syscolour.h"
#include "sjis/logwriter_text.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cv {

namespace {

constexpr std::string_view LineEnd = "\r\n";

// The kinds each log takes: the text and HTML logs 0-5, the check log the
// trace lines too; the other kinds reach no file.
bool inTextLog(uint32_t kind) {
    return kind <= KindAnnouncer;
}

bool inCheckLog(uint32_t kind) {
    return kind <= KindTrace;
}

bool noBreakBefore(std::string_view r, size_t k) {
    if (k + 1 >= r.size()) return false;
    std::string_view marks = lgw::NoBreakBefore;
    for (size_t p = 0; p + 1 < marks.size(); p += 2)
        if (r[k] == marks[p] && r[k + 1] == marks[p + 1]) return true;
    return false;
}

// The display colour of a kind as the HTML tag writes it: 0x00BBGGRR
// becomes 0xRRGGBB.
uint32_t tagColour(uint32_t colour) {
    // A system colour has no RGB value of its own: the HTML log takes the
    // standard scheme's.
    colour = plat::rgbOfColour(colour);
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

uint32_t kindColour(uint32_t kind) {
    const DisplaySettings& d = Module().Display;
    return kind < static_cast<uint32_t>(DisplayColourCount) ? tagColour(d.Colour[kind]) : 0;
}

std::string_view lineText(const GameMessageLine& line) {
    return sjis::readField(line.Text);
}

// `text` and a line end appended to `out`; a "\n" inside the text is a
// line end of its own (the bytes ChannelPutLine writes).
void appendLine(std::string& out, std::string_view text) {
    size_t from = 0;
    for (size_t p; (p = text.find('\n', from)) != std::string_view::npos; from = p + 1) {
        out.append(text.substr(from, p - from));
        out.append(LineEnd);
    }
    out.append(text.substr(from));
    out.append(LineEnd);
}

// The empty lines after a line.
void appendBlankLines(std::string& out, const GameMessageLine& line) {
    uint32_t n = std::min<uint32_t>(line.BlankLinesAfter, MaxBlankLinesAfter);
    for (uint32_t i = 0; i < n; ++i) out.append(LineEnd);
}

bool fitsWidth(uint32_t indent, int32_t width) {
    return indent > 0 && indent <= MaxSpeakerColumn && int64_t{width} - indent >= 2;
}

// The output lines of one queued text (see FoldLine), each given to `put`
// as it is built in `out`.
template <class Put>
void foldLines(std::string_view text, uint32_t indent, int32_t width, std::string& out, Put&& put) {
    if (!fitsWidth(indent, width)) {
        put(text);
        return;
    }
    size_t i = indent;
    if (text.size() <= i) return; // nothing after the speaker column
    std::string_view prefix = text.substr(0, i);
    std::string_view r = text.substr(i);
    size_t w = static_cast<size_t>(width);
    while (!r.empty()) {
        size_t k = r.size();
        if (i + r.size() > w) {
            k = w - i;
            if (!sjis::isBoundary(r, k)) k = w - i - 1;
            for (int pulled = 0; pulled < 2 && noBreakBefore(r, k); ++pulled) k += 2;
        }
        if (prefix.empty())
            out.assign(i, ' ');
        else
            out.assign(prefix);
        out += r.substr(0, std::min(k, r.size()));
        put(std::string_view(out));
        r.remove_prefix(std::min(k, r.size()));
        prefix = {};
    }
}

// The text and check writers' bytes of a line, appended to `out`: folded,
// each output line TAB-replaced with option 6 (a line without a usable
// speaker column is written as it stands), then its empty lines.
void appendPlain(std::string& out, const GameMessageLine& line) {
    bool tabs = Option(OptTabReplace) && fitsWidth(line.Indent, Settings().OutputColumns);
    LogChannels& logs = Module().Logs;
    foldLines(lineText(line), line.Indent, Settings().OutputColumns, logs.FoldScratch,
              [&](std::string_view folded) {
                  if (tabs)
                      appendLine(out, ReplaceBlanksWithTabs(folded));
                  else
                      appendLine(out, folded);
              });
    appendBlankLines(out, line);
}

void writePlain(OutputChannel& channel, const GameMessageLine& line) {
    if (!channel.Opened) return;
    std::string& plain = Module().Logs.PlainScratch;
    plain.clear();
    appendPlain(plain, line);
    ChannelWrite(channel, plain);
}

// The bytes the HTML text replaces: the blank (a pair of blanks becomes a
// full-width blank) and the three markup characters.
constexpr std::array<bool, 256> HtmlSpecial = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {' ', '&', '<', '>'}) t[c] = true;
    return t;
}();

// The first byte at or after `p` that HtmlSpecial holds; `n` when none.
// The log's text is mostly double-byte characters, so the bytes are looked
// at sixteen at a time where the processor allows.
size_t nextHtmlSpecial(const char* s, size_t p, size_t n) {
#if defined(__SSE2__)
    const __m128i blank = _mm_set1_epi8(' '), amp = _mm_set1_epi8('&'), lt = _mm_set1_epi8('<'),
                  gt = _mm_set1_epi8('>');
    for (; p + 16 <= n; p += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p));
        __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, blank), _mm_cmpeq_epi8(v, amp)),
                                   _mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, gt)));
        if (int mask = _mm_movemask_epi8(hit))
            return p + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (p < n && !HtmlSpecial[static_cast<unsigned char>(s[p])]) ++p;
    return p;
}

// The HTML text of a line (HtmlLineText) appended to `out`.
void appendHtmlText(std::string& out, std::string_view line) {
    // No replaced byte is a lead byte (nor NUL), so the scan looks for them
    // alone and tests each one found: one that starts no character is the
    // trail byte of the lead byte before it and stays as it is.
    const char* s = line.data();
    const size_t n = line.size();
    size_t from = 0; // copied up to here; a character boundary
    size_t p = 0;    // a character boundary at or after `from`
    while (true) {
        size_t q = nextHtmlSpecial(s, p, n);
        if (q >= n) break;
        if (!sjis::AtBoundaryFrom(line, q, p)) {
            p = q + 1;
            continue;
        }
        std::string_view replacement;
        switch (s[q]) {
        case ' ': {
            // A run of blanks: each pair becomes a full-width blank, an odd
            // one at the end stays.
            size_t end = q + 1;
            while (end < n && s[end] == ' ') ++end;
            if (end - q >= 2) {
                out.append(s + from, q - from);
                for (size_t k = 0; k < (end - q) / 2; ++k) out += std::string_view(lgw::FullWidthBlank);
                if ((end - q) % 2 == 1) out += ' ';
                from = end;
            }
            p = end;
            continue;
        }
        case '&':
            replacement = "&amp;";
            break;
        case '<':
            replacement = "&lt;";
            break;
        default:
            replacement = "&gt;";
            break;
        }
        out.append(s + from, q - from);
        out += replacement;
        p = from = q + 1;
    }
    out.append(s + from, n - from);
}

// SetChannelName for the coming step; a channel still open on another file
// (a step that did not finish) is closed, so this step never writes into
// it.
bool renameChannel(OutputChannel& channel, std::string_view base, std::string_view extension) {
    std::string previous = channel.FileName;
    bool named = SetChannelName(channel, base, extension);
    if (!named || channel.FileName != previous) {
        if (channel.Opened) CloseChannel(channel);
        channel.Failed = 0;
    }
    return named;
}

// The channel's stream, on FileName or the temporary file of the match's
// log; a file that cannot be opened leaves the channel closed.
void attachStream(OutputChannel& channel, std::FILE* stream) {
    channel.Stream = stream;
    channel.Opened = stream ? 1 : 0;
    // The channel holds what a step writes; the stream adds no buffer.
    if (stream) std::setvbuf(stream, nullptr, _IONBF, 0);
}

void openStream(OutputChannel& channel, std::string_view path, const char* mode) {
    attachStream(channel, plat::openFile(path, mode));
}

// Opens the channel's log for the current match (see OpenLogs): where the
// match writes it already; else, unless the match makes its logs anew
// (`create`), a log that is there, appended to in place; else a new file
// under a temporary name.
void openMatchLog(OutputChannel& channel, bool create) {
    const std::string& path = channel.FileName;
    if (const MatchFileSet::Log* log = FindMatchLog(path)) {
        openStream(channel, log->Temp.Path.empty() ? log->Path : log->Temp.Path, "ab");
        return;
    }
    if (std::optional<int64_t> length = create ? std::nullopt : plat::fileSize(path)) {
        openStream(channel, path, "ab");
        if (channel.Opened) NoteMatchLog(path, {}, *length);
        return;
    }
    std::FILE* stream = nullptr;
    if (std::optional<plat::TempFile> temp = plat::createTempFile(path, &stream)) {
        NoteMatchLog(path, *temp, -1);
        attachStream(channel, stream);
    }
}

// A log that could not be opened or written: reported as the match's
// failed file, which takes back what the match wrote there (the file cut
// back to what earlier matches wrote, or its temporary file removed) with
// the match's other files.
void failLog(OutputChannel& channel) {
    CloseChannel(channel);
    channel.Failed = 1;
    ReportFailedFile(CannotWriteOutput, channel.FileName);
}

// A log channel's step handed to its file (see EndLogStep).
void flushLog(OutputChannel& channel) {
    if (!ChannelFlush(channel)) failLog(channel);
}

std::string formatColour(const char* format, uint32_t value) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    return FormatText(format, static_cast<unsigned>(value));
#pragma GCC diagnostic pop
}

// The opening tag of a colour, formatted once per colour.
const std::string& colourTag(uint32_t colour) {
    auto& tags = Module().Logs.ColourTags;
    for (const auto& [value, tag] : tags)
        if (value == colour) return tag;
    tags.emplace_back(colour, formatColour(lgw::HtmlFontOpen, colour));
    return tags.back().second;
}

} // namespace

// ---- Channels ----------------------------------------------------------------

OutputChannel::OutputChannel() = default;

OutputChannel::~OutputChannel() {
    CloseChannel(*this);
}

std::string ChannelFileName(std::string_view base, std::string_view extension) {
    std::string name(base);
    size_t separator = plat::lastSeparator(name);
    size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    size_t dot = sjis::rfind(std::string_view(name).substr(nameStart), ".");
    if (dot != sjis::npos) name.resize(nameStart + dot);
    name += extension;
    return name;
}

bool SetChannelName(OutputChannel& channel, std::string_view base, std::string_view extension) {
    std::string name = ChannelFileName(base, extension);
    if (name.size() > MaxLogPath) {
        channel.FileName.clear();
        return false;
    }
    channel.FileName = std::move(name);
    return true;
}

void OpenChannel(OutputChannel& channel, bool create) {
    if (channel.Opened || channel.FileName.empty()) return;
    openStream(channel, channel.FileName, create ? "wb" : "ab");
}

void CloseChannel(OutputChannel& channel) {
    ChannelFlush(channel);
    if (channel.Stream) std::fclose(channel.Stream);
    if (channel.Append) {
        channel.Append.reset();
        if (!channel.Temp.Path.empty()) plat::removeTempFile(channel.Temp);
    }
    channel.Temp = {};
    channel.Stream = nullptr;
    channel.Opened = 0;
}

void ChannelWrite(OutputChannel& channel, std::string_view bytes) {
    if (!channel.Opened || bytes.empty()) return;
    if (channel.Append)
        channel.Append->write(bytes);
    else if (channel.Stream)
        channel.Pending += bytes;
}

bool ChannelFlush(OutputChannel& channel) {
    bool ok = true;
    if (channel.Stream && !channel.Pending.empty()) ok = plat::writeToStream(channel.Stream, channel.Pending);
    channel.Pending.clear();
    return ok;
}

void ChannelPutLine(OutputChannel& channel, std::string_view text) {
    if (!channel.Opened) return;
    if (channel.Append) {
        std::string bytes;
        appendLine(bytes, text);
        ChannelWrite(channel, bytes);
    } else if (channel.Stream) {
        appendLine(channel.Pending, text);
    }
}

void CloseEveryChannel() {
    LogChannels& logs = Module().Logs;
    for (OutputChannel* channel : {&logs.Text, &logs.Check, &logs.Html, &logs.Scene, &logs.Digest})
        CloseChannel(*channel);
}

void AbandonLogChannels() {
    LogChannels& logs = Module().Logs;
    for (OutputChannel* channel : {&logs.Text, &logs.Check, &logs.Html, &logs.Scene}) {
        channel->Pending.clear();
        CloseChannel(*channel);
        channel->Failed = 1;
    }
    CloseChannel(logs.Digest);
}

void OpenLogs(std::string_view logBase, LogOpen how) {
    LogChannels& logs = Module().Logs;
    if (how == LogOpen::Start) {
        CloseEveryChannel();
        for (OutputChannel* channel : {&logs.Text, &logs.Check, &logs.Html, &logs.Scene}) channel->Failed = 0;
    }
    if (!Option(OptLogOutput)) {
        if (how == LogOpen::Start) {
            GameSettings& gs = Settings();
            gs.Options[OptHtmlLog] = 0;
            gs.Options[Opt29] = 0;
        }
        return;
    }
    bool create = how == LogOpen::Start && !Option(OptAppendLog);
    auto open = [&](OutputChannel& channel, std::string_view extension) {
        // After a failed file the match writes no log.
        if (FailedFile().Message != 0) return;
        if (!renameChannel(channel, logBase, extension)) {
            // A path too long for a log: the file cannot be made.
            ReportFailedFile(CannotWriteOutput, ChannelFileName(logBase, extension));
            return;
        }
        if (channel.Failed) return;
        if (!channel.Opened) openMatchLog(channel, create);
        if (!channel.Opened) failLog(channel);
    };
    open(logs.Text, ".txt");
    if (Option(OptInternalInfo)) open(logs.Check, ".chk");
    if (Option(OptHtmlLog)) {
        open(logs.Html, ".htm");
        if (how != LogOpen::Step) WriteHtmlHeader(logs.Html, Module().Display.FontSize);
    }
    if (Option(Opt29)) open(logs.Scene, ".3ds");
}

void EndLogStep() {
    LogChannels& logs = Module().Logs;
    for (OutputChannel* channel : {&logs.Text, &logs.Check, &logs.Html, &logs.Scene}) flushLog(*channel);
}

void CloseLogs(bool htmlFooter) {
    LogChannels& logs = Module().Logs;
    if (htmlFooter) WriteHtmlFooter(logs.Html);
    EndLogStep();
    CloseChannel(logs.Text);
    CloseChannel(logs.Check);
    CloseChannel(logs.Html);
    CloseChannel(logs.Scene);
}

void SetTextLogName(std::string_view logBase) {
    renameChannel(Module().Logs.Text, logBase, ".txt");
}

// ---- Writers -----------------------------------------------------------------

std::vector<std::string> FoldLine(std::string_view text, uint32_t indent, int32_t width) {
    std::vector<std::string> out;
    std::string scratch;
    foldLines(text, indent, width, scratch, [&](std::string_view line) { out.emplace_back(line); });
    return out;
}

std::string HtmlLineText(std::string_view line) {
    std::string out;
    out.reserve(line.size() + 16);
    appendHtmlText(out, line);
    return out;
}

void WriteWrappedLine(OutputChannel& channel, const GameMessageLine& line) {
    if (!inTextLog(line.Kind)) return;
    writePlain(channel, line);
}

void WriteCheckLine(OutputChannel& channel, const GameMessageLine& line) {
    if (!inCheckLog(line.Kind)) return;
    writePlain(channel, line);
}

void WriteHtmlLine(OutputChannel& channel, const GameMessageLine& line) {
    if (!inTextLog(line.Kind)) return;
    LogChannels& logs = Module().Logs;
    uint32_t colour = kindColour(line.Kind);
    if (colour != logs.LastHtmlColour) {
        if (channel.NoColourYet)
            channel.NoColourYet = 0;
        else
            ChannelWrite(channel, lgw::HtmlFontClose);
        ChannelWrite(channel, colourTag(colour));
        logs.LastHtmlColour = colour;
    }
    if (!channel.Opened) return;
    std::string& html = logs.HtmlScratch;
    foldLines(lineText(line), line.Indent, Settings().OutputColumns, logs.FoldScratch,
              [&](std::string_view out) {
                  html.clear();
                  appendHtmlText(html, out);
                  ChannelPutLine(channel, html);
              });
    // The folded lines are written: their scratch text serves the blank
    // lines.
    html.clear();
    appendBlankLines(html, line);
    ChannelWrite(channel, html);
}

void WriteHtmlHeader(OutputChannel& channel, int32_t fontSize) {
    const DisplaySettings& d = Module().Display;
    ChannelPutLine(channel, lgw::HtmlHead1);
    ChannelPutLine(channel, lgw::HtmlHead2);
    ChannelPutLine(channel, formatColour(lgw::HtmlHead3, tagColour(d.Colour[7])));
    ChannelPutLine(channel, lgw::HtmlHead4);
    ChannelPutLine(channel, lgw::HtmlHead5);
    ChannelPutLine(channel, lgw::HtmlHead6);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    ChannelPutLine(channel, FormatText(lgw::HtmlHead7, fontSize / 3 * 3));
#pragma GCC diagnostic pop
    ChannelPutLine(channel, lgw::HtmlHead8);
    ChannelPutLine(channel, lgw::HtmlHead9);
    ChannelPutLine(channel, lgw::HtmlHead10);
    ChannelPutLine(channel, lgw::HtmlHead11);
    ChannelPutLine(channel, lgw::HtmlHead12);
    channel.NoColourYet = 1;
    Module().Logs.LastHtmlColour = 0;
}

void WriteHtmlFooter(OutputChannel& channel) {
    ChannelPutLine(channel, lgw::HtmlFoot1);
    ChannelPutLine(channel, lgw::HtmlFoot2);
    ChannelPutLine(channel, lgw::HtmlFoot3);
}

// ---- Flushes -----------------------------------------------------------------

namespace {

uint32_t lineCount(const GameMessageBuffer& buffer) {
    return std::min<uint32_t>(buffer.Count, MessageLineCount);
}

void flushLines(const GameMessageBuffer& buffer, uint32_t n, bool text) {
    LogChannels& logs = Module().Logs;
    // A line of kinds 0-5 has the same bytes in the text and check logs: it
    // is folded once for both.
    const bool toText = text && logs.Text.Opened;
    const bool toCheck = Option(OptInternalInfo) && logs.Check.Opened;
    if (toText || toCheck) {
        std::string& plain = logs.PlainScratch;
        for (uint32_t i = 0; i < n; ++i) {
            const GameMessageLine& line = buffer.Lines[i];
            const bool inText = toText && inTextLog(line.Kind);
            const bool inCheck = toCheck && inCheckLog(line.Kind);
            if (!inText && !inCheck) continue;
            plain.clear();
            appendPlain(plain, line);
            if (inText) ChannelWrite(logs.Text, plain);
            if (inCheck) ChannelWrite(logs.Check, plain);
        }
    }
    if (Option(OptHtmlLog))
        for (uint32_t i = 0; i < n; ++i) WriteHtmlLine(logs.Html, buffer.Lines[i]);
}

void spillToLogs(const GameMessageBuffer& buffer, uint32_t count) {
    flushLines(buffer, std::min<uint32_t>(count, lineCount(buffer)), true);
}

} // namespace

void FlushGameMessages(const GameMessageBuffer& buffer) {
    flushLines(buffer, lineCount(buffer), true);
}

void FlushEndMessages(const GameMessageBuffer& buffer) {
    flushLines(buffer, lineCount(buffer), Option(OptLogOutput));
}

SpillQueueToLogs::SpillQueueToLogs(GameMessageBuffer& buffer) : on_(Option(OptLogOutput)) {
    if (on_) SetQueueSpill(&buffer, spillToLogs);
}

void SpillQueueToLogs::end() {
    if (on_) SetQueueSpill(nullptr, nullptr);
    on_ = false;
}

void FlushToChannel(const GameMessageBuffer& buffer, OutputChannel& channel) {
    uint32_t n = lineCount(buffer);
    for (uint32_t i = 0; i < n; ++i) WriteWrappedLine(channel, buffer.Lines[i]);
}

bool AppendBufferToTextFile(const GameMessageBuffer& buffer, std::string_view outFile) {
    OutputChannel channel;
    if (!SetChannelName(channel, outFile, ".txt")) return false;
    OpenChannel(channel, false);
    bool written = channel.Opened;
    if (written) {
        FlushToChannel(buffer, channel);
        written = ChannelFlush(channel);
        CloseChannel(channel);
    }
    // An entry sheet that did not reach its file is the run's failed file:
    // reported once, and the plug-in that writes the list learns of it.
    if (!written) ReportFailedFile(CannotWriteOutput, channel.FileName);
    return written;
}

} // namespace cv
