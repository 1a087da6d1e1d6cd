#include "main/settingsfile.h"

#include "platform/files.h"
#include "platform/registry.h"

namespace vell {

namespace {

constexpr const char* CorvaneKey = "Software\\Corvane";
constexpr const char* OwnKey = "Software\\Dunmoor\\CVVell";

} // namespace

void ExportRegistryKey(std::string& out, std::string_view keyPath) {
    if (!plat::reg::keyExists(keyPath)) return;
    // The settings store's own escapes, so that every byte but NUL comes
    // back: plain settings are written as the registry editor writes them,
    // only the backslashes of their values doubled.
    out += "[HKEY_CURRENT_USER\\";
    plat::reg::escapeKeyPath(out, keyPath);
    out += "]\r\n";
    for (const std::string& name : plat::reg::valueNames(keyPath)) {
        out += '"';
        plat::reg::escapeValueText(out, name);
        out += "\"=\"";
        plat::reg::escapeValueText(out, plat::reg::readString(keyPath, name, ""));
        out += "\"\r\n";
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
    for (std::string_view line : plat::splitLines(text)) {
        if (line.empty()) continue;
        if (line[0] == '[') {
            keyOpen = false;
            size_t bs = line.find('\\');
            if (bs == std::string_view::npos) continue;
            std::string_view path = line.substr(bs + 1);
            if (!path.empty() && path.back() == ']') path.remove_suffix(1);
            if (path.empty()) continue;
            openKey = plat::reg::unescapeKeyText(path);
            keyOpen = plat::reg::openKey(openKey, true);
        } else if (line[0] == '"' && keyOpen) {
            std::string name, value;
            // A backslash that starts no escape stays: older files only
            // doubled their backslashes.
            size_t nameEnd = plat::reg::unescapeValueText(name, line, 1, true, true);
            if (nameEnd >= line.size()) continue;
            size_t v1 = line.find('"', nameEnd + 1);
            size_t v2 = line.rfind('"');
            // The value runs to the line's last quote, so a value that itself
            // holds a quote comes back whole.
            if (v1 == std::string_view::npos || v2 <= v1) continue;
            plat::reg::unescapeValueText(value, line.substr(v1 + 1, v2 - v1 - 1), 0, false, true);
            plat::reg::writeValue(openKey, name, value);
        }
    }
}

void resetSettings() {
    plat::reg::Batch batch;
    plat::reg::deleteKey(CorvaneKey);
    plat::reg::deleteKey(OwnKey);
}

} // namespace vell
