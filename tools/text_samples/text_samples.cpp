// Writes the sample text templates of the program folder (Format/*.fmt) from
// the UTF-8 sources in this folder: each line becomes Shift-JIS and ends in
// CR LF, as the program's users write templates. A character without a
// Shift-JIS form stops the generator.
//   text_samples <output folder>
#include "platform/codec.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#ifndef TEXT_SAMPLES_SOURCE
#define TEXT_SAMPLES_SOURCE "Format/"
#endif

namespace {

const char* const Templates[] = {"regtext.fmt", "reghtml.fmt", "msghtml.fmt", "msgtext.fmt"};

bool convert(const std::filesystem::path& source, const std::filesystem::path& target) {
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", source.c_str());
        return false;
    }
    std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string out;
    size_t lineNo = 0;
    size_t start = 0;
    while (start < utf8.size()) {
        size_t lf = utf8.find('\n', start);
        std::string line = utf8.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
        ++lineNo;
        auto sjis = plat::utf8ToCp932(line);
        if (!sjis) {
            std::fprintf(stderr, "%s:%zu: text without a Shift-JIS form\n", source.c_str(), lineNo);
            return false;
        }
        out += *sjis;
        out += "\r\n";
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    std::filesystem::create_directories(target.parent_path());
    std::ofstream o(target, std::ios::binary | std::ios::trunc);
    o.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(o);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: text_samples <output folder>\n");
        return 2;
    }
    const std::filesystem::path out(argv[1]);
    for (const char* name : Templates)
        if (!convert(std::filesystem::path(TEXT_SAMPLES_SOURCE) / name, out / "Format" / name)) return 1;
    return 0;
}
