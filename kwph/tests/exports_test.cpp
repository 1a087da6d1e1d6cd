// libkwph.so as its callers see it: loaded by its Windows name, every export
// present under both names, buffers never written past their bounds, the
// game processor's Attach / Decompress / Detach, and a whole pack-list-check-
// unpack cycle through the plain calls.
#include "kwph/archive_view.h"

#include "platform/loader.h"
#include "samples.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

using testsupport::readFile;
using testsupport::sj;

namespace {

using Bool = unsigned char;

class Kwph : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        lib = new plat::Library;
        ASSERT_TRUE(lib->load(KWPH_PROGRAM_DIR, "kwph.dll")) << lib->error();
    }
    static void TearDownTestSuite() {
        delete lib;
        lib = nullptr;
    }
    void TearDown() override { fn<Bool (*)()>("Detach")(); }
    template <class F> static F fn(const char* name) {
        F f = lib->function<F>(name);
        EXPECT_NE(f, nullptr) << name;
        return f;
    }
    static inline plat::Library* lib = nullptr;
};

} // namespace

TEST_F(Kwph, EveryCallIsExportedUnderBothNames) {
    for (const char* name : {"GetDllVersion",
                             "_kwp_GetVersion",
                             "Attach",
                             "_kwp_Attach",
                             "Detach",
                             "_kwp_Detach",
                             "SetPosition",
                             "_kwp_SetPosition",
                             "Compress",
                             "_kwp_Compress",
                             "Decompress",
                             "_kwp_Decompress",
                             "DecompressH",
                             "Pack",
                             "_kwp_Pack",
                             "NoCompressPack",
                             "_kwp_NoCompressPack",
                             "LzhToKwp",
                             "_kwp_LzhToKwp",
                             "Check",
                             "_kwp_Check",
                             "Unpack",
                             "_kwp_Unpack",
                             "PutMsgList",
                             "_kwp_List",
                             "SetComment",
                             "_kwp_Comment",
                             "GetErrMsg",
                             "_kwp_ErrorMessage",
                             "GetMsgIdxFromKwp",
                             "GetTxtFromKwp",
                             "GetLenAdrFromKwp",
                             "GetTxtAdrFromKwp",
                             "GetMsgLenFromKwp",
                             "exdbl",
                             "exsng",
                             "exsingle"})
        EXPECT_NE(lib->symbol(name), nullptr) << name;
}

TEST_F(Kwph, VersionAndBoundedOutputs) {
    char buf[600];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(fn<double (*)(char*)>("GetDllVersion")(buf), 0.88);
    EXPECT_EQ(std::string(buf, 17), std::string("KWPH.DLL 0.8.8  \0", 17));
    EXPECT_EQ(buf[17], '#');
    EXPECT_EQ(fn<double (*)(char*)>("_kwp_GetVersion")(buf), 0.88);

    // 600 stored bytes widen to 1200: the output stops at 511 bytes and a NUL.
    const std::string stored(600, 'x');
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(fn<int (*)(char*, const char*)>("Decompress")(buf, stored.c_str()), 510);
    EXPECT_EQ(std::strlen(buf), 510u);
    EXPECT_EQ(buf[512], '#');

    std::memset(buf, '#', sizeof buf);
    auto exdbl = fn<char* (*)(char*, const char*)>("exdbl");
    EXPECT_EQ(exdbl(buf, std::string(200, 'A').c_str()), buf);
    EXPECT_EQ(std::string(buf), [] {
        std::string s;
        for (int i = 0; i < 127; ++i) s += sj("Ａ");
        return s;
    }());
    EXPECT_EQ(buf[256], '#');

    char small[8];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(fn<int (*)(char*, const char*)>("Compress")(small, sj("ｶｷ").c_str()), 4);
    EXPECT_EQ(std::string(small, 5), std::string("\x08\xB6\x08\xB7\0", 5));
    EXPECT_EQ(small[5], '#');
    EXPECT_EQ(fn<int (*)(char*, const char*)>("Compress")(nullptr, "x"), 0);
    EXPECT_EQ(fn<int (*)(char*, const char*)>("DecompressH")(small, "\t\x01"), 1);
    EXPECT_STREQ(small, "\x01");
    EXPECT_STREQ(fn<char* (*)(char*, const char*)>("exsingle")(small, sj("が").c_str()), sj("ｶﾞ").c_str());
    EXPECT_STREQ(fn<char* (*)(char*, const char*)>("exsng")(small, sj("が").c_str()), sj("ｶ").c_str());
}

