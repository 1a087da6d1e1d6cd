// Loading and saving the display attributes through the settings store.
#include "config/dispattr.h"

#include "base/sjis.h"
#include "platform/registry.h"
#include "sjis/cnf_text.h"

#include <cstdio>
#include <string>

namespace cnf {

namespace {

constexpr char VellKey[] = "Software\\Dunmoor\\CVVell";
constexpr char DisplayKey[] = "Software\\Dunmoor\\CVVell\\Display";
constexpr char DefaultThemeFile[] = "default.ini";

std::string colorName(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Color%2.2d", i);
    return buf;
}

} // namespace

// 0x80000008 is the system's window-text colour.
const uint32_t DefaultColors[20] = {0xffffff,   0x80ffff,   0xffff80,   0x00ffff,   0xc08000,
                                    0xffffff,   0x808000,   0xa00000,   0x80000008, 0x80000008,
                                    0xa00000,   0x80000008, 0x80000008, 0x80000008, 0x80000008,
                                    0x80000008, 0x80000008, 0x80000008, 0x80000008, 0x80000008};

void loadDispAttribute(DispAttribute& attr) {
    DispAttribute a{};
    sjis::writeField(a.ThemeFile, plat::reg::readString(VellKey, "ThemeFile", DefaultThemeFile));
    sjis::writeField(a.FontName, plat::reg::readString(DisplayKey, "FontName", text::FontName));
    a.FontSize = plat::reg::readInteger(DisplayKey, "FontSize", 9);
    for (int i = 0; i < 20; ++i)
        a.Color[i] = plat::reg::readColor(DisplayKey, colorName(i), DefaultColors[i]);
    a.DispSplash = plat::reg::readBool(DisplayKey, "DispSplash", true) ? 1 : 0;
    attr = a;
}

bool saveDispAttribute(const DispAttribute& attr) {
    {
        plat::reg::Batch batch;
        plat::reg::writeValue(VellKey, "ThemeFile", sjis::readField(attr.ThemeFile));
        plat::reg::writeValue(DisplayKey, "FontName", sjis::readField(attr.FontName));
        plat::reg::writeInteger(DisplayKey, "FontSize", attr.FontSize);
        for (int i = 0; i < 20; ++i) plat::reg::writeColor(DisplayKey, colorName(i), attr.Color[i]);
        plat::reg::writeBool(DisplayKey, "DispSplash", attr.DispSplash != 0);
    }
    return plat::reg::flush();
}

} // namespace cnf
