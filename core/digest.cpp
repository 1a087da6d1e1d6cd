// The match digest: its head at EndMatch1, its body at EndMatch2.
#include "core/digest.h"

#include "base/sjis.h"
#include "core/endoutput.h"
#include "core/logwriter.h"
#include "core/module.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <memory>

namespace cv {

namespace {

// Opens the digest's rewrite on channel.FileName; with `keep` the file's
// present content is carried over first. A file that cannot be read or a
// rewrite that cannot be made leaves the channel closed.
void openDigest(OutputChannel& channel, bool keep) {
    if (channel.Opened || channel.FileName.empty()) return;
    auto file = std::make_unique<plat::AtomicFile>(channel.FileName);
    if (!file->isOpen()) return;
    if (keep) {
        std::optional<std::string> old = plat::readWholeFile(channel.FileName);
        if (!old || !file->write(*old)) return;
    }
    channel.Stream = file->handle();
    channel.Atomic = std::move(file);
    channel.Opened = 1;
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
    const std::string& textName = logs.Text.FileName;
    int32_t mode = gs.DigestMode;
    if (mode == 1 || mode == 3) {
        if (!digest.Opened && !textName.empty() && SetChannelName(digest, textName, ".mom"))
            openDigest(digest, false);
        ChannelPutLine(digest, head);
        ChannelPutLine(digest, "");
        gs.DigestFileOpen = 1;
        if (mode == 3) gs.DigestInLog = 1;
    } else if (mode == 2) {
        bool existed = true;
        if (!digest.Opened && !textName.empty()) {
            plat::PathParts parts = plat::splitPath(textName);
            std::string name = parts.drive + parts.dir + "digest.mom";
            if (name.size() <= MaxLogPath) {
                digest.FileName = name;
                existed = plat::fileExists(name);
                openDigest(digest, existed);
            }
        }
        if (!existed && Option(OptAddHeader)) ChannelPutLine(digest, head);
        ChannelPutLine(digest, "");
        ChannelPutLine(digest, TemplateLine(0, 14));
        std::string_view title = sjis::readField(gs.MatchTitle);
        if (Option(Opt17) && !title.empty()) ChannelPutLine(digest, title);
        ChannelPutLine(digest, "");
        gs.DigestFileOpen = 1;
    } else {
        gs.DigestInLog = 1;
    }
}

void FlushDigest(const GameMessageBuffer& buffer) {
    FlushToChannel(buffer, Module().Logs.Digest);
}

void CloseDigest() {
    CloseChannel(Module().Logs.Digest);
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
    QueueLine(buffer, KindSystem, 0, head);
    if (buffer.Count >= 2) LastLine(buffer)->BlankLinesAfter += 1;
}

void EndOfMatchOutput(GameMessageBuffer& buffer) {
    GameSettings& gs = Settings();
    EmptyQueue(buffer);
    WriteEndNarration(buffer);
    if (gs.DigestFileOpen) {
        FlushDigest(buffer);
        CloseDigest();
    }
    if (!gs.DigestInLog) EmptyQueue(buffer);
    WriteSignature(buffer);
}

} // namespace cv