TEST_F(Kwph, TheGameProcessorsCalls) {
    auto attach = fn<Bool (*)(int, int, int, int)>("_kwp_Attach");
    auto decompress = fn<char* (*)(const char*, char*)>("_kwp_Decompress");
    auto detach = fn<Bool (*)()>("_kwp_Detach");
    char out[512] = "untouched";
    EXPECT_EQ(decompress("\x01", out), out);
    EXPECT_STREQ(out, "untouched");
    ASSERT_EQ(attach(0, 0, 100, 100), 1);

    // The reader keeps its archive in memory and hands over one stored line
    // at a time, NUL-terminated.
    testsupport::TempDir src, dst;
    kwtest::writeSampleFolder(src.path());
    const std::string archive = dst.folder() + "gp.kwp";
    ASSERT_EQ(fn<Bool (*)(const char*, const char*, const char*, int)>("_kwp_Pack")(src.folder().c_str(),
                                                                                    archive.c_str(), "", 1),
              1);
    const std::string bytes = readFile(archive);
    kwp::ArchiveView view(bytes, 5);
    ASSERT_TRUE(view.ok());
    auto entry = view.find("PLAY_ANA");
    ASSERT_TRUE(entry);
    auto lines = view.lines(*entry);
    ASSERT_TRUE(lines);
    const auto expect = kwtest::packedSamples()[0].lines;
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < 50; ++round) {
                for (size_t k = 0; k < lines->lines.size(); ++k) {
                    char in[256] = {};
                    std::memcpy(in, lines->lines[k].data(), lines->lines[k].size());
                    char text[512];
                    if (decompress(in, text) != text || expect[k] != text) ++wrong;
                }
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(detach(), 1);
    std::strcpy(out, "again");
    decompress("\x01", out);
    EXPECT_STREQ(out, "again");
}

