// Conf files: defaults, whole reads, atomic rewrites, creation and copy, and
// the bulk folder change of one conf.
#include "config/conffile.h"

#include "base/sjis.h"
#include "config/confpath.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "sjis/cnf_text.h"

#include <cstdio>
#include <cstring>

namespace cnf {

namespace {

constexpr char DefaultBountyFormula[] = "((G-2000)/8 > 0) + F*2 + W*2 + D*5 + K*10";
static_assert(sizeof(DefaultBountyFormula) <= sizeof(GameSettings::BountyFormula));

// The flags a new conf has on.
constexpr int NewConfFlags[] = {OptEmblem,          OptNameCut,       OptAkOutput,    OptLogOutput,
                                OptResupplyWinner,  OptResupplyLoser, OptAutoProcess, OptParry,
                                OptProgramCommands, OptBerserk};

constexpr int CannotSaveConf = 41023;
constexpr int NotAConfFile = 41043;

void reportUnopenable() {
    plat::msg::showError(41042);
}

} // namespace

ConfFile newConf() {
    ConfFile conf{};
    GameSettings& s = conf.Settings;
    sjis::writeField(s.BountyFormula, DefaultBountyFormula);
    s.MatchType = 0;
    s.OutputColumns = 76;
    s.DigestMode = 3;
    s.MatchMinutes = 20;
    s.StatusInterval = 10;
    s.MessagePercent = 100;
    s.EscapeRate = 0;
    s.CompensationRate = 0;
    s.LoserCr = 200;
    s.WinnerCr = 300;
    s.MinCompensationCr = 2000;
    s.AnnouncerIndex = INT32_MIN; // 0x80000000: an announcer chosen at random
    for (int flag : NewConfFlags) s.Options[flag] = 1;

    ConfHeader& h = conf.Header;
    sjis::writeField(h.ConfName, text::NewConfName);
    const int32_t reserved = 99999;
    std::memcpy(reinterpret_cast<char*>(&h) + offsetof(ConfHeader, Reserved99999), &reserved,
                sizeof reserved);
    return conf;
}

std::optional<ConfFile> confFromBytes(std::string_view bytes) {
    if (bytes.size() < ConfFileSize) return std::nullopt;
    ConfFile conf{};
    std::memcpy(&conf, bytes.data(), ConfFileSize);
    return conf;
}

std::string confToBytes(const ConfFile& conf) {
    return std::string(reinterpret_cast<const char*>(&conf), ConfFileSize);
}

std::optional<ConfFile> readConf(std::string_view programFolder, std::string_view path, bool report) {
    const std::string file = resolve(programFolder, path);
    std::FILE* f = plat::openFile(file, "rb");
    if (!f) {
        if (report) reportUnopenable();
        return std::nullopt;
    }
    char buf[ConfFileSize];
    size_t n = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    std::optional<ConfFile> conf = confFromBytes(std::string_view(buf, n));
    // There, but too short to hold both records.
    if (!conf && report) plat::msg::showError(NotAConfFile, {file});
    return conf;
}

bool writeConf(std::string_view programFolder, std::string_view path, const ConfFile& conf) {
    plat::AtomicFile out(resolve(programFolder, path));
    return out.isOpen() && out.write(&conf, ConfFileSize) && out.commit();
}

bool createConfFile(std::string_view programFolder, ConfNodeRec& rec,
                    std::optional<std::string_view> sourcePath) {
    // The source first, whole: an unreadable source creates nothing (a zero
    // conf would carry 0 output columns into the log writers).
    ConfFile conf{};
    if (sourcePath) {
        auto src = readConf(programFolder, *sourcePath, true);
        if (!src) return false;
        conf = *src;
    } else {
        conf = newConf();
    }
    std::string folder = resolve(programFolder, ConfigFolder);
    plat::makeDirectory(folder);
    auto name = plat::createUniqueFile(folder, ConfPrefix, 6);
    if (!name) {
        reportUnopenable();
        return false;
    }
    std::string rel = configPath(*name);
    if (!writeConf(programFolder, rel, conf)) {
        plat::removeFile(resolve(programFolder, rel));
        plat::msg::showError(CannotSaveConf, {resolve(programFolder, rel)});
        return false;
    }
    sjis::writeField(rec.ConfPath, rel);
    return true;
}

bool applyConfFolders(ConfNodeRec& rec, std::string_view programFolder, const ConfHeader& folders) {
    std::string stored(sjis::readField(rec.ConfPath));
    std::string path = makeRelative(programFolder, stored);
    if (path != stored) sjis::writeField(rec.ConfPath, path);

    std::string file = resolve(programFolder, path);
    auto bytes = plat::readWholeFile(file);
    if (!bytes || bytes->size() < ConfFileSize) return false;
    const char* src = reinterpret_cast<const char*>(&folders);
    bool changed = false;
    for (size_t off : FolderOffsets) {
        std::string_view text = sjis::readField(src + off, FolderSize);
        if (text.empty()) continue;
        char field[FolderSize];
        sjis::writeField(field, sizeof field, text);
        std::memcpy(bytes->data() + HeaderOffset + off, field, sizeof field);
        changed = true;
    }
    // The rest of the file, trailing bytes included, goes back as it was read.
    return changed && plat::writeWholeFileAtomic(file, *bytes);
}

std::optional<ConfFile> openConfOfNode(std::string_view programFolder, const ConfNodeRec& rec) {
    auto conf = readConf(programFolder, sjis::readField(rec.ConfPath), true);
    if (conf) sjis::writeField(conf->Header.ConfName, sjis::readField(rec.NodeName));
    return conf;
}

bool storeConfOfNode(std::string_view programFolder, ConfNodeRec& rec, const ConfFile& conf) {
    if (!writeConf(programFolder, sjis::readField(rec.ConfPath), conf)) {
        plat::msg::showError(CannotSaveConf, {resolve(programFolder, sjis::readField(rec.ConfPath))});
        return false;
    }
    sjis::writeField(rec.NodeName, sjis::readField(conf.Header.ConfName));
    sjis::writeField(rec.NodeMemo, sjis::readField(conf.Header.ConfMemo));
    return true;
}

} // namespace cnf
