// The match digest: its head at EndMatch1, its body at EndMatch2.
#include "core/digest.h"

#include "base/sjis.h"
#include "core/endoutput.h"
#include "core/logwriter.h"
#include "core/matchfiles.h"
#include "core/module.h"
#include "core/outputfault.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <memory>

namespace cv {

namespace {

// Opens this match's append to channel.FileName; a file made anew for the
// match (`fresh`, modes 1 and 3) is written under a temporary name that
// takes the file's name when the match is kept. False when the file cannot
// be opened.
bool openDigest(OutputChannel& channel, bool fresh) {
    if (channel.FileName.empty()) return false;
    if (fresh) {
        std::optional<plat::TempFile> temp = plat::createTempFile(channel.FileName);
        if (!temp) return false;
        channel.Temp = std::move(*temp);
    }
    auto file = std::make_unique<plat::AppendFile>(fresh ? channel.Temp.Path : channel.FileName, fresh);
    if (!file->isOpen()) {
        if (fresh) plat::removeTempFile(channel.Temp);
        return false;
    }
    channel.Append = std::move(file);
    channel.Opened = 1;
    return true;
}

} // namespace

std::string DigestHeadText() {
    std::string head(TemplateLine(0, 8));
    head += TemplateLine(0, Option(OptBountyMatch) ? 10 : 9);
    head += TemplateLine(0, 11);
    return head;
}

void WriteDigest(std::string_view head) {
    GameSettings& gs = Settings();
    LogChannels& logs = Module().Logs;
    OutputChannel& digest = logs.Digest;
    // This match's digest starts here: one an unfinished match left open
    // is dropped, never carried into this one.
    CloseChannel(digest);
    digest.FileName.clear();
    const std::string& textName = logs.Text.FileName;
    int32_t mode = gs.DigestMode;
    // A match that has failed to write one of its files makes no digest
    // file: the event stops after it.
    if (FailedFile().Message != 0) mode = 0;
    bool opened = false;
    if (mode == 1 || mode == 3) {
        opened = !textName.empty() && SetChannelName(digest, textName, ".mom") && openDigest(digest, true);
        if (opened) {
            ChannelPutLine(digest, head);
            ChannelPutLine(digest, "");
        }
        if (mode == 3) gs.DigestInLog = 1;
    } else if (mode == 2) {
        plat::PathParts parts = plat::splitPath(textName);
        std::string name = parts.drive + parts.dir + "digest.mom";
        if (!textName.empty() && name.size() <= MaxLogPath) {
            digest.FileName = name;
            opened = openDigest(digest, false);
            if (opened) {
                if (!digest.Append->existed() && Option(OptAddHeader)) ChannelPutLine(digest, head);
                ChannelPutLine(digest, "");
                ChannelPutLine(digest, TemplateLine(0, 14));
                std::string_view title = sjis::readField(gs.MatchTitle);
                if (Option(Opt17) && !title.empty()) ChannelPutLine(digest, title);
                ChannelPutLine(digest, "");
            }
        }
    }
    if (opened) {
        gs.DigestFileOpen = 1;
    } else {
        // No digest file (mode 0, or one that cannot be opened): the lines
        // stay in the log. One that cannot be opened is the match's failed
        // file.
        if (mode >= 1 && mode <= 3)
            ReportFailedFile(CannotWriteOutput, digest.FileName.empty() ? textName : digest.FileName);
        gs.DigestInLog = 1;
    }
}

void FlushDigest(const GameMessageBuffer& buffer) {
    FlushToChannel(buffer, Module().Logs.Digest);
}

bool CloseDigest() {
    LogChannels& logs = Module().Logs;
    OutputChannel& digest = logs.Digest;
    bool ok = digest.Append && digest.Append->commit();
    if (!ok)
        ReportFailedFile(CannotWriteOutput, digest.FileName);
    else if (!digest.Temp.Path.empty()) {
        // A file made anew is the match's like its logs.
        NoteMatchLog(digest.FileName, digest.Temp, -1);
        digest.Append.reset();
    } else {
        NoteMatchDigest(std::move(digest.Append));
    }
    CloseChannel(digest);
    return ok;
}

void DigestAtEndMatch1(GameMessageBuffer& buffer) {
    GameSettings& gs = Settings();
    gs.DigestInLog = 0;
    gs.DigestFileOpen = 0;
    std::string head = DigestHeadText();
    WriteDigest(head);
    if (!gs.DigestInLog) return;
    buffer.CurrentKind = KindSystem;
    if (buffer.Count >= 2) LastLine(buffer)->BlankLinesAfter += 2;
    // The head line ends its paragraph also when it is the only line (a
    // match narrated to no one).
    QueueLine(buffer, KindSystem, 0, head).BlankLinesAfter += 1;
}

void EndOfMatchOutput(GameMessageBuffer& buffer) {
    GameSettings& gs = Settings();
    EmptyQueue(buffer);
    WriteEndNarration(buffer);
    // A digest that could not be appended was cut back and reported. A
    // match that has already failed to write one of its files leaves no
    // digest record either: the event stops after it, and its record must
    // not pass for a match that went well. Either way the lines stay in the
    // queue (the one-vs-one window shows them); no log takes them any more.
    if (gs.DigestFileOpen) {
        FlushDigest(buffer);
        if (FailedFile().Message != 0) {
            CloseChannel(Module().Logs.Digest);
            gs.DigestInLog = 1;
        } else if (!CloseDigest()) {
            gs.DigestInLog = 1;
        }
    }
    if (!gs.DigestInLog) EmptyQueue(buffer);
    WriteSignature(buffer);
}

} // namespace cv
