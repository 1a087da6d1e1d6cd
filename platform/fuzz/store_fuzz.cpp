// Arbitrary bytes as the settings store's file and as an ini file: reading
// never fails hard, every value read back is as long as the file allows,
// and a store read from any file saves and reloads to the same tree. The
// store is read from and saved to memory, in the file's form.
#include "fuzz/fuzzcheck.h"
#include "platform/ini.h"
#include "platform/registry.h"

#include <cstdint>
#include <string>

namespace {

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

    plat::reg::setStoreText(bytes);
    std::string first;
    dump("", first, 0);
    // What a save writes, read again.
    plat::reg::setStoreText(plat::reg::storeText());
    std::string second;
    dump("", second, 0);
    FUZZ_CHECK(first == second);
    return 0;
}
