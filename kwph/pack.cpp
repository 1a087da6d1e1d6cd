// Pack (see pack.h).
#include "kwph/pack.h"

#include "kwph/archive_view.h"
#include "kwph/codec.h"
#include "kwph/errors.h"
#include "kwph/msgnames.h"

#include "base/sjis.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace kwp {

namespace {

constexpr size_t kMaxLines = 65535;

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = plat::asciiUpper(c);
    return out;
}

void putU16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void putU32(std::string& out, uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

// The data of one entry as it goes into the archive.
struct PackedEntry {
    std::string name; // upper case, blank-padded to 8
    uint32_t lenOfs = 0;
    uint32_t txtOfs = 0;
    uint16_t lines = 0;
};

// A private staging file beside the archive, removed however Pack ends. It
// is no file a person looks for: a failure to make, write or read it back is
// reported as a failure to write the archive.
class StageFile {
public:
    explicit StageFile(const std::string& osFolder) {
        std::string templ = osFolder + ".kwph-XXXXXX";
        int fd = ::mkstemp(templ.data());
        if (fd < 0) return;
        file_ = ::fdopen(fd, "w+b");
        if (!file_) {
            ::close(fd);
            ::unlink(templ.c_str());
            return;
        }
        osPath_ = templ;
    }
    ~StageFile() {
        close();
        if (!osPath_.empty()) ::unlink(osPath_.c_str());
    }
    StageFile(const StageFile&) = delete;
    StageFile& operator=(const StageFile&) = delete;

    std::FILE* file() { return file_; }
    bool close() {
        bool ok = true;
        if (file_) ok = std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }
    // Removes the file; on failure `left` names it, since it stays behind.
    bool remove(std::string& left) {
        close();
        bool ok = osPath_.empty() || ::unlink(osPath_.c_str()) == 0;
        if (!ok) left = plat::fromOsName(osPath_).value_or(std::string());
        osPath_.clear();
        return ok;
    }

private:
    std::FILE* file_ = nullptr;
    std::string osPath_;
};

} // namespace

std::string commentArea(std::string_view comment) {
    size_t z = comment.find('\0');
    if (z != std::string_view::npos) comment = comment.substr(0, z);
    std::string area(comment.substr(0, sjis::cutLength(comment, kCommentSize - 1)));
    area += '\x1A';
    area.resize(kCommentSize, ' ');
    return area;
}

std::optional<std::vector<MessageFile>> findMessageFiles(Engine& engine, std::string_view folder,
                                                         bool refuseDuplicates) {
    const std::string pattern = plat::joinPath(folder, "*.msg");
    std::vector<MessageFile> files;
    for (const std::string& name : plat::listFolder(folder, "*.msg")) {
        MessageFile f;
        f.fileName = name;
        f.path = plat::joinPath(folder, name);
        f.base = name.substr(0, name.size() - 4);
        f.type = classifyFileBase(f.base);
        if (f.type != kUnknownType) files.push_back(std::move(f));
    }
    if (files.empty()) {
        engine.fail(err::fileNotFound(pattern));
        return std::nullopt;
    }
    std::stable_sort(files.begin(), files.end(), [](const MessageFile& a, const MessageFile& b) {
        return upper(a.fileName) < upper(b.fileName);
    });
    if (refuseDuplicates) {
        for (size_t i = 1; i < files.size(); ++i) {
            if (upper(files[i].base) == upper(files[i - 1].base)) {
                engine.fail(err::openFileKind(files[i].path, err::duplicateKind()));
                return std::nullopt;
            }
        }
    }
    return files;
}

std::string prepareLine(std::string_view line, int type) {
    if (type == kRandom80 || type == kRandom240) {
        while (!line.empty() && static_cast<unsigned char>(line.back()) <= 0x20) line.remove_suffix(1);
    }
    return std::string(line);
}

std::optional<std::string> storedForm(std::string_view line, bool compress) {
    std::string stored = compress ? encodeLine(line) : std::string("\t").append(line);
    if (stored.size() <= kMaxStoredLine) return stored;
    stored = std::string("\t").append(plainText(line));
    if (stored.size() <= kMaxStoredLine) return stored;
    return std::nullopt;
}

