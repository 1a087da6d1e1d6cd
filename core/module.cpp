// The one instance of the module state and its defaults.
#include "core/module.h"

#include "base/sjis.h"
#include "sjis/module_text.h"

namespace cv {

DisplaySettings DefaultDisplaySettings() {
    // TColor values 0x00BBGGRR; 0x80000008 is the system window-text colour.
    static constexpr uint32_t colours[DisplayColourCount] = {
        0xFFFFFF,   0x80FFFF,   0xFFFF80,   0x00FFFF,   0xC08000,   0xFFFFFF,   0x808000,
        0xA00000,   0x80000008, 0x80000008, 0xA00000,   0x80000008, 0x80000008, 0x80000008,
        0x80000008, 0x80000008, 0x80000008, 0x80000008, 0x80000008, 0x80000008};
    DisplaySettings d;
    d.FontName = mdt::DefaultFontName;
    d.FontSize = 9;
    for (int i = 0; i < DisplayColourCount; ++i) d.Colour[i] = colours[i];
    return d;
}

std::string_view TemplateLine(int table, int line) {
    if (table < 0 || table >= TemplateTableCount || line < 0 || line >= TemplateLineCount) return {};
    const TemplateTable* t = Module().Templates[table].get();
    return t ? sjis::readField(t->Lines[line]) : std::string_view();
}

} // namespace cv
