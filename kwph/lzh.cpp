// LZH import (see lzh.h).
#include "kwph/lzh.h"

#include "kwph/errors.h"
#include "kwph/pack.h"

#include "platform/files.h"
#include "platform/paths.h"

#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#ifdef KWPH_HAVE_LHASA
#include <lhasa.h>
#endif

namespace kwp {

uint16_t lzhCrc16(std::string_view bytes, uint16_t crc) {
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

#ifdef KWPH_HAVE_LHASA

namespace {

// The archive file, read through callbacks that count every byte consumed,
// so the reader's position is known when a header has been read.
struct Source {
    int fd = -1;
    uint64_t pos = 0;
    uint64_t size = 0;
};

int readSource(void* handle, void* buf, size_t len) {
    auto* s = static_cast<Source*>(handle);
    if (len > 1u << 30) len = 1u << 30;
    ssize_t n;
    do {
        n = ::read(s->fd, buf, len);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return -1;
    s->pos += static_cast<uint64_t>(n);
    return static_cast<int>(n);
}

int skipSource(void* handle, size_t bytes) {
    auto* s = static_cast<Source*>(handle);
    if (bytes > s->size - s->pos) return 0;
    if (::lseek(s->fd, static_cast<off_t>(bytes), SEEK_CUR) < 0) return 0;
    s->pos += bytes;
    return 1;
}

const LHAInputStreamType kSourceType = {readSource, skipSource, nullptr};

// NAME.msg with 1-8 bytes of [A-Za-z0-9_], any case.
bool acceptedName(const char* name) {
    size_t len = std::strlen(name);
    if (len < 5 || len > 12) return false;
    const char* ext = name + len - 4;
    if (!plat::equalsIgnoreCase(ext, ".msg")) return false;
    for (const char* p = name; p < ext; ++p) {
        char c = *p;
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) return false;
    }
    return true;
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// Writes the current entry into a new file `name` of the folder.
bool extractEntry(LHAReader* reader, const LHAFileHeader* h, int dirfd, const char* name) {
    Fd out(::openat(dirfd, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (out.get() < 0) return false;
    uint64_t count = 0;
    uint16_t crc = 0;
    char buf[65536];
    size_t n;
    while ((n = lha_reader_read(reader, buf, sizeof buf)) > 0) {
        count += n;
        if (count > h->length) return false;
        crc = lzhCrc16(std::string_view(buf, n), crc);
        if (!writeAll(out.get(), buf, n)) return false;
    }
    return out.close() && count == h->length && crc == h->crc;
}

struct Scan {
    LHAInputStream* stream = nullptr;
    LHAReader* reader = nullptr;
    ~Scan() {
        if (reader) lha_reader_free(reader);
        if (stream) lha_input_stream_free(stream);
    }
};

} // namespace

bool lzhSupported() {
    return true;
}

int extractLzh(const std::string& lzhOsPath, const std::string& destOsDir, const LzhLimits& limits) {
    Fd in(::open(lzhOsPath.c_str(), O_RDONLY | O_CLOEXEC));
    Fd dir(::open(destOsDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st;
    if (in.get() < 0 || dir.get() < 0 || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return 1;
    Source src;
    src.fd = in.get();
    src.size = static_cast<uint64_t>(st.st_size);
    Scan scan;
    scan.stream = lha_input_stream_new(&kSourceType, &src);
    if (!scan.stream) return 1;
    scan.reader = lha_reader_new(scan.stream);
    if (!scan.reader) return 1;

    uint64_t nextHeader = 0; // where the header after the last one read must start
    uint64_t total = 0;
    std::set<std::string> seen;
    while (const LHAFileHeader* h = lha_reader_next_file(scan.reader)) {
        if (lha_reader_current_is_fake(scan.reader)) continue;
        nextHeader = src.pos + h->compressed_length;
        if (std::strcmp(h->compress_method, "-lhd-") == 0 || h->symlink_target || !h->filename) continue;
        // Any stored path, even one lhasa has emptied ("../x.msg" comes back
        // with the path "" rather than none).
        if (h->path) continue;
        if (!acceptedName(h->filename)) continue;
        std::string key(h->filename);
        for (char& c : key) c = plat::asciiUpper(c);
        if (!seen.insert(key).second) return 1;
        if (h->length > limits.maxFile) return 1;
        total += h->length;
        if (total > limits.maxTotal) return 1;
        if (!extractEntry(scan.reader, h, dir.get(), h->filename)) return 1;
    }
    // The scan ends on the end mark and on a damaged header alike: only the
    // end of the file or an end mark (0x00) may stand where it stopped.
    if (nextHeader == src.size) return 0;
    if (nextHeader > src.size) return 1;
    unsigned char mark = 0xFF;
    if (::pread(in.get(), &mark, 1, static_cast<off_t>(nextHeader)) != 1) return 1;
    return mark == 0x00 ? 0 : 1;
}

#else

bool lzhSupported() {
    return false;
}

int extractLzh(const std::string&, const std::string&, const LzhLimits&) {
    return 1;
}

#endif

bool lzhToKwp(Engine& engine, std::string_view lzh, std::string_view archive, std::string_view comment,
              bool compress) {
    engine.reset();
    if (!lzhSupported()) return engine.fail(err::dllLoad("liblhasa"));
    plat::TempFolder work;
    auto folder = work.ok() ? plat::fromOsName(work.osPath()) : std::nullopt;
    if (!folder) return engine.fail(err::pathNotFound(err::tempFolderName()));
    if (!plat::isRegularFile(lzh)) return engine.fail(err::fileNotFound(lzh));
    auto osLzh = plat::toOsPath(plat::resolvePath(lzh));
    if (!osLzh || extractLzh(*osLzh, work.osPath()) != 0) return engine.fail(err::lhaExtract(lzh));
    const bool packed = pack(engine, *folder + "/", archive, comment, compress);
    const bool removed = work.remove();
    if (packed && !removed) engine.fail(err::deleteFolder(*folder));
    return packed;
}

} // namespace kwp
