// The entry list. The file is emptied first so that the list holds this
// event's entrants only; the game processor then appends one sheet per AK
// with the settings last given to its SetEnvironment.
#include "common/entrylist.h"

#include "akdata/akexports.h"
#include "base/sjis.h"
#include "common/coreimports.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <cstdio>
#include <memory>

namespace cmn {

namespace {

bool createEmpty(const std::string& path) {
    std::FILE* f = plat::openFile(path, "wb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

} // namespace

std::string sheetFileName(std::string_view outFile) {
    std::string name(outFile);
    size_t separator = plat::lastSeparator(name);
    size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    size_t dot = sjis::rfind(std::string_view(name).substr(nameStart), ".");
    if (dot != sjis::npos) name.resize(nameStart + dot);
    name += ".txt";
    return name;
}

bool outputEntryList(GameSettings& settings, std::span<const std::string> akFiles, std::string_view outFile,
                     cv::GameMessageBuffer& buffer) {
    const std::string out(outFile);
    if (!createEmpty(out)) return false;
    // The sheets land in the ".txt" form of the name; a list of another
    // extension would otherwise grow with every event.
    const std::string sheets = sheetFileName(out);
    if (sheets != out) createEmpty(sheets);

    auto ak = std::make_unique<TArmoredKnight>();
    for (size_t i = 0; i < akFiles.size(); ++i) {
        *ak = TArmoredKnight{};
        if (LoadAkData(ak.get(), akFiles[i].c_str()) != 0) continue;
        AkViewer2(&settings, out.c_str(), ak.get(), &buffer, static_cast<int32_t>(i + 1));
    }
    return true;
}

} // namespace cmn
