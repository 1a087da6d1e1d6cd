// Writes the sample conf tree of the program folder: Config/VlTreeVw.Cf,
// Config/VlTreeVw.Dt and one conf file per conf, from the readable UTF-8
// description in samples.txt. The files are made by the configuration
// manager's own writers, so they are exactly what the program would save.
//   conf_samples [--source <samples.txt>] <program folder>
//   conf_samples [--source <samples.txt>] --verify <program folder>
// Generating also lays out each conf's AK output and results folders.
// --verify generates into a scratch folder and compares the result with the
// Config folder given, byte for byte and file for file, and checks that
// those folders are there and that every conf has a results folder of its
// own.
#include "base/sjis.h"
#include "config/conffile.h"
#include "config/confpath.h"
#include "config/conftree.h"
#include "config/treefiles.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef CONF_SAMPLES_SOURCE
#define CONF_SAMPLES_SOURCE "samples.txt"
#endif

namespace {

struct Failure {
    std::string what;
};

[[noreturn]] void fail(int line, const std::string& what) {
    throw Failure{"line " + std::to_string(line) + ": " + what};
}

std::string sj(int line, std::string_view utf8) {
    auto s = plat::utf8ToCp932(utf8);
    if (!s) fail(line, "text without a Shift-JIS form");
    return *s;
}

std::string trim(std::string_view s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

int number(int line, const std::string& text) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0') fail(line, "not a number: " + text);
    return static_cast<int>(v);
}

std::vector<int> numbers(int line, const std::string& text) {
    std::vector<int> out;
    std::istringstream in(text);
    std::string word;
    while (in >> word) out.push_back(number(line, word));
    return out;
}

void setText(int line, char* field, size_t size, const std::string& utf8) {
    std::string s = sj(line, utf8);
    if (s.size() >= size) fail(line, "text too long for its field");
    sjis::writeField(field, size, s);
}

void setField(int line, ConfFile& conf, ConfNodeRec& rec, const std::string& key, const std::string& value) {
    GameSettings& g = conf.Settings;
    ConfHeader& h = conf.Header;
    if (key == "file") {
        if (value.size() != 6 ||
            value.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") != std::string::npos)
            fail(line, "file needs six characters of A-Z and 0-9");
        sjis::writeField(rec.ConfPath, cnf::configPath(cnf::ConfPrefix + value));
    } else if (key == "form") {
        int v = number(line, value);
        if (v < 0 || v > 5) fail(line, "form is 0 to 5");
        h.GameForm = static_cast<uint8_t>(v);
    } else if (key == "memo") {
        setText(line, h.ConfMemo, sizeof h.ConfMemo, value);
        sjis::writeField(rec.NodeMemo, sjis::readField(h.ConfMemo));
    } else if (key == "stadium") {
        setText(line, g.StadiumName, sizeof g.StadiumName, value);
    } else if (key == "organiser") {
        setText(line, g.OrganiserName, sizeof g.OrganiserName, value);
    } else if (key == "type") {
        int v = number(line, value);
        if (v < 0 || v > 5) fail(line, "type is 0 to 5");
        g.MatchType = static_cast<uint8_t>(v);
    } else if (key == "minutes") {
        g.MatchMinutes = number(line, value);
    } else if (key == "winner") {
        g.WinnerCr = number(line, value);
    } else if (key == "loser") {
        g.LoserCr = number(line, value);
    } else if (key == "mincr") {
        g.MinCompensationCr = number(line, value);
    } else if (key == "escape") {
        g.EscapeRate = number(line, value);
    } else if (key == "compensation") {
        g.CompensationRate = number(line, value);
    } else if (key == "ak") {
        setText(line, h.AkInputFolder, sizeof h.AkInputFolder, value);
    } else if (key == "akout") {
        setText(line, h.AkOutputFolder, sizeof h.AkOutputFolder, value);
    } else if (key == "result") {
        setText(line, h.ResultFolder, sizeof h.ResultFolder, value);
    } else if (key == "weapon") {
        setText(line, h.WeaponDataFolder, sizeof h.WeaponDataFolder, value);
    } else if (key == "checkweapon") {
        h.CheckWeaponData = number(line, value) != 0;
    } else if (key == "on" || key == "off") {
        for (int flag : numbers(line, value)) {
            if (flag < 0 || flag >= static_cast<int>(sizeof g.Options)) fail(line, "no such option flag");
            g.Options[flag] = key == "on" ? 1 : 0;
        }
    } else if (key == "berserk") {
        std::vector<int> v = numbers(line, value);
        if (v.size() != 2 || v[0] < -100 || v[0] > 100 || v[1] < -100 || v[1] > 100)
            fail(line, "berserk needs two modifiers of -100 to 100");
        g.BerserkAttack = static_cast<int8_t>(v[0]);
        g.BerserkDefence = static_cast<int8_t>(v[1]);
    } else {
        fail(line, "unknown key " + key);
    }
}

struct PendingConf {
    cnf::ConfNode* node;
    ConfFile conf;
    int line;
};

// Reads the description into the tree and the confs.
std::vector<PendingConf> readSamples(const std::string& sourcePath, cnf::ConfTree& tree) {
    std::ifstream in(sourcePath, std::ios::binary);
    if (!in) throw Failure{"cannot read " + sourcePath};
    std::vector<PendingConf> confs;
    std::vector<cnf::ConfNode*> path; // the open node of each level
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::string text = trim(raw);
        if (text.empty() || text[0] == '#') continue;
        size_t indent = raw.find_first_not_of(' ');
        bool isNet = text.rfind("net ", 0) == 0, isConf = text.rfind("conf ", 0) == 0;
        if (isNet || isConf) {
            if (indent % 4 != 0 || indent / 4 > path.size())
                fail(line, "node indented by a level that is not open");
            path.resize(indent / 4);
            std::string caption = sj(line, trim(text.substr(isNet ? 4 : 5)));
            if (caption.empty() || caption.size() > cnf::NodeNameMax) fail(line, "caption empty or too long");
            ConfNodeRec rec{};
            rec.Kind = isConf ? 1 : 0;
            sjis::writeField(rec.NodeName, caption);
            cnf::ConfNode* node = tree.append(path.empty() ? nullptr : path.back(), rec, caption);
            path.push_back(node);
            if (isConf) {
                ConfFile conf = cnf::newConf();
                sjis::writeField(conf.Header.ConfName, caption);
                confs.push_back({node, conf, line});
            }
            continue;
        }
        size_t eq = text.find('=');
        if (eq == std::string::npos) fail(line, "expected a node or <key> = <value>");
        if (confs.empty() || path.empty() || path.back() != confs.back().node ||
            indent <= 4 * (path.size() - 1))
            fail(line, "a field line belongs below a conf line");
        PendingConf& c = confs.back();
        setField(line, c.conf, c.node->rec, trim(text.substr(0, eq)), trim(text.substr(eq + 1)));
    }
    for (const PendingConf& c : confs)
        if (sjis::readField(c.node->rec.ConfPath).empty()) fail(c.line, "conf without a file");
    return confs;
}

// Removes the files an earlier run wrote, so that a renamed conf leaves none behind.
void clearConfig(const std::string& programFolder) {
    std::string config = cnf::resolve(programFolder, cnf::ConfigFolder);
    for (const std::string& name : plat::listFolder(config, "*")) {
        if (plat::equalsIgnoreCase(name, cnf::TreeTextName) ||
            plat::equalsIgnoreCase(name, cnf::TreeRecordName) || cnf::hasConfFileName(name))
            plat::removeFile(plat::joinPath(config, name));
    }
}

// The folders a sample event writes into, which the program does not make:
// its AK output folder and its results folder.
std::vector<std::string> outputFolders(const ConfHeader& h) {
    return {std::string(sjis::readField(h.AkOutputFolder)), std::string(sjis::readField(h.ResultFolder))};
}

// Makes the folder `relative` under the program folder, one level at a
// time, with an empty .gitkeep (git keeps no empty folder).
void layOutFolder(const std::string& programFolder, const std::string& relative) {
    for (size_t end = 0; (end = relative.find('\\', end)) != std::string::npos; ++end) {
        if (!plat::makeDirectory(cnf::resolve(programFolder, relative.substr(0, end + 1))))
            throw Failure{"cannot make the folder " + relative};
    }
    std::string keep = plat::joinPath(cnf::resolve(programFolder, relative), ".gitkeep");
    if (!plat::fileExists(keep) && !plat::writeWholeFileAtomic(keep, ""))
        throw Failure{"cannot write " + keep};
}

// The headers of the confs written.
std::vector<ConfHeader> generate(const std::string& sourcePath, const std::string& programFolder) {
    cnf::ConfTree tree(programFolder);
    std::vector<PendingConf> confs = readSamples(sourcePath, tree);
    clearConfig(programFolder);
    if (!tree.save()) throw Failure{"cannot write the tree files under " + programFolder};
    std::vector<ConfHeader> headers;
    for (const PendingConf& c : confs) {
        if (!cnf::writeConf(programFolder, sjis::readField(c.node->rec.ConfPath), c.conf))
            throw Failure{"cannot write a conf file under " + programFolder};
        for (const std::string& folder : outputFolders(c.conf.Header)) layOutFolder(programFolder, folder);
        headers.push_back(c.conf.Header);
    }
    return headers;
}

// True when every sample event's output folders are in the committed
// program folder and no two events share a results folder (one would
// overwrite the other's result file and logs).
bool foldersLaidOut(const std::vector<ConfHeader>& headers, const std::string& committed) {
    bool ok = true;
    std::vector<std::string> results;
    for (const ConfHeader& h : headers) {
        for (const std::string& folder : outputFolders(h))
            if (!plat::isDirectory(cnf::resolve(committed, folder))) {
                std::fprintf(stderr, "conf_samples: the folder %s of a sample conf is missing\n",
                             folder.c_str());
                ok = false;
            }
        std::string key = plat::upperCaseKey(sjis::readField(h.ResultFolder));
        for (const std::string& other : results)
            if (other == key) {
                std::fprintf(stderr, "conf_samples: two sample confs share the results folder %s\n",
                             key.c_str());
                ok = false;
            }
        results.push_back(key);
    }
    return ok;
}

// True when both Config folders hold the same files with the same bytes.
bool sameConfig(const std::string& fresh, const std::string& committed) {
    std::string a = cnf::resolve(fresh, cnf::ConfigFolder), b = cnf::resolve(committed, cnf::ConfigFolder);
    std::vector<std::string> na = plat::listFolder(a, "*"), nb = plat::listFolder(b, "*");
    bool same = true;
    if (na != nb) {
        std::fprintf(stderr, "conf_samples: the committed Config folder does not hold the generated files\n");
        same = false;
    }
    for (const std::string& name : na) {
        auto x = plat::readWholeFile(plat::joinPath(a, name));
        auto y = plat::readWholeFile(plat::joinPath(b, name));
        if (!x || !y || *x != *y) {
            std::fprintf(stderr, "conf_samples: Config/%s differs from its generator\n", name.c_str());
            same = false;
        }
    }
    return same;
}

// A folder named on the command line: relative to the current directory (the
// system's own relative paths are taken under the program folder instead).
std::string folderArg(const char* arg) {
    auto cp = plat::fromOsName(std::filesystem::absolute(arg).string());
    if (!cp) throw Failure{std::string("folder name without a Shift-JIS form: ") + arg};
    return cnf::folderOf(*cp);
}

} // namespace

int main(int argc, char** argv) {
    std::string source = CONF_SAMPLES_SOURCE;
    bool verify = false;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--source") == 0 && i + 1 < argc) {
            source = argv[++i];
        } else if (std::strcmp(argv[i], "--verify") == 0) {
            verify = true;
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (rest.size() != 1) {
        std::fprintf(stderr, "usage: conf_samples [--source <samples.txt>] [--verify] <program folder>\n");
        return 2;
    }
    try {
        std::string target = folderArg(rest[0].c_str());
        if (!verify) {
            generate(source, target);
            return 0;
        }
        plat::TempFolder scratch;
        if (!scratch.ok()) throw Failure{"no scratch folder"};
        std::string fresh = folderArg(scratch.osPath().c_str());
        std::vector<ConfHeader> headers = generate(source, fresh);
        const bool same = sameConfig(fresh, target);
        return foldersLaidOut(headers, target) && same ? 0 : 1;
    } catch (const Failure& f) {
        std::fprintf(stderr, "conf_samples: %s\n", f.what.c_str());
        return 1;
    }
}
