#include "main/settingsfile.h"

#include "config/conffile.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace vell {

namespace {

constexpr const char* CorvaneKey = "Software\\Corvane";
constexpr const char* OwnKey = "Software\\Dunmoor\\CVVell";

// The escapes of the settings store's own file, so that every byte but NUL
// comes back: in names and values a backslash is doubled, a quote is \" and
// a control byte \xNN; in key paths (where '\' separates names) a control
// byte or '%' is %NN. Settings without control bytes, quotes or '%' are
// written as before: only their backslashes doubled.
bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

void hexInto(std::string& out, char lead, unsigned char c) {
    static const char digits[] = "0123456789abcdef";
    out += lead;
    out += digits[c >> 4];
    out += digits[c & 15];
}

std::string escapeText(std::string_view s) {
    std::string out;
    for (char ch : s) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (isControl(c)) {
            out += '\\';
            hexInto(out, 'x', c);
        } else {
            if (ch == '\\' || ch == '"') out += '\\';
            out += ch;
        }
    }
    return out;
}

std::string escapeKeyPath(std::string_view s) {
    std::string out;
    for (char ch : s) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (isControl(c) || ch == '%')
            hexInto(out, '%', c);
        else
            out += ch;
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The byte of "NN" at s[i], or -1.
int hexByte(std::string_view s, size_t i) {
    if (i + 1 >= s.size() || hexValue(s[i]) < 0 || hexValue(s[i + 1]) < 0) return -1;
    return hexValue(s[i]) * 16 + hexValue(s[i + 1]);
}

// Undoes escapeText from s[i] to the end, or with `toQuote` up to the first
// unescaped quote; returns where it stopped. A backslash that starts no
// escape stays, so files whose values only had their backslashes doubled
// read as before.
size_t unescapeText(std::string& out, std::string_view s, size_t i, bool toQuote) {
    while (i < s.size() && !(toQuote && s[i] == '"')) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char e = s[i + 1];
            if (e == '\\' || e == '"') {
                out += e;
                i += 2;
                continue;
            }
            int b = e == 'x' ? hexByte(s, i + 2) : -1;
            if (b >= 0) {
                out += static_cast<char>(b);
                i += 4;
                continue;
            }
        }
        out += s[i++];
    }
    return i;
}

std::string unescapeKeyPath(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        int b = s[i] == '%' ? hexByte(s, i + 1) : -1;
        if (b >= 0) {
            out += static_cast<char>(b);
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace

void ExportRegistryKey(std::string& out, std::string_view keyPath) {
    if (!plat::reg::keyExists(keyPath)) return;
    out += "[HKEY_CURRENT_USER\\" + escapeKeyPath(keyPath) + "]\r\n";
    for (const std::string& name : plat::reg::valueNames(keyPath)) {
        std::string value = plat::reg::readString(keyPath, name, "");
        out += "\"" + escapeText(name) + "\"=\"" + escapeText(value) + "\"\r\n";
    }
    out += "\r\n";
    for (const std::string& sub : plat::reg::subKeyNames(keyPath))
        ExportRegistryKey(out, std::string(keyPath) + "\\" + sub);
}

std::string settingsFileText() {
    std::string text = "REGEDIT4\r\n\r\n";
    ExportRegistryKey(text, CorvaneKey);
    ExportRegistryKey(text, OwnKey);
    return text;
}

void ImportRegFile(std::string_view text) {
    plat::reg::Batch batch;
    std::string openKey;
    bool keyOpen = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (line[0] == '[') {
            keyOpen = false;
            size_t bs = line.find('\\');
            if (bs == std::string_view::npos) continue;
            std::string_view path = line.substr(bs + 1);
            if (!path.empty() && path.back() == ']') path.remove_suffix(1);
            if (path.empty()) continue;
            openKey = unescapeKeyPath(path);
            keyOpen = plat::reg::openKey(openKey, true);
        } else if (line[0] == '"' && keyOpen) {
            std::string name, value;
            size_t nameEnd = unescapeText(name, line, 1, true);
            if (nameEnd >= line.size()) continue;
            size_t v1 = line.find('"', nameEnd + 1);
            size_t v2 = line.rfind('"');
            // The value runs to the line's last quote, so a value that itself
            // holds a quote comes back whole.
            if (v1 == std::string_view::npos || v2 <= v1) continue;
            unescapeText(value, line.substr(v1 + 1, v2 - v1 - 1), 0, false);
            plat::reg::writeValue(openKey, name, value);
        }
    }
}

void resetSettings() {
    plat::reg::Batch batch;
    plat::reg::deleteKey(CorvaneKey);
    plat::reg::deleteKey(OwnKey);
}

bool readConfImage(std::string_view path, std::string& image) {
    auto bytes = plat::readWholeFile(path);
    if (!bytes || !cnf::confFromBytes(*bytes)) return false;
    image = bytes->substr(0, cnf::ConfFileSize);
    return true;
}

} // namespace vell
