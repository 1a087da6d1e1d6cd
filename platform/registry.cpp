#include "platform/registry.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/sjischar.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <sys/stat.h>

namespace plat::reg {

namespace {

std::string upper(std::string_view s) {
    return upperCaseKey(s);
}

struct Node {
    std::string name;
    std::map<std::string, std::unique_ptr<Node>> children;             // by upper-cased name
    std::map<std::string, std::pair<std::string, std::string>> values; // upper → (name, bytes)
};

struct KeyHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

struct Store {
    std::mutex mutex;
    std::string path;
    bool pathSet = false;
    bool memoryOnly = false; // setStoreText: never read or saved
    bool loaded = false;
    bool dirty = false;
    int batchDepth = 0;
    Node root;
    // Key paths already walked, as given, to their nodes (null when
    // missing). Emptied whenever a node may go away or come to be.
    std::unordered_map<std::string, Node*, KeyHash, std::equal_to<>> found;
};

Store& store() {
    static Store s;
    return s;
}

std::string defaultPath() {
    return userFolder("XDG_CONFIG_HOME", ".config") + "registry.reg";
}

// The next name of a key path from `pos` on, split on whole-character '\'
// (empty names are skipped), with pos moved past it; empty at the end.
std::string_view nextKeyName(std::string_view key, size_t& pos) {
    while (pos < key.size()) {
        size_t start = pos;
        while (pos < key.size()) {
            unsigned len = sjisCharLen(key.data(), pos, key.size());
            if (len == 1 && key[pos] == '\\') break;
            pos += len;
        }
        std::string_view name = key.substr(start, pos - start);
        if (pos < key.size()) ++pos; // the separator
        if (!name.empty()) return name;
    }
    return {};
}

// Splits a key path on whole-character '\'; empty components are skipped.
std::vector<std::string> splitKey(std::string_view key) {
    std::vector<std::string> parts;
    size_t pos = 0;
    for (std::string_view name = nextKeyName(key, pos); !name.empty(); name = nextKeyName(key, pos))
        parts.emplace_back(name);
    return parts;
}

// Walks the names of a key path without copying them apart.
Node* find(Node& root, std::string_view key, bool create, bool& created) {
    Node* n = &root;
    size_t pos = 0;
    for (std::string_view part = nextKeyName(key, pos); !part.empty(); part = nextKeyName(key, pos)) {
        std::string folded = upper(part);
        auto it = n->children.find(folded);
        if (it == n->children.end()) {
            if (!create) return nullptr;
            auto child = std::make_unique<Node>();
            child->name = part;
            it = n->children.emplace(std::move(folded), std::move(child)).first;
            created = true;
        }
        n = it->second.get();
    }
    return n;
}

// find() through the store's table of key paths already walked, missing
// ones included: the loaders read thousands of values, most of them absent,
// from a few dozen keys.
Node* lookup(Store& s, std::string_view key, bool create) {
    auto it = s.found.find(key);
    if (it != s.found.end() && (it->second || !create)) return it->second;
    bool created = false;
    Node* n = find(s.root, key, create, created);
    // A new key may be one that was recorded missing.
    if (created || s.found.size() >= 4096) s.found.clear();
    s.found.insert_or_assign(std::string(key), n);
    return n;
}

void resetTree(Store& s) {
    s.found.clear();
    s.root = Node{};
}

// --- the store file -------------------------------------------------------
// REGEDIT4-style text: "[HKEY_CURRENT_USER\a\b]" lines and "name"="value"
// lines. Value names and values are escaped byte by byte (\\ \" and \xNN for
// control bytes). In key lines raw '\' only ever separates names: a '\', ']',
// '%' or control byte inside a key name is written %NN.

int hexv(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The byte of "NN" at s[i], or -1.
int hexByte(std::string_view s, size_t i) {
    if (i + 1 >= s.size() || hexv(s[i]) < 0 || hexv(s[i + 1]) < 0) return -1;
    return hexv(s[i]) * 16 + hexv(s[i + 1]);
}

void hexInto(std::string& out, char lead, unsigned char c) {
    static const char digits[] = "0123456789abcdef";
    out += lead;
    out += digits[c >> 4];
    out += digits[c & 15];
}

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

void serialise(const Node& n, const std::string& path, std::string& out) {
    // The root's own values sit under the bare root name.
    if (!path.empty() || !n.values.empty()) {
        out += '[';
        out += path.empty() ? std::string("HKEY_CURRENT_USER") : path;
        out += "]\n";
        for (auto& [k, v] : n.values) {
            out += '"';
            escapeValueText(out, v.first);
            out += "\"=\"";
            escapeValueText(out, v.second);
            out += "\"\n";
        }
        out += '\n';
    }
    for (auto& [k, child] : n.children) {
        std::string p = path.empty() ? std::string("HKEY_CURRENT_USER") : path;
        p += '\\';
        escapeKeyName(p, child->name);
        serialise(*child, p, out);
    }
}

void parse(Store& s, std::string_view text) {
    Node* cur = nullptr;
    for (std::string_view line : splitLines(text)) {
        if (line.empty()) continue;
        if (line[0] == '[') {
            size_t close = line.rfind(']');
            if (close == std::string_view::npos) {
                cur = nullptr;
                continue;
            }
            std::string_view inner = line.substr(1, close - 1);
            size_t bs = inner.find('\\');
            // A bare root name holds the root's own values.
            inner.remove_prefix(bs == std::string_view::npos ? inner.size() : bs + 1);
            cur = &s.root;
            size_t i = 0;
            while (i <= inner.size()) {
                size_t j = inner.find('\\', i);
                if (j == std::string_view::npos) j = inner.size();
                std::string_view comp = inner.substr(i, j - i);
                std::string name = unescapeKeyText(comp);
                if (!name.empty()) {
                    auto it = cur->children.find(upper(name));
                    if (it == cur->children.end()) {
                        auto child = std::make_unique<Node>();
                        child->name = name;
                        it = cur->children.emplace(upper(name), std::move(child)).first;
                    }
                    cur = it->second.get();
                }
                i = j + 1;
            }
        } else if (line[0] == '"' && cur) {
            std::string name, value;
            size_t i = unescapeValueText(name, line, 1, true, false);
            if (i + 2 >= line.size() || line[i + 1] != '=' || line[i + 2] != '"') continue;
            i = unescapeValueText(value, line, i + 3, true, false);
            if (i >= line.size()) continue;
            cur->values[upper(name)] = {name, value};
        }
    }
}

void ensureLoaded(Store& s) {
    if (s.loaded) return;
    if (!s.pathSet) {
        s.path = defaultPath();
        s.pathSet = true;
    }
    s.loaded = true;
    resetTree(s);
    std::optional<std::string> text = readWholeOsFile(s.path);
    if (!text) return;
    parse(s, *text);
}

bool makeParents(const std::string& path) {
    for (size_t i = 1; i < path.size(); ++i) {
        if (path[i] != '/') continue;
        std::string dir = path.substr(0, i);
        if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

std::string fileText(const Store& s) {
    std::string text = "REGEDIT4\n\n";
    serialise(s.root, std::string(), text);
    return text;
}

bool saveLocked(Store& s) {
    if (!s.dirty || s.batchDepth > 0) return true;
    if (s.memoryOnly) {
        s.dirty = false;
        return true;
    }
    std::string text = fileText(s);
    if (!makeParents(s.path)) return false;
    AtomicFile f(s.path, AtomicFile::OsPath);
    if (!f.isOpen() || !f.write(text) || !f.commit()) return false;
    s.dirty = false;
    return true;
}

} // namespace

void setStorePath(std::string_view osPath) {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.path.assign(osPath);
    s.pathSet = true;
    s.memoryOnly = false;
    s.loaded = false;
    s.dirty = false;
    resetTree(s);
}

void setStoreText(std::string_view text) {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.path.clear();
    s.pathSet = true;
    s.memoryOnly = true;
    s.loaded = true;
    s.dirty = false;
    resetTree(s);
    parse(s, text);
}

std::string storeText() {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    ensureLoaded(s);
    return fileText(s);
}

std::string storePath() {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.pathSet) {
        s.path = defaultPath();
        s.pathSet = true;
    }
    return s.path;
}

std::optional<std::string> readValue(std::string_view key, std::string_view name) {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    ensureLoaded(s);
    Node* n = lookup(s, key, false);
    if (!n) return std::nullopt;
    auto it = n->values.find(upper(name));
    if (it == n->values.end()) return std::nullopt;
    return it->second.second;
}

std::string readString(std::string_view key, std::string_view name, std::string_view def) {
    auto v = readValue(key, name);
    return v ? std::move(*v) : std::string(def);
}

std::optional<int32_t> parseInteger(std::string_view text) {
    std::string t(text);
    if (t.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(t.c_str(), &end, 10);
    if (errno != 0 || end == t.c_str() || *end != '\0') return std::nullopt;
    if (t[0] == ' ' || t[0] == '\t' || t[0] == '\n') return std::nullopt;
    if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(v);
}

std::optional<uint32_t> parseColor(std::string_view text) {
    std::string_view t = text;
    if (t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) t.remove_prefix(2);
    if (t.empty() || t.size() > 8) return std::nullopt;
    uint32_t v = 0;
    for (char c : t) {
        int d = hexv(c);
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<uint32_t>(d);
    }
    return v;
}

std::string formatColor(uint32_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%8.8x", value);
    return buf;
}

void escapeValueText(std::string& out, std::string_view text) {
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (isControl(c)) {
            out += '\\';
            hexInto(out, 'x', c);
            continue;
        }
        if (ch == '\\' || ch == '"') out += '\\';
        out += ch;
    }
}

void escapeKeyName(std::string& out, std::string_view name) {
    for (char ch : name) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (isControl(c) || ch == '\\' || ch == ']' || ch == '%')
            hexInto(out, '%', c);
        else
            out += ch;
    }
}

void escapeKeyPath(std::string& out, std::string_view path) {
    bool first = true;
    for (const std::string& name : splitKey(path)) {
        if (!first) out += '\\';
        escapeKeyName(out, name);
        first = false;
    }
}

size_t unescapeValueText(std::string& out, std::string_view text, size_t i, bool toQuote,
                         bool keepStrayBackslash) {
    while (i < text.size() && !(toQuote && text[i] == '"')) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char e = text[i + 1];
            const int b = e == 'x' ? hexByte(text, i + 2) : -1;
            if (b >= 0) {
                out += static_cast<char>(b);
                i += 4;
                continue;
            }
            if (e == '\\' || e == '"' || !keepStrayBackslash) {
                out += e;
                i += 2;
                continue;
            }
        }
        out += text[i++];
    }
    return i;
}

