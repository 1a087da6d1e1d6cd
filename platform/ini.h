// A read-only ini file, as the theme settings are kept: "[Section]" lines and
// "key=value" lines in Shift-JIS. Section and key names compare ignoring
// ASCII case; the first occurrence wins; lines starting with ';' are
// comments; values are trimmed of blanks and lose one pair of surrounding
// double quotes. Missing entries give the caller's default.
#pragma once

#include "platform/export.h"

#include <cstdint>
#include <unordered_map>
#include <string>
#include <string_view>

namespace plat {

class PLAT_API IniFile {
public:
    IniFile() = default;
    // Reads the file at a Shift-JIS path; a missing file gives an empty ini.
    explicit IniFile(std::string_view path);
    static IniFile fromText(std::string_view text);

    bool loaded() const { return loaded_; }
    bool hasSection(std::string_view section) const;
    std::string readString(std::string_view section, std::string_view key, std::string_view def) const;
    // Whole decimal (or 0x hex) integer; anything else gives def.
    int32_t readInteger(std::string_view section, std::string_view key, int32_t def) const;
    bool readBool(std::string_view section, std::string_view key, bool def) const;

    // The keys (upper-cased) and values of one section, or null when the
    // file has no such section: for a reader that asks one section for many
    // keys.
    using Entries = std::unordered_map<std::string, std::string>;
    const Entries* section(std::string_view name) const;

private:
    void parse(std::string_view text);
    const std::string* find(std::string_view section, std::string_view key) const;
    bool loaded_ = false;
    std::unordered_map<std::string, Entries> sections_; // upper-cased names
};

} // namespace plat
