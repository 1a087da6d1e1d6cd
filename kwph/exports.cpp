// The exported calls of libkwph.so. Every operation is exported under its
// plain name and under a _kwp_ twin; the twins run on the attached engine
// and most plain calls on a temporary one. Texts are NUL-terminated
// Shift-JIS in the caller's buffers, and every write into a caller's buffer is
// bounded:
//   Compress      2 * strlen(input) + 1     Decompress(H)  511 + NUL
//   exdbl         255 + NUL                 exsng/exsingle strlen(input) + 1
//   GetErrMsg     1023 + NUL                GetDllVersion  16 + NUL
//   GetTxtFromKwp 511 + NUL
// A stored line is at most 255 bytes and decodes to at most 510, so callers
// pass decode buffers of 512 bytes.
// No exception leaves an export.
#include "kwph/access.h"
#include "kwph/archive_view.h"
#include "kwph/check.h"
#include "kwph/codec.h"
#include "kwph/engine.h"
#include "kwph/errors.h"
#include "kwph/lzh.h"
#include "kwph/pack.h"
#include "kwph/unpack.h"

#include "base/sjis.h"
#include "platform/export.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <string>

// The calls' "bool": one byte, true = 1.
using KwpBool = unsigned char;

namespace {

// The attached engine. Decoding never touches it, so run threads may decode
// at the same time; everything else runs on the one caller's thread.
std::atomic<kwp::Engine*> attached{nullptr};

std::string_view text(const char* s) {
    return s ? std::string_view(s) : std::string_view();
}

// Copies at most `limit` bytes of s (cut on a character boundary of the
// given lead test) and a NUL; returns the bytes copied.
size_t copyOut(char* out, std::string_view s, size_t limit, bool (*isLead)(unsigned char)) {
    size_t n = s.size() <= limit ? s.size() : kwp::cutOnCharacter(s, limit, isLead);
    if (n) std::memcpy(out, s.data(), n);
    out[n] = '\0';
    return n;
}

bool generalLead(unsigned char c) {
    return sjis::isLead(c);
}

// Runs f, turning any exception into the failure value.
template <class R, class F> R guarded(R failure, F f) {
    try {
        return f();
    } catch (...) {
        return failure;
    }
}

kwp::Geometry geometry(int top, int left, int height, int width) {
    return kwp::Geometry{top, left, height, width};
}

double version(char* out) {
    if (out) copyOut(out, kwp::kCreator, 16, generalLead);
    return 0.88;
}

KwpBool attach(int top, int left, int height, int width) {
    return guarded<KwpBool>(0, [&] {
        auto* e = new kwp::Engine(true, geometry(top, left, height, width));
        delete attached.exchange(e);
        return KwpBool{1};
    });
}

KwpBool detach() {
    delete attached.exchange(nullptr);
    return 1;
}

void setPosition(int top, int left, int height, int width) {
    if (kwp::Engine* e = attached.load()) e->setPosition(geometry(top, left, height, width));
}

int compress(char* out, const char* in) {
    if (!out) return 0;
    return guarded<int>(0, [&] {
        std::string_view src = text(in);
        return static_cast<int>(copyOut(out, kwp::encodeLine(src), 2 * src.size(), kwp::isCodecLead));
    });
}

int decompress(char* out, const char* in, kwp::DecodeMode mode) {
    if (!out) return 0;
    return guarded<int>(0, [&] {
        return static_cast<int>(
            copyOut(out, kwp::decodeLine(text(in), mode), kwp::kMaxDecodedLine + 1, kwp::isCodecLead));
    });
}

// Runs an operation on the attached engine; false without one.
template <class F> KwpBool onAttached(F f) {
    kwp::Engine* e = attached.load();
    if (!e) return 0;
    return guarded<KwpBool>(0, [&] { return f(*e) ? KwpBool{1} : KwpBool{0}; });
}

KwpBool packOn(kwp::Engine& e, const char* folder, const char* archive, const char* comment, bool codec) {
    return kwp::pack(e, text(folder), text(archive), text(comment), codec) ? 1 : 0;
}

} // namespace

VELL_EXPORT double GetDllVersion(char* out) {
    return version(out);
}
VELL_EXPORT double _kwp_GetVersion(char* out) {
    return version(out);
}

VELL_EXPORT KwpBool Attach(int top, int left, int height, int width) {
    return attach(top, left, height, width);
}
VELL_EXPORT KwpBool _kwp_Attach(int top, int left, int height, int width) {
    return attach(top, left, height, width);
}

VELL_EXPORT KwpBool Detach() {
    return detach();
}
VELL_EXPORT KwpBool _kwp_Detach() {
    return detach();
}

VELL_EXPORT void SetPosition(int top, int left, int height, int width) {
    setPosition(top, left, height, width);
}
VELL_EXPORT void _kwp_SetPosition(int top, int left, int height, int width) {
    setPosition(top, left, height, width);
}

VELL_EXPORT int Compress(char* out, const char* in) {
    return compress(out, in);
}
VELL_EXPORT char* _kwp_Compress(const char* in, char* out) {
    if (attached.load()) compress(out, in);
    return out;
}

VELL_EXPORT int Decompress(char* out, const char* in) {
    return decompress(out, in, kwp::DecodeMode::Letters);
}
VELL_EXPORT char* _kwp_Decompress(const char* in, char* out) {
    if (attached.load()) decompress(out, in, kwp::DecodeMode::Letters);
    return out;
}
VELL_EXPORT int DecompressH(char* out, const char* in) {
    return decompress(out, in, kwp::DecodeMode::Raw);
}

