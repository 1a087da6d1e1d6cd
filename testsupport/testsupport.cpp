#include "testsupport/testsupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {

static std::string convert(std::string_view in, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1) throw std::runtime_error("iconv_open failed");
    std::string src(in);
    std::string out(src.size() * 4 + 8, '\0');
    char* ip = src.data();
    size_t il = src.size();
    char* op = out.data();
    size_t ol = out.size();
    size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == (size_t)-1) throw std::runtime_error("text has no " + std::string(to) + " form");
    out.resize(out.size() - ol);
    return out;
}

std::string sj(std::string_view utf8) { return convert(utf8, "CP932", "UTF-8"); }

std::string u8(std::string_view cp932) {
    try {
        return convert(cp932, "UTF-8", "CP932");
    } catch (const std::exception&) {
        return "<" + hex(cp932) + ">";
    }
}

std::string hex(std::string_view bytes) {
    std::string s;
    char buf[4];
    for (unsigned char b : bytes) {
        if (!s.empty()) s += ' ';
        std::snprintf(buf, sizeof buf, "%02X", b);
        s += buf;
    }
    return s;
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const std::filesystem::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/velltest.XXXXXX";
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

namespace {

std::string scratchHome;
pid_t scratchOwner = 0;

// At exit, after the objects made during the tests are gone (a settings
// store saved on its way out included); only by the process that made it.
void removeScratchHome() {
    if (::getpid() != scratchOwner) return;
    std::error_code ec;
    std::filesystem::remove_all(scratchHome, ec);
}

} // namespace

void useScratchHome(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--gtest_internal_run_death_test", 31) == 0) return;
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/velltest.home.XXXXXX";
    if (!mkdtemp(templ.data())) {
        std::perror("no scratch home for the tests");
        std::exit(1);
    }
    scratchHome = templ;
    scratchOwner = ::getpid();
    ::setenv("XDG_CONFIG_HOME", (scratchHome + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (scratchHome + "/data").c_str(), 1);
    std::atexit(removeScratchHome);
}

} // namespace testsupport
