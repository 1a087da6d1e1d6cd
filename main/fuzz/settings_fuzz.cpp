// Arbitrary bytes as a settings file: restoring never fails hard, and what a
// restore put into the store saves and restores to the same settings file.
#include "fuzz/fuzzcheck.h"
#include "main/settingsfile.h"
#include "platform/registry.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string scratch(const char* name) {
    static std::string dir = [] {
        char templ[] = "/tmp/vellfuzz.XXXXXX";
        const char* d = mkdtemp(templ);
        return std::string(d ? d : "/tmp");
    }();
    return dir + "/" + name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    plat::reg::setStorePath(scratch("a.reg"));
    vell::resetSettings();
    vell::ImportRegFile(text);
    std::string once = vell::settingsFileText();

    plat::reg::setStorePath(scratch("b.reg"));
    vell::resetSettings();
    vell::ImportRegFile(once);
    FUZZ_CHECK(vell::settingsFileText() == once);
    return 0;
}
