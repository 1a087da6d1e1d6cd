// The files kept from match to match (see filecache.h).
#include "core/filecache.h"

#include "core/module.h"

namespace cv {

TextLines SplitTextLines(std::string_view bytes) {
    TextLines lines;
    while (!bytes.empty()) {
        size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
    }
    return lines;
}

std::shared_ptr<const TextLines> CachedTextLines(std::string_view path) {
    return Module().Messages.TextFiles.get(path, [](std::string_view p) -> std::shared_ptr<const TextLines> {
        std::optional<std::string> bytes = plat::readWholeFile(p);
        if (!bytes) return nullptr;
        return std::make_shared<const TextLines>(SplitTextLines(*bytes));
    });
}

void ClearFileCaches() {
    MessageSets& m = Module().Messages;
    m.TextFiles.clear();
    m.Archives.clear();
}

} // namespace cv
