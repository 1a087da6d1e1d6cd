// The files kept from match to match (see filecache.h).
#include "core/filecache.h"

#include "core/module.h"

namespace cv {

std::shared_ptr<const TextLines> TextLinesOf(std::string_view bytes) {
    std::vector<std::string_view> lines = plat::splitLines(bytes);
    return std::make_shared<const TextLines>(lines.begin(), lines.end());
}

std::shared_ptr<const TextLines> CachedTextLines(std::string_view path) {
    return Module().Messages.TextFiles.get(path, [](std::string_view p) -> std::shared_ptr<const TextLines> {
        std::optional<std::string> bytes = plat::readWholeFile(p);
        return bytes ? TextLinesOf(*bytes) : nullptr;
    });
}

FileCheckRound::FileCheckRound() : round_(Module().Messages.Watch) {}

void BeginMatchFileChecks() {
    MessageSets& m = Module().Messages;
    m.SetUpRound.reset();
    m.SetUpRound.emplace(m.Watch);
}

void EndMatchFileChecks() {
    Module().Messages.SetUpRound.reset();
}

void ClearFileCaches() {
    MessageSets& m = Module().Messages;
    m.SetUpRound.reset();
    m.TextFiles.clear();
    m.Archives.clear();
}

} // namespace cv
