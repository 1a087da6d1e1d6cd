// Arbitrary bytes as the settings store's file and as an ini file: reading
// never fails hard, every value read back is as long as the file allows,
// and a store read from any file saves and reloads to the same tree.
#include "fuzz/fuzzcheck.h"
#include "platform/ini.h"
#include "platform/registry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string storeFile() {
    static std::string path = [] {
        char templ[] = "/tmp/vellfuzz.XXXXXX";
        const char* dir = mkdtemp(templ);
        return std::string(dir ? dir : "/tmp") + "/registry.reg";
    }();
    return path;
}

// Every key below `key` with its values, as text, for comparing two loads.
void dump(const std::string& key, std::string& out, int depth) {
    if (depth > 64) return;
    for (const std::string& v : plat::reg::valueNames(key))
        out += key + "|" + v + "=" + plat::reg::readString(key, v, "") + "\n";
    for (const std::string& k : plat::reg::subKeyNames(key))
        dump(key.empty() ? k : key + "\\" + k, out, depth + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);

    auto ini = plat::IniFile::fromText(bytes);
    FUZZ_CHECK(ini.readString("Images", "Splash", "d").size() <= size + 1);
    (void)ini.readInteger("Splash", "Timer", 2000);

    std::string path = storeFile();
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    plat::reg::setStorePath(path);
    std::string first;
    dump("", first, 0);
    // Force a save of what was read, then read it again.
    plat::reg::writeValue("Fuzz", "Marker", "1");
    plat::reg::deleteKey("Fuzz");
    plat::reg::setStorePath(path);
    std::string second;
    dump("", second, 0);
    FUZZ_CHECK(first == second);
    return 0;
}
