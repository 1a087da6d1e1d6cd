#include "platform/catalogue.h"

#include "platform/paths.h"
#include "sjis/catalogue.h"

#include <algorithm>
#include <iterator>

namespace plat::msg {

namespace {

struct Entry {
    int id;
    const char* text;
};

#define E(n) {n, texts::M##n}
constexpr Entry table[] = {
    E(40000), E(40001), E(40002), E(40003), E(40004), E(40005), E(40006), E(40007), E(40008), E(40009),
    E(40010), E(40011), E(40012), E(40013), E(40014), E(41000), E(41001), E(41002), E(41003), E(41004),
    E(41005), E(41006), E(41007), E(41008), E(41009), E(41010), E(41020), E(41021), E(41022), E(41040),
    E(41041), E(41042), E(41050), E(42000), E(42001), E(42002), E(42003), E(42004), E(42005), E(42006),
    E(42007), E(42008), E(42009), E(42010), E(42011), E(43000),
};
#undef E
static_assert(std::size(table) == 46);

// Causes the table above has no fitting text for: a data folder held by a
// program that does not answer (on another machine, or hung), a conf, the
// settings or the conf tree that could not be saved to a file, the data
// folder that cannot be made or a sample file that cannot be laid out in
// it, a data or library folder whose name Shift-JIS cannot hold, a conf
// file of the wrong size, a conf folder too long once made absolute,
// entrants passed over because their output AK files would be another
// entrant's, an event that would write over an entrant's own file in the
// AK output folder.
constexpr Entry added[] = {{40015, texts::M40015}, {41023, texts::M41023}, {41024, texts::M41024},
                           {41025, texts::M41025}, {41026, texts::M41026}, {41027, texts::M41027},
                           {41028, texts::M41028}, {41043, texts::M41043}, {41044, texts::M41044},
                           {41051, texts::M41051}, {41052, texts::M41052}};

// Messages whose "%s" names a file or folder: the argument is shown as a
// person reads a path.
constexpr int NamingFile[] = {40015, 41004, 41020, 41021, 41022, 41023, 41024, 41025,
                              41026, 41027, 41028, 41040, 41041, 41043, 41044, 41052};

const Entry* find(const Entry* begin, const Entry* end, int id) {
    auto it = std::lower_bound(begin, end, id, [](const Entry& e, int v) { return e.id < v; });
    return it == end || it->id != id ? nullptr : it;
}

} // namespace

std::string_view text(int id) {
    const Entry* e = find(std::begin(table), std::end(table), id);
    if (!e) e = find(std::begin(added), std::end(added), id);
    return e ? e->text : std::string_view();
}

std::string format(int id, std::initializer_list<std::string_view> args) {
    std::string_view t = text(id);
    const bool naming = std::find(std::begin(NamingFile), std::end(NamingFile), id) != std::end(NamingFile);
    std::string out;
    out.reserve(t.size() + 64);
    auto arg = args.begin();
    for (size_t i = 0; i < t.size(); ++i) {
        // '%' and 's' are never trail bytes (those start at 0x40), so a byte
        // scan finds the markers exactly.
        if (t[i] == '%' && i + 1 < t.size() && t[i + 1] == 's') {
            if (arg != args.end()) out.append(naming ? shownPath(*arg++) : std::string(*arg++));
            ++i;
            continue;
        }
        out += t[i];
    }
    return out;
}

int showBox(int id, std::initializer_list<std::string_view> args, int captionId, notify::Icon icon,
            notify::Buttons buttons, Style style) {
    return notify::show(format(id, args), text(captionId), icon, buttons, style.topmost, style.owner);
}

int showError(int id, std::initializer_list<std::string_view> args, Style style) {
    return showBox(id, args, CaptionError, notify::Icon::Warning, notify::Buttons::Ok, style);
}

int showErrorNaming(int id, std::string_view name, Style style) {
    std::string text = format(id);
    text += '\n';
    text += shownPath(name);
    return notify::show(text, msg::text(CaptionError), notify::Icon::Warning, notify::Buttons::Ok, style.topmost,
                        style.owner);
}

int confirm(int id, std::initializer_list<std::string_view> args, Style style) {
    return showBox(id, args, CaptionConfirm, notify::Icon::Question, notify::Buttons::OkCancel, style);
}

int inform(int id, std::initializer_list<std::string_view> args, Style style) {
    return showBox(id, args, CaptionConfirm, notify::Icon::Information, notify::Buttons::Ok, style);
}

} // namespace plat::msg
