// Fuzz target: arbitrary bytes as the theme ini, read as the splash and the
// about box read it: the picture, sound and music names resolved under the
// program folder, the timer and the three label colours. Besides the
// sanitizers' checks it asserts that a resolved name keeps the name it was
// given at its end and is empty only for an empty name, and that the timer
// is always positive.
#include "main/theme.h"

#include "platform/ini.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzzcheck.h"

namespace {

void checkName(const plat::IniFile& ini, const char* section, const char* key, std::string_view bare) {
    static const std::string program = "/opt/vell/";
    std::string name = ini.readString(section, key, "");
    std::string path = vell::resolveThemeName(program, name, bare);
    FUZZ_CHECK(path.empty() == name.empty());
    FUZZ_CHECK(path.size() >= name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const plat::IniFile ini = plat::IniFile::fromText(std::string_view(reinterpret_cast<const char*>(data), size));
    checkName(ini, "Images", "Splash", "Images\\");
    checkName(ini, "Sound", "Splash", "Sound\\");
    checkName(ini, "Music", "About", "Music\\");
    FUZZ_CHECK(vell::splashTimer(ini) > 0);
    for (const char* key : {"Splash_Title", "Splash_Version", "Splash_Copyright"}) (void)vell::themeColor(ini, key);
    return 0;
}
