// Fuzz target: arbitrary bytes as message texts, which come from message
// files and archives. Besides the sanitizers' checks it asserts the queue's
// and the templates' promises: never more than 150 lines, every line text
// terminated inside its 400 bytes and cut on a character boundary, expanded
// texts within their limits.
//
// Input: byte 0 picks the options and the name width, the rest is split at
// the first NUL into the message and a speaker label.
#include "base/sjis.h"
#include "core/module.h"
#include "core/queue.h"
#include "core/templates.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/fuzzcheck.h"

namespace {

void checkBuffer(const cv::GameMessageBuffer& buffer) {
    FUZZ_CHECK(buffer.Count <= cv::MessageLineCount);
    for (uint32_t i = 0; i < buffer.Count; ++i) {
        const char* text = buffer.Lines[i].Text;
        size_t len = strnlen(text, cv::MessageTextSize);
        FUZZ_CHECK(len < cv::MessageTextSize);
        FUZZ_CHECK(sjis::isBoundary(std::string_view(text, len), len));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);
    size_t nul = in.find('\0');
    std::string_view message = in.substr(0, nul);
    std::string_view speaker = nul == std::string_view::npos ? std::string_view() : in.substr(nul + 1, 100);

    static GameSettings gs{};
    gs = GameSettings{};
    gs.Options[OptInternalInfo] = 1;
    gs.Options[OptAnnouncerNameReplace] = data[0] & 1;
    gs.Options[OptNoFullToHalf] = (data[0] >> 1) & 1;
    gs.NameWidth = (data[0] >> 2) * 4 - 20; // negative widths too
    sjis::writeField(gs.AnnouncerLabel, speaker);
    sjis::writeField(gs.Words[0].MySelf[0], speaker.substr(0, 6));
    cv::Module().Settings = &gs;

    static TArmoredKnight ak[2];
    static cv::CombatantState st[2];
    for (int i = 0; i < 2; ++i) {
        ak[i] = TArmoredKnight{};
        st[i] = cv::CombatantState{};
        sjis::writeField(ak[i].AkName, message.substr(0, 100));
        sjis::writeField(ak[i].Pilot.History, message);
    }
    TArmoredKnight* aks[2] = {&ak[0], &ak[1]};
    cv::CombatantState* states[2] = {&st[0], &st[1]};
    cv::SetupPlaceholderTables(aks, states, 2);

    auto buffer = std::make_unique<cv::GameMessageBuffer>();
    *buffer = cv::GameMessageBuffer{};
    buffer->CurrentKind = data[0] % 6;
    // A queue already nearly full (of empty lines), so a few rounds fill it.
    buffer->Count = cv::MessageLineCount - 12;
    std::string slots = cv::ExpandMessageSlots(message, {speaker, message, speaker});
    FUZZ_CHECK(slots.size() <= cv::ExpandedTextLimit);
    FUZZ_CHECK(sjis::isBoundary(slots, slots.size()));
    std::string expanded = cv::ExpandPlaceholders(slots, data[0] % 5);
    FUZZ_CHECK(expanded.size() <= cv::ExpandedTextLimit);

    std::string words(message);
    cv::ApplyWordTable(0, words, message.substr(0, 40));
    FUZZ_CHECK(words.size() <= std::max(message.size(), cv::MessageTextLimit));

    // Until the queue is full, and one round more into a full queue; one
    // check at the end covers every line queued.
    // The profile blocks take texts of the AK record's 256-byte fields.
    std::string_view profile = message.substr(0, sizeof ak[0].Pilot.History - 1);
    for (int i = 0; i < 40; ++i) {
        bool full = buffer->Count == cv::MessageLineCount;
        cv::Narrate(*buffer, slots, speaker, data[0] % 5);
        cv::QueueLabelledText(*buffer, profile, speaker);
        cv::QueueHangingText(*buffer, profile, speaker);
        FUZZ_CHECK(cv::QueueTraceMessage(*buffer, message) != nullptr);
        if (full) break;
    }
    checkBuffer(*buffer);

    std::string tabs = cv::ReplaceBlanksWithTabs(message);
    FUZZ_CHECK(tabs.size() <= message.size());
    std::string fitted = cv::FitNameToWidth(message, data[0] % 40);
    FUZZ_CHECK(fitted.size() <= static_cast<size_t>(data[0] % 40));

    cv::Module().Settings = nullptr;
    cv::Module().Placeholders = cv::PlaceholderTables{};
    return 0;
}