std::string unescapeKeyText(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const int b = text[i] == '%' ? hexByte(text, i + 1) : -1;
        if (b >= 0) {
            out += static_cast<char>(b);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

int32_t readInteger(std::string_view key, std::string_view name, int32_t def) {
    auto v = readValue(key, name);
    if (!v) return def;
    return parseInteger(*v).value_or(def);
}

bool readBool(std::string_view key, std::string_view name, bool def) {
    auto v = readValue(key, name);
    if (!v) return def;
    auto i = parseInteger(*v);
    return i ? *i != 0 : def;
}

uint32_t readColor(std::string_view key, std::string_view name, uint32_t def) {
    auto v = readValue(key, name);
    if (!v) return def;
    return parseColor(*v).value_or(def);
}

bool writeValue(std::string_view key, std::string_view name, std::string_view value) {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    ensureLoaded(s);
    Node* n = lookup(s, key, true);
    std::string v(value);
    if (auto nul = v.find('\0'); nul != std::string::npos) v.resize(nul);
    auto& slot = n->values[upper(name)];
    if (slot.first.empty()) slot.first.assign(name);
    slot.second = std::move(v);
    s.dirty = true;
    return saveLocked(s);
}

bool writeInteger(std::string_view key, std::string_view name, int32_t value) {
    return writeValue(key, name, std::to_string(value));
}

bool writeBool(std::string_view key, std::string_view name, bool value) {
    return writeValue(key, name, value ? "1" : "0");
}

bool writeColor(std::string_view key, std::string_view name, uint32_t value) {
    return writeValue(key, name, formatColor(value));
}

bool keyExists(std::string_view key) {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    ensureLoaded(s);
    return lookup(s, key, false) != nullptr;
}

bool valueExists(std::string_view key, std::string_view name) {
    return readValue(key, name).has_value();
}

bool openKey(std::string_view key, bool create) {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    ensureLoaded(s);
    if (lookup(s, key, false)) return true;
    if (!create) return false;
    lookup(s, key, true);
    s.dirty = true;
    saveLocked(s);
    return true;
}

std::vector<std::string> valueNames(std::string_view key) {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    ensureLoaded(s);
    std::vector<std::string> names;
    if (Node* n = lookup(s, key, false))
        for (auto& [k, v] : n->values) names.push_back(v.first);
    return names;
}

std::vector<std::string> subKeyNames(std::string_view key) {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    ensureLoaded(s);
    std::vector<std::string> names;
    if (Node* n = lookup(s, key, false))
        for (auto& [k, child] : n->children) names.push_back(child->name);
    return names;
}

bool deleteKey(std::string_view key) {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    ensureLoaded(s);
    auto parts = splitKey(key);
    if (parts.empty()) return false;
    Node* parent = &s.root;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        auto it = parent->children.find(upper(parts[i]));
        if (it == parent->children.end()) return false;
        parent = it->second.get();
    }
    if (parent->children.erase(upper(parts.back())) == 0) return false;
    s.found.clear();
    s.dirty = true;
    saveLocked(s);
    return true;
}

bool deleteValue(std::string_view key, std::string_view name) {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    ensureLoaded(s);
    Node* n = lookup(s, key, false);
    if (!n || n->values.erase(upper(name)) == 0) return false;
    s.dirty = true;
    saveLocked(s);
    return true;
}

bool flush() {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    return saveLocked(s);
}

Batch::Batch() {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    ++s.batchDepth;
}

Batch::~Batch() {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (--s.batchDepth == 0) saveLocked(s);
}

} // namespace plat::reg
