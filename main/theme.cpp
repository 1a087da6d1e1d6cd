#include "main/theme.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"

namespace vell {

namespace {

bool hasFolderPart(std::string_view name) {
    return plat::lastSeparator(name) != std::string_view::npos;
}

std::string underProgram(std::string_view programFolder, std::string_view name) {
    if (plat::isAbsolutePath(name)) return std::string(name);
    return std::string(programFolder) + std::string(name);
}

} // namespace

std::string themeFilePath(std::string_view programFolder) {
    std::string name = plat::reg::readString("Software\\Dunmoor\\CVVell", "ThemeFile", "def");
    std::string path;
    if (!name.empty()) {
        path = hasFolderPart(name) ? underProgram(programFolder, name)
                                   : std::string(programFolder) + "Themes\\" + name;
    }
    if (path.empty() || !plat::isRegularFile(path)) path = std::string(programFolder) + "Themes\\default.ini";
    return path;
}

plat::IniFile OpenThemeIni(std::string_view programFolder) {
    return plat::IniFile(themeFilePath(programFolder));
}

std::string resolveThemeName(std::string_view programFolder, std::string_view name,
                             std::string_view bareFolder) {
    if (name.empty()) return {};
    if (!hasFolderPart(name)) return std::string(programFolder) + std::string(bareFolder) + std::string(name);
    return underProgram(programFolder, name);
}

uint32_t themeColor(const plat::IniFile& ini, std::string_view key) {
    std::string text = ini.readString("Color", key, "0x00ffffff");
    return plat::reg::parseColor(text).value_or(0x00ffffffu);
}

int splashTimer(const plat::IniFile& ini) {
    int t = ini.readInteger("Splash", "Timer", 2000);
    return t > 0 ? t : 2000;
}

} // namespace vell
