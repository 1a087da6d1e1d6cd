// The result-file history of a mode in the settings store.
#include "modes/frame/history.h"

#include "modes/frame/textfmt.h"
#include "platform/registry.h"

#include <algorithm>

namespace modes {

namespace {

std::string historyKey(const ModeInfo& info) {
    return modeKeyPath(info) + "\\File";
}

std::string slotName(int i) {
    return format("%4.4d", i);
}

} // namespace

void ResultHistory::load(const ModeInfo& info) {
    items_.clear();
    std::string key = historyKey(info);
    std::string first;
    for (int i = 0; i < Slots; ++i) {
        std::string value = plat::reg::readString(key, slotName(i), "");
        if (i == 0) first = value;
        if (!value.empty()) items_.push_back(std::move(value));
    }
    text_ = first.empty() ? std::string(info.DefaultResultFile) : first;
}

void ResultHistory::promote() {
    auto it = std::find(items_.begin(), items_.end(), text_);
    if (it != items_.end()) items_.erase(it);
    items_.insert(items_.begin(), text_);
}

bool ResultHistory::save(const ModeInfo& info) const {
    plat::reg::Batch batch;
    std::string key = historyKey(info);
    bool ok = true;
    for (int i = 0; i < Slots; ++i) {
        const std::string value = i < static_cast<int>(items_.size()) ? items_[i] : std::string();
        ok = plat::reg::writeValue(key, slotName(i), value) && ok;
    }
    return ok;
}

} // namespace modes