VELL_EXPORT KwpBool Pack(const char* folder, const char* archive, const char* comment, int compressFlag) {
    if (attached.load())
        return onAttached(
            [&](kwp::Engine& e) { return packOn(e, folder, archive, comment, compressFlag == 1); });
    return guarded<KwpBool>(0, [&] {
        const kwp::ScreenSize screen = kwp::screenSize();
        kwp::Engine temp(true, geometry(screen.height / 2, screen.width / 2, 300, 200));
        return packOn(temp, folder, archive, comment, compressFlag == 1);
    });
}
VELL_EXPORT KwpBool _kwp_Pack(const char* folder, const char* archive, const char* comment,
                              int compressFlag) {
    return onAttached([&](kwp::Engine& e) { return packOn(e, folder, archive, comment, compressFlag == 1); });
}

VELL_EXPORT KwpBool NoCompressPack(const char* folder, const char* archive, const char* comment) {
    return onAttached([&](kwp::Engine& e) { return packOn(e, folder, archive, comment, false); });
}
VELL_EXPORT KwpBool _kwp_NoCompressPack(const char* folder, const char* archive, const char* comment) {
    return NoCompressPack(folder, archive, comment);
}

VELL_EXPORT KwpBool LzhToKwp(const char* lzh, const char* archive, const char* comment, int compressFlag) {
    return onAttached([&](kwp::Engine& e) {
        return kwp::lzhToKwp(e, text(lzh), text(archive), text(comment), compressFlag == 1);
    });
}
VELL_EXPORT KwpBool _kwp_LzhToKwp(const char* lzh, const char* archive, const char* comment,
                                  int compressFlag) {
    return LzhToKwp(lzh, archive, comment, compressFlag);
}

VELL_EXPORT KwpBool Check(const char* folder) {
    return onAttached([&](kwp::Engine& e) { return kwp::check(e, text(folder)); });
}
VELL_EXPORT KwpBool _kwp_Check(const char* folder) {
    return Check(folder);
}

VELL_EXPORT KwpBool Unpack(const char* prefix, const char* archive, int pad) {
    return onAttached([&](kwp::Engine& e) { return kwp::unpack(e, text(prefix), text(archive), pad == 1); });
}
VELL_EXPORT KwpBool _kwp_Unpack(const char* prefix, const char* archive, int pad) {
    return Unpack(prefix, archive, pad);
}

VELL_EXPORT KwpBool PutMsgList(const char* archive) {
    return onAttached([&](kwp::Engine& e) { return kwp::putMsgList(e, text(archive)); });
}
VELL_EXPORT KwpBool _kwp_List(const char* archive) {
    return PutMsgList(archive);
}

VELL_EXPORT KwpBool SetComment(const char* archive, const char* comment) {
    return guarded<KwpBool>(0, [&] {
        kwp::Engine temp;
        return kwp::setComment(temp, text(archive), text(comment)) ? KwpBool{1} : KwpBool{0};
    });
}
VELL_EXPORT KwpBool _kwp_Comment(const char* archive, const char* comment) {
    return onAttached([&](kwp::Engine& e) { return kwp::setComment(e, text(archive), text(comment)); });
}

VELL_EXPORT void GetErrMsg(char* out) {
    if (!out) return;
    kwp::Engine* e = attached.load();
    copyOut(out, e ? std::string_view(e->lastError()) : std::string_view(), kwp::err::kMaxText, generalLead);
}
VELL_EXPORT void _kwp_ErrorMessage(char* out) {
    GetErrMsg(out);
}

VELL_EXPORT int GetMsgIdxFromKwp(const char* archive, const char* name) {
    return guarded<int>(0, [&] {
        kwp::Engine temp;
        return kwp::countMsgLines(temp, text(archive), text(name));
    });
}

VELL_EXPORT KwpBool GetTxtFromKwp(char* out, const char* archive, const char* name, int n) {
    if (!out) return 0;
    return guarded<KwpBool>(0, [&] {
        kwp::Engine temp;
        std::string line;
        if (!kwp::readMsgLine(temp, line, text(archive), text(name), n)) return KwpBool{0};
        copyOut(out, line, kwp::kMaxDecodedLine + 1, kwp::isCodecLead);
        return KwpBool{1};
    });
}

VELL_EXPORT int GetLenAdrFromKwp(const char* archive, const char* name, int n) {
    return guarded<int>(0, [&] {
        kwp::Engine temp;
        return kwp::lineLengthOffset(temp, text(archive), text(name), n);
    });
}

VELL_EXPORT int GetTxtAdrFromKwp(const char* archive, const char* name, int n) {
    return guarded<int>(0, [&] {
        kwp::Engine temp;
        return kwp::lineTextOffset(temp, text(archive), text(name), n);
    });
}

VELL_EXPORT int GetMsgLenFromKwp(const char* archive, const char* name, int n) {
    return guarded<int>(0, [&] {
        kwp::Engine temp;
        return kwp::lineStoredLength(temp, text(archive), text(name), n);
    });
}

VELL_EXPORT char* exdbl(char* out, const char* in) {
    if (!out) return out;
    return guarded<char*>(out, [&] {
        copyOut(out, kwp::exdbl(text(in)), 255, kwp::isWideningLead);
        return out;
    });
}

VELL_EXPORT char* exsng(char* out, const char* in) {
    if (!out) return out;
    return guarded<char*>(out, [&] {
        std::string_view src = text(in);
        copyOut(out, kwp::exsng(src), src.size(), kwp::isCodecLead);
        return out;
    });
}

VELL_EXPORT char* exsingle(char* out, const char* in) {
    if (!out) return out;
    return guarded<char*>(out, [&] {
        std::string_view src = text(in);
        copyOut(out, kwp::exsingle(src), src.size(), kwp::isCodecLead);
        return out;
    });
}
