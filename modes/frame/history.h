// The result-file history of a mode: up to twenty file names kept under
// the mode key's subkey "File" as values "0000" (the newest) to "0019".
// The set-up window shows the names in its result-file combo box; the
// combo's text is the file the next run writes.
#pragma once

#include "modes/frame/modeinfo.h"

#include <string>
#include <vector>

namespace modes {

class ResultHistory {
public:
    static constexpr int Slots = 20;

    // Reads the twenty values; every non-empty one becomes an item, in
    // order. The text is value "0000", or the mode's default result file
    // when that value is empty.
    void load(const ModeInfo& info);

    const std::vector<std::string>& items() const { return items_; }
    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }

    // The text moves to the front of the items (inserted when it is not
    // there, never twice); the text := item 0.
    void promote();

    // Writes the first twenty items to "0000".."0019" (slots beyond the
    // items empty), so the oldest names fall off.
    bool save(const ModeInfo& info) const;

private:
    std::vector<std::string> items_;
    std::string text_;
};

} // namespace modes
