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

std::atomic<ModuleState*> ModuleInstance{nullptr};

ModuleState& MakeModule() {
    static ModuleState state;
    ModuleInstance.store(&state, std::memory_order_release);
    return state;
}

namespace {

// Loads queued without a reading in between are run at this count: a
// caller that only ever sets up never holds more.
constexpr size_t MaxWaitingLoads = 16;

TemplateTable* tableAt(int table) {
    return table >= 0 && table < TemplateTableCount ? Module().Templates[table].get() : nullptr;
}

// The table's lines are some earlier state overwritten by the loads of
// Written. When the waiting loads are the same, running them writes what
// the lines hold already.
void runWaitingLoads(TemplateTable& t) {
    if (t.Waiting.empty()) return;
    if (t.Waiting != t.Written) {
        for (const TemplateLoad& load : t.Waiting) load.Write(t, load);
        t.Written = std::move(t.Waiting);
    }
    t.Waiting.clear();
}

} // namespace

const TemplateTable* TemplateTableAt(int table) {
    TemplateTable* t = tableAt(table);
    if (t) runWaitingLoads(*t);
    return t;
}

TemplateTable* EditTemplateTable(int table) {
    TemplateTable* t = tableAt(table);
    if (!t) return nullptr;
    runWaitingLoads(*t);
    t->Written.clear();
    return t;
}

void QueueTemplateLoad(int table, TemplateLoad load) {
    TemplateTable* t = tableAt(table);
    if (!t) return;
    t->Waiting.push_back(std::move(load));
    if (t->Waiting.size() >= MaxWaitingLoads) runWaitingLoads(*t);
}

std::string_view TemplateLine(int table, int line) {
    if (line < 0 || line >= TemplateLineCount) return {};
    const TemplateTable* t = TemplateTableAt(table);
    return t ? sjis::readField(t->Lines[line]) : std::string_view();
}

} // namespace cv
