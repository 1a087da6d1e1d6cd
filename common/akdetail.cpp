// The detail window's content, made by the AK data library's sheet writer.
#include "common/akdetail.h"

#include "akdata/akexports.h"
#include "base/sjis.h"
#include "sjis/cmn_text.h"

#include <vector>

namespace cmn {

AkDetail::AkDetail() : ak_(std::make_unique<TArmoredKnight>()), caption_(cmt::DetailCaption) {}

bool AkDetail::setAk(std::string_view path) {
    path_ = path;
    loaded_ = LoadAkData(ak_.get(), path_.c_str()) == 0;
    if (loaded_) {
        caption_ = cmt::DetailCaption;
        caption_ += " [";
        caption_ += sjis::readField(ak_->Pilot.Name);
        caption_ += "]";
    }
    return loaded_;
}

std::string AkDetail::sheet(int kind) const {
    if (!loaded_ || kind < 0 || kind >= DetailSheetCount) return {};
    std::vector<char> buffer(DetailSheetSize, '\0');
    MakeAkDetail(ak_.get(), kind, buffer.data());
    return std::string(sjis::readField(buffer.data(), buffer.size()));
}

} // namespace cmn
