// Unpack, listing and comment rewrite (see unpack.h).
#include "kwph/unpack.h"

#include "kwph/archive_file.h"
#include "kwph/codec.h"
#include "kwph/errors.h"
#include "kwph/msgnames.h"
#include "kwph/pack.h"

#include "platform/files.h"
#include "platform/paths.h"

#include <cstdio>
#include <fcntl.h>
#include <set>
#include <unistd.h>

namespace kwp {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// The name for messages: non-printable bytes shown as '?'.
std::string printable(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = '?';
    return out;
}

// Creates or truncates an output file; a symbolic link in its place is not
// followed.
std::FILE* createOutput(std::string_view path) {
    auto os = plat::toOsPath(plat::resolvePath(path));
    if (!os) return nullptr;
    int fd = ::open(os->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) ::close(fd);
    return f;
}

} // namespace

std::string unpackName(std::string_view rawName) {
    std::string_view name = trimBlanks(rawName.substr(0, kNameSize));
    if (name.empty()) return {};
    for (char c : name) {
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) return {};
    }
    return std::string(name);
}

bool unpack(Engine& engine, std::string_view prefix, std::string_view archive, bool pad) {
    engine.reset();
    ArchiveFile af;
    if (!af.open(engine, archive)) return false;
    const ArchiveView& view = af.view();
    ProgressScope progress(engine, archive, static_cast<int>(view.count()));
    std::set<std::string> written;
    for (size_t i = 0; i < view.count(); ++i) {
        const KwpDirEntry e = view.entry(i);
        const std::string_view raw(e.name, kNameSize);
        const std::string name = unpackName(raw);
        std::string upperName = name;
        for (char& c : upperName) c = plat::asciiUpper(c);
        if (name.empty() || !written.insert(upperName).second)
            return engine.fail(err::openFile(std::string(prefix) + printable(trimBlanks(raw)) + ".MSG"));
        const std::string path = std::string(prefix) + name + ".MSG";
        auto lines = view.lines(i);
        if (!lines) return engine.fail(err::readFile(archive));

        const size_t width = pad ? msgRecordWidth(classifyMsgName(name)) : 0;
        std::string content;
        for (std::string_view stored : lines->lines) {
            std::string text = decodeLine(stored, DecodeMode::Letters);
            if (text.size() < width) text.resize(width, ' ');
            content += text;
            content += "\r\n";
        }
        std::FILE* out = createOutput(path);
        if (!out) return engine.fail(err::openFile(path));
        bool ok = std::fwrite(content.data(), 1, content.size(), out) == content.size();
        ok = std::fclose(out) == 0 && ok;
        if (!ok) return engine.fail(err::writeFile(path));
        progress.step(static_cast<int>(i + 1));
    }
    return true;
}

bool putMsgList(Engine& engine, std::string_view archive) {
    engine.reset();
    ArchiveFile af;
    if (!af.open(engine, archive)) return false;
    const ArchiveView& view = af.view();
    Ui& ui = engine.ui();
    const std::string arch = plat::shownPath(archive);
    ui.showText(arch, engine.geometry());
    ui.addLine(err::format(" Listing File : %s", arch.c_str()));
    const std::string comment(view.comment());
    ui.addLine(err::format(" Comment : %s", comment.empty() ? "(NONE)" : comment.c_str()));
    const char* rule = " ------------  ----- -------- --------  ------   -----------";
    ui.addLine("  File Name    Lines Original  Packed    Ratio    Msg Type");
    ui.addLine(rule);
    unsigned long long totalOriginal = 0;
    unsigned long long totalPacked = 0;
    for (size_t i = 0; i < view.count(); ++i) {
        const KwpDirEntry e = view.entry(i);
        auto lines = view.lines(i);
        if (!lines) return engine.fail(err::readFile(archive));
        const int type = classifyMsgName(e.name);
        const size_t width = msgRecordWidth(type);
        unsigned long long original = 0;
        for (std::string_view stored : lines->lines) {
            size_t len = decodeLine(stored, DecodeMode::Letters).size();
            original += len < width ? width : len;
        }
        const unsigned long long packed = lines->packedSize;
        const double ratio = original ? packed * 100.0 / original : 0.0;
        ui.addLine(err::format(" %-8s.MSG %6d %8llu %8llu %7.2f   %-13s", e.name, static_cast<int>(e.lines),
                               original, packed, ratio, msgTypeLabel(type)));
        totalOriginal += original;
        totalPacked += packed;
    }
    ui.addLine(rule);
    const double ratio = totalOriginal ? totalPacked * 100.0 / totalOriginal : 0.0;
    const long files = static_cast<long>(view.count());
    ui.addLine(
        err::format("  Total %21llu %8llu  %3.2f%% %6ld Files", totalOriginal, totalPacked, ratio, files));
    ui.setStatus(err::format("%s (packed %llu / %llu bytes. %ld files).", arch.c_str(), totalPacked,
                             totalOriginal, files));
    return true;
}

bool setComment(Engine& engine, std::string_view archive, std::string_view comment) {
    engine.reset();
    {
        ArchiveFile af;
        if (!af.open(engine, archive)) return false;
    }
    std::FILE* f = plat::openFile(archive, "r+b");
    if (!f) return engine.fail(err::openFile(archive));
    const std::string area = commentArea(comment);
    bool ok = std::fseek(f, kCommentOffset, SEEK_SET) == 0 &&
              std::fwrite(area.data(), 1, area.size(), f) == area.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) return engine.fail(err::writeFile(archive));
    return true;
}

} // namespace kwp
