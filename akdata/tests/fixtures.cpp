// Fixtures of the AK data library tests.
#include "fixtures.h"

#include "akdata/akfile.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

namespace akfix {

std::string dataDir() {
    return AKDATA_SAMPLE_DIR;
}

std::string sampleBytes(const std::string& relative) {
    return testsupport::readFile(dataDir() + relative);
}

std::vector<std::string> sampleLines(const std::string& akName) {
    std::string text = testsupport::u8(sampleBytes("AkData/" + akName));
    std::vector<std::string> lines;
    size_t pos = 0;
    for (size_t end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2)
        lines.push_back(text.substr(pos, end - pos));
    return lines;
}

std::string crlf(const std::vector<std::string>& utf8Lines) {
    std::string out;
    for (const std::string& l : utf8Lines) out += testsupport::sj(l) + "\r\n";
    return out;
}

TArmoredKnight sample(const std::string& akName) {
    TArmoredKnight ak{};
    EXPECT_EQ(akdata::parseAkData(ak, sampleBytes("AkData/" + akName)), akdata::LoadOk) << akName;
    return ak;
}

TArmoredKnight withLine(const std::string& akName, int n, const std::string& utf8Line) {
    std::vector<std::string> lines = sampleLines(akName);
    lines.at(static_cast<size_t>(n - 1)) = utf8Line;
    TArmoredKnight ak{};
    EXPECT_EQ(akdata::parseAkData(ak, crlf(lines)), akdata::LoadOk);
    return ak;
}

void copySampleCatalog(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    for (const auto& e : std::filesystem::directory_iterator(dataDir() + "WpData"))
        std::filesystem::copy_file(e.path(), dir / e.path().filename());
}

} // namespace akfix