TEST_F(Kwph, PlainCallsPackListCheckAndUnpack) {
    testsupport::TempDir src, dst, unpacked;
    kwtest::writeSampleFolder(src.path());
    const std::string archive = dst.folder() + "all.kwp";
    using PackFn = Bool (*)(const char*, const char*, const char*, int);
    using OneFn = Bool (*)(const char*);
    char err[1024];

    // Without an engine: Pack makes a temporary one, the twins refuse.
    EXPECT_EQ(fn<PackFn>("_kwp_Pack")(src.folder().c_str(), archive.c_str(), "c", 1), 0);
    EXPECT_EQ(fn<OneFn>("PutMsgList")(archive.c_str()), 0);
    EXPECT_EQ(fn<OneFn>("Check")(src.folder().c_str()), 0);
    EXPECT_EQ(
        fn<Bool (*)(const char*, const char*, int)>("Unpack")(unpacked.folder().c_str(), archive.c_str(), 1),
        0);
    EXPECT_EQ(fn<PackFn>("LzhToKwp")("x.lzh", archive.c_str(), "", 1), 0);
    EXPECT_EQ(fn<Bool (*)(const char*, const char*, const char*)>("NoCompressPack")(src.folder().c_str(),
                                                                                    archive.c_str(), ""),
              0);
    EXPECT_EQ(fn<Bool (*)(const char*, const char*)>("_kwp_Comment")(archive.c_str(), "x"), 0);
    ASSERT_EQ(fn<PackFn>("Pack")(src.folder().c_str(), archive.c_str(), "c", 1), 1);

    ASSERT_EQ(fn<Bool (*)(int, int, int, int)>("Attach")(10, 20, 300, 400), 1);
    fn<void (*)(int, int, int, int)>("SetPosition")(1, 2, 3, 4);
    EXPECT_EQ(fn<OneFn>("_kwp_List")(archive.c_str()), 1);
    EXPECT_EQ(fn<OneFn>("_kwp_Check")(src.folder().c_str()), 1);
    EXPECT_EQ(fn<Bool (*)(const char*, const char*, int)>("_kwp_Unpack")(unpacked.folder().c_str(),
                                                                         archive.c_str(), 1),
              1);
    for (const auto& f : kwtest::packedSamples()) {
        std::string upperName = f.name;
        for (char& c : upperName) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(readFile(unpacked.path() / upperName), kwtest::crlfText(f.lines));
    }
    EXPECT_EQ(fn<Bool (*)(const char*, const char*)>("SetComment")(archive.c_str(), "new"), 1);
    EXPECT_EQ(readFile(archive).substr(24, 4), "new\x1A");

    EXPECT_EQ(fn<int (*)(const char*, const char*)>("GetMsgIdxFromKwp")(archive.c_str(), "m01a0.msg"), 4);
    char line[512];
    ASSERT_EQ(fn<Bool (*)(char*, const char*, const char*, int)>("GetTxtFromKwp")(line, archive.c_str(),
                                                                                  "M01A0", 2),
              1);
    EXPECT_EQ(std::string(line), sj("ＡＫ「%s」が前進する。"));
    using AtFn = int (*)(const char*, const char*, int);
    const int lenAt = fn<AtFn>("GetLenAdrFromKwp")(archive.c_str(), "M01A0", 2);
    const int txtAt = fn<AtFn>("GetTxtAdrFromKwp")(archive.c_str(), "M01A0", 2);
    const int len = fn<AtFn>("GetMsgLenFromKwp")(archive.c_str(), "M01A0", 2);
    const std::string bytes = readFile(archive);
    EXPECT_EQ(static_cast<unsigned char>(bytes[static_cast<size_t>(lenAt)]), len);
    std::memset(line, 0, sizeof line);
    fn<int (*)(char*, const char*)>("Decompress")(
        line, bytes.substr(static_cast<size_t>(txtAt), static_cast<size_t>(len)).c_str());
    EXPECT_EQ(std::string(line), sj("ＡＫ「%s」が前進する。"));
    EXPECT_EQ(fn<AtFn>("GetMsgLenFromKwp")(archive.c_str(), "M01A0", 5), 0);

    // Errors of the attached engine are kept until the next operation.
    EXPECT_EQ(fn<OneFn>("_kwp_List")((dst.folder() + "none.kwp").c_str()), 0);
    fn<void (*)(char*)>("GetErrMsg")(err);
    EXPECT_EQ(std::string(err), sj("ﾌｧｲﾙが見つかりませんでした(") + dst.folder() + "none.kwp)");
    fn<void (*)(char*)>("_kwp_ErrorMessage")(err);
    EXPECT_EQ(std::string(err), sj("ﾌｧｲﾙが見つかりませんでした(") + dst.folder() + "none.kwp)");
    EXPECT_EQ(fn<Bool (*)(const char*, const char*, const char*)>("_kwp_NoCompressPack")(src.folder().c_str(),
                                                                                         archive.c_str(), ""),
              1);
    fn<void (*)(char*)>("GetErrMsg")(err);
    EXPECT_STREQ(err, "");
    EXPECT_EQ(fn<Bool (*)()>("_kwp_Detach")(), 1);
    std::strcpy(err, "stale");
    fn<void (*)(char*)>("GetErrMsg")(err);
    EXPECT_STREQ(err, "");
}
