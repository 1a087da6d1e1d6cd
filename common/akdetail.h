// What the AK detail window shows, apart from the window: the AK record it
// owns, the path of the shown file, whether it loaded, the seven sheets and
// the caption.
#pragma once

#include "base/akrecord.h"

#include <memory>
#include <string>
#include <string_view>

namespace cmn {

// The sheets of the detail window: tab index = the AK data library's sheet
// kind.
inline constexpr int DetailSheetCount = 7;
// The sheet buffer, terminator included.
inline constexpr size_t DetailSheetSize = 2048;

class AkDetail {
public:
    AkDetail();

    // Keeps the path and loads the file (the AK data library reports a file
    // it cannot read). True when it loaded; otherwise the record keeps
    // nothing worth showing and loaded() is false.
    bool setAk(std::string_view path);

    bool loaded() const { return loaded_; }
    const std::string& path() const { return path_; }
    const TArmoredKnight& ak() const { return *ak_; }

    // Sheet `kind` (0 to 6) of the loaded AK; empty when nothing is loaded or
    // the kind is out of range.
    std::string sheet(int kind) const;

    // "ＡＫデータの詳細情報 [pilot name]" of the AK that loaded last (a file
    // that does not load leaves it), the base caption before the first.
    const std::string& caption() const { return caption_; }

private:
    std::unique_ptr<TArmoredKnight> ak_;
    std::string path_;
    std::string caption_;
    bool loaded_ = false;
};

} // namespace cmn
