// Fuzz target for the template reader: the input is a template file (its
// first bytes also pick the value texts), expanded as a regulation text, as a
// message-table text over small tables and as a single string. Every output
// line must end in CR LF, no composed string may pass its 2047 bytes, and a
// single string never keeps a Ctrl-Z.
#include "text/fieldcodes.h"
#include "text/scanparam.h"
#include "text/tablerows.h"
#include "text/templatelist.h"
#include "text/textformat.h"

#include "base/sjis.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzzcheck.h"

namespace {

bool everyLfAfterCr(std::string_view s) {
    for (size_t lf = s.find('\n'); lf != std::string_view::npos; lf = s.find('\n', lf + 1))
        if (lf == 0 || s[lf - 1] != '\r') return false;
    return true;
}

void fillTables(std::string_view seed, AnnouncerEntry (&a)[4], MsgEntry (&m)[4]) {
    for (int i = 0; i < 4; ++i) {
        std::string_view part = seed.substr(0, std::min<size_t>(seed.size(), 40));
        sjis::writeField(a[i].Id, part);
        sjis::writeField(a[i].Name, part.substr(0, std::min<size_t>(part.size(), 7)));
        sjis::writeField(a[i].Path, part);
        sjis::writeField(m[i].Id, part);
        for (int k = 0; k < 4; ++k) {
            sjis::writeField(m[i].Trigger[k], part);
            sjis::writeField(m[i].Words[k], part);
        }
        sjis::writeField(m[i].Path, part);
        if (seed.size() > 40) seed.remove_prefix(40);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Value texts: the first 64 bytes, cut into pieces at '|' (CR LF kept).
    std::vector<std::string> values;
    std::string_view head = bytes.substr(0, std::min<size_t>(bytes.size(), 64));
    size_t start = 0;
    for (size_t i = 0; i <= head.size(); ++i) {
        if (i == head.size() || head[i] == '|') {
            values.emplace_back(head.substr(start, i - start));
            start = i + 1;
        }
    }
    values.push_back(std::string(3000, 'x')); // one value longer than a line
    const vtext::ValueList list(values);

    const std::vector<vtext::TemplateLine> lines = vtext::splitTemplate(bytes);
    for (const vtext::TemplateLine& l : lines) {
        FUZZ_CHECK(l.text.find('\n') == std::string::npos);
        FUZZ_CHECK(l.text.find('\x1A') == std::string::npos);
        vtext::ComposedLine c = vtext::composeLine(l.text, list);
        FUZZ_CHECK(c.text.size() <= vtext::ComposedLimit);
        std::string s = vtext::replaceStringFormat(l.text, list);
        FUZZ_CHECK(s.size() <= vtext::ComposedLimit);
        FUZZ_CHECK(s.find('\x1A') == std::string::npos);
        vtext::TableLayout layout = vtext::readTableLayout(l.text);
        FUZZ_CHECK(layout.columns.size() <= static_cast<size_t>(vtext::MaxColumns));
        FUZZ_CHECK(layout.head.size() <= vtext::ComposedLimit &&
                   layout.format.size() <= vtext::ComposedLimit);
        FUZZ_CHECK(vtext::formatRow(layout.format, values).size() <= vtext::ComposedLimit);
    }

    const std::string text = vtext::expandTextTemplate(lines, list);
    FUZZ_CHECK(everyLfAfterCr(text));

    AnnouncerEntry announcers[4]{};
    MsgEntry msgs[4]{};
    fillTables(bytes, announcers, msgs);
    vtext::MessageTables tables{announcers, 3, msgs, 3, msgs, 3};
    const std::string table = vtext::expandMessageTemplate(lines, list, tables);
    FUZZ_CHECK(everyLfAfterCr(table));

    std::string title;
    if (vtext::templateTitle(bytes, title)) FUZZ_CHECK(title.size() < 255);
    return 0;
}
