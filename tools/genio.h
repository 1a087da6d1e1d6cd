// File and text helpers of the sample generators: whole files in and out as
// bytes, and UTF-8 source text to the Shift-JIS (CP932) the system stores.
// Every failure throws, so a generator never writes a half-made sample.
#pragma once

#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <sstream>
#include <stdexcept>
#include <string>

namespace genio {

inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + p.string());
}

// The CP932 bytes of `utf8`; `what` names the text in the error when a
// character has no CP932 form.
inline std::string toCp932(const std::string& utf8, const std::string& what) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == (iconv_t)-1) throw std::runtime_error("no CP932 converter");
    std::string in = utf8, out(utf8.size() * 2 + 4, '\0');
    char* ip = in.data();
    char* op = out.data();
    size_t il = in.size(), ol = out.size();
    size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == (size_t)-1) throw std::runtime_error(what);
    out.resize(out.size() - ol);
    return out;
}

} // namespace genio