bool pack(Engine& engine, std::string_view folder, std::string_view archive, std::string_view comment,
          bool compress) {
    engine.reset();
    const std::string area = commentArea(comment);
    auto files = findMessageFiles(engine, folder, true);
    if (!files) return false;
    const size_t n = files->size();
    ProgressScope progress(engine, archive, static_cast<int>(n));

    auto osArchive = plat::toOsPath(plat::resolvePath(archive));
    std::unique_ptr<StageFile> staged;
    if (osArchive) staged = std::make_unique<StageFile>(osArchive->substr(0, osArchive->rfind('/') + 1));
    if (!staged || !staged->file()) return engine.fail(err::openFile(archive));
    StageFile& stage = *staged;

    // Stage every entry's length table and stored lines.
    std::vector<PackedEntry> entries;
    uint64_t offset = kDirectoryOffset + kDirRecordSize * uint64_t{n};
    for (size_t j = 0; j < n; ++j) {
        const MessageFile& mf = (*files)[j];
        const std::string& path = mf.path;
        std::FILE* in = plat::openFile(path, "rb");
        if (!in) return engine.fail(err::openFile(path));
        std::string lengths;
        std::string text;
        std::string line;
        long lineNo = 0;
        bool tooLong = false;
        while (plat::readLine(in, line)) {
            ++lineNo;
            if (!line.empty() && line[0] == '\x1A') continue;
            auto stored = storedForm(prepareLine(line, mf.type), compress);
            if (!stored) {
                tooLong = true;
                break;
            }
            lengths += static_cast<char>(stored->size());
            text += *stored;
            if (lengths.size() > kMaxLines) break;
        }
        const bool readError = std::ferror(in) != 0;
        std::fclose(in);
        if (tooLong) return engine.fail(err::lineTooLong(path, lineNo));
        if (readError) return engine.fail(err::readFile(path));
        if (lengths.size() > kMaxLines) return engine.fail(err::writeFile(archive));

        PackedEntry e;
        e.name = upper(mf.base);
        e.name.resize(kNameSize, ' ');
        e.lines = static_cast<uint16_t>(lengths.size());
        const uint64_t txtOfs = offset + lengths.size();
        const uint64_t next = txtOfs + text.size();
        if (next > UINT32_MAX) return engine.fail(err::writeFile(archive));
        e.lenOfs = static_cast<uint32_t>(offset);
        e.txtOfs = static_cast<uint32_t>(txtOfs);
        offset = next;
        entries.push_back(std::move(e));
        if (std::fwrite(lengths.data(), 1, lengths.size(), stage.file()) != lengths.size() ||
            std::fwrite(text.data(), 1, text.size(), stage.file()) != text.size())
            return engine.fail(err::writeFile(archive));
        progress.step(static_cast<int>(j + 1));
    }
    if (std::fflush(stage.file()) != 0) return engine.fail(err::writeFile(archive));

    // Header and directory, then the staged data, into the new archive.
    plat::AtomicFile out(archive);
    if (!out.isOpen()) return engine.fail(err::openFile(archive));
    std::string head(kMagic);
    head += kCreator;
    head += area;
    putU16(head, static_cast<uint32_t>(n));
    for (const PackedEntry& e : entries) {
        head += e.name;
        putU32(head, e.lenOfs);
        putU32(head, e.txtOfs);
        putU16(head, e.lines);
    }
    if (!out.write(head)) return engine.fail(err::writeFile(archive));
    std::rewind(stage.file());
    char buf[65536];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, stage.file())) > 0)
        if (!out.write(buf, got)) return engine.fail(err::writeFile(archive));
    if (std::ferror(stage.file())) return engine.fail(err::writeFile(archive));
    if (!out.commit()) return engine.fail(err::writeFile(archive));
    std::string left;
    if (!stage.remove(left)) return engine.fail(err::deleteFile(left));
    return true;
}

} // namespace kwp
