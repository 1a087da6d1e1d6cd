// Arbitrary bytes as a settings file: restoring never fails hard, and what a
// restore put into the store saves and restores to the same settings file.
// The store stays in memory.
#include "fuzz/fuzzcheck.h"
#include "main/settingsfile.h"
#include "platform/registry.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    plat::reg::setStoreText("");
    vell::ImportRegFile(text);
    std::string once = vell::settingsFileText();

    plat::reg::setStoreText("");
    vell::ImportRegFile(once);
    FUZZ_CHECK(vell::settingsFileText() == once);
    return 0;
}
