#include "platform/ini.h"

#include "platform/files.h"
#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>

namespace plat {

namespace {

std::string upper(std::string_view s) {
    return upperCaseKey(s);
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

} // namespace

IniFile::IniFile(std::string_view path) {
    if (auto text = readWholeFile(path)) {
        parse(*text);
        loaded_ = true;
    }
}

IniFile IniFile::fromText(std::string_view text) {
    IniFile f;
    f.parse(text);
    f.loaded_ = true;
    return f;
}

void IniFile::parse(std::string_view text) {
    Entries* cur = nullptr;
    for (std::string_view line : splitLines(text)) {
        line = trimBlanks(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            std::string name = upper(
                trimBlanks(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1)));
            cur = &sections_[name]; // a repeated section keeps adding; first keys still win
            continue;
        }
        size_t eq = line.find('=');
        if (!cur || eq == std::string_view::npos) continue;
        std::string key = upper(trimBlanks(line.substr(0, eq)));
        std::string_view value = trimBlanks(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        cur->try_emplace(std::move(key), value);
    }
}

const std::string* IniFile::find(std::string_view name, std::string_view key) const {
    const Entries* s = section(name);
    if (!s) return nullptr;
    auto k = s->find(upper(key));
    return k == s->end() ? nullptr : &k->second;
}

const IniFile::Entries* IniFile::section(std::string_view name) const {
    auto s = sections_.find(upper(name));
    return s == sections_.end() ? nullptr : &s->second;
}

bool IniFile::hasSection(std::string_view section) const {
    return sections_.count(upper(section)) != 0;
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view def) const {
    const std::string* v = find(section, key);
    return v ? *v : std::string(def);
}

int32_t IniFile::readInteger(std::string_view section, std::string_view key, int32_t def) const {
    const std::string* v = find(section, key);
    if (!v || v->empty()) return def;
    errno = 0;
    char* end = nullptr;
    bool hex = v->size() > 2 && (*v)[0] == '0' && ((*v)[1] == 'x' || (*v)[1] == 'X');
    long long n = hex ? std::strtoll(v->c_str() + 2, &end, 16) : std::strtoll(v->c_str(), &end, 10);
    if (errno || *end != '\0' || n < INT32_MIN || n > INT32_MAX) return def;
    return static_cast<int32_t>(n);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

} // namespace plat
