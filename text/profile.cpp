// Reading and writing profile files as raw records.
#include "text/profile.h"

#include "base/sjis.h"
#include "platform/files.h"
#include "text/velltext.h"

#include <cstdio>
#include <cstring>

namespace vtext {

namespace {

// Reads up to size bytes into dst (zero-filled first).
void readRecord(std::FILE* f, void* dst, size_t size) {
    std::memset(dst, 0, size);
    size_t got = std::fread(dst, 1, size, f);
    (void)got;
}

std::FILE* openForReading(std::string_view path) {
    if (path.empty() || !plat::isRegularFile(path)) return nullptr;
    return plat::openFile(path, "rb");
}

} // namespace

int loadProfFile(std::string_view path, TArmoredKnight* ak, void* second) {
    if (ak) *ak = TArmoredKnight{};
    if (second) std::memset(second, 0, ProfileSecondSize);
    std::FILE* f = openForReading(path);
    if (!f) return 1;
    TArmoredKnight image{};
    readRecord(f, &image, sizeof image);
    if (ak) *ak = image;
    if (second) readRecord(f, second, ProfileSecondSize);
    std::fclose(f);
    return 0;
}

int saveProfFile(std::string_view path, const TArmoredKnight* ak, const void* second) {
    if (!ak || path.empty() || plat::isDirectory(path)) return 1;
    plat::AtomicFile file(path);
    if (!file.isOpen()) return 1;
    file.write(ak, sizeof *ak);
    if (second) {
        file.write(second, ProfileSecondSize);
    } else {
        static const char zeros[ProfileSecondSize] = {};
        file.write(zeros, sizeof zeros);
    }
    return file.commit() ? 0 : 1;
}

int getPilotName(std::string_view path, std::string& name) {
    name.clear();
    std::FILE* f = openForReading(path);
    if (!f) return 1;
    TArmoredKnight ak{};
    readRecord(f, &ak, sizeof ak);
    std::fclose(f);
    name.assign(sjis::readField(ak.Pilot.Name));
    return 0;
}

} // namespace vtext
