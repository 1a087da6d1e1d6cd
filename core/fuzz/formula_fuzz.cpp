// Fuzz target: arbitrary text as a bounty formula. Besides the sanitizers'
// checks it asserts the converter's promises: the 80-byte postfix buffer is
// never written past and always terminated, a postfix that fits is written
// whole, every token of it is followed by exactly one blank, and the
// evaluator gives the same value for the text however it is reached.
#include "base/akrecord.h"
#include "core/formula.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view infix(reinterpret_cast<const char*>(data), size);

    TArmoredKnight ak{};
    ak.TotalCr = 5000;
    ak.MachineValue = 3200;
    ak.Pilot.Battles = 100;
    ak.Pilot.Wins = 60;
    ak.Team.Mctl = -2147483647 - 1;

    cv::PostfixText full = cv::ConvertInfix(infix);
    FUZZ_CHECK(full.Text.empty() || full.Text.back() == ' ');

    constexpr size_t guard = 16;
    char buffer[guard + cv::PostfixBufferSize + guard];
    std::memset(buffer, 0x5A, sizeof buffer);
    char* out = buffer + guard;
    uint32_t result = cv::Infix2Postfix(infix, out);
    for (size_t i = 0; i < guard; ++i) {
        FUZZ_CHECK(buffer[i] == 0x5A);
        FUZZ_CHECK(buffer[guard + cv::PostfixBufferSize + i] == 0x5A);
    }
    size_t len = strnlen(out, cv::PostfixBufferSize);
    FUZZ_CHECK(len < cv::PostfixBufferSize);
    FUZZ_CHECK(result == 0 || result == cv::FormulaError);
    if (full.Text.size() < cv::PostfixBufferSize && full.Text.find('\0') == std::string::npos)
        FUZZ_CHECK(std::string_view(out, len) == full.Text);
    else
        FUZZ_CHECK(len == 0 && result == cv::FormulaError);
    if (result == 0) FUZZ_CHECK(!full.Error);

    // Evaluating the written postfix twice gives one value; the raw input
    // is evaluated too, as the configuration manager may pass any text.
    int32_t a = cv::CalcPostfix(std::string_view(out, len), ak);
    FUZZ_CHECK(a == cv::CalcPostfix(std::string_view(out, len), ak));
    (void)cv::CalcPostfix(infix, ak);
    return 0;
}
