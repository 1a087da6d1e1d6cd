// Arbitrary bytes through the line codec: encoding then decoding gives back
// the text without its control bytes, the plain fallback form decodes to the
// same, and no routine writes more than its bound.
#include "kwph/codec.h"
#include "kwph/pack.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    const std::string plain = kwp::plainText(in);
    const std::string enc = kwp::encodeLine(in);
    require(enc.size() <= 2 * size);
    require(kwp::decodeLine(enc) == plain);
    require(kwp::decodeLine("\t" + plain) == plain);
    for (bool codec : {true, false}) {
        auto stored = kwp::storedForm(in, codec);
        if (stored) require(stored->size() <= kwp::kMaxStoredLine);
        if (stored && codec) require(kwp::decodeLine(*stored) == plain);
    }
    require(kwp::decodeLine(in, kwp::DecodeMode::Letters).size() <= 2 * size);
    require(kwp::decodeLine(in, kwp::DecodeMode::Raw).size() <= 2 * size);
    require(kwp::exdbl(in).size() <= 2 * size);
    require(kwp::exsng(in).size() <= size);
    require(kwp::exsingle(in).size() <= size);
    return 0;
}
