// The game settings dialog's values: conf to controls and back, the
// announcer list and the regulation texts.
#include "config/gameedit.h"

#include "base/sjis.h"
#include "platform/registry.h"
#include "sjis/cnf_dialog.h"
#include "sjis/cnf_text.h"

#include <algorithm>
#include <cstdio>

namespace cnf {

namespace {

constexpr char MessageKey[] = "Software\\Corvane\\Message";
constexpr int AnnouncerUserSlots = 49;

std::string slotName(int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%4.4d", n);
    return buf;
}

// A list item of a stored byte, or -1 when the list has none for it.
int itemOf(int value, int items) {
    return value >= 0 && value < items ? value : -1;
}

// A flag byte: a set byte keeps its value, a new one becomes 1.
uint8_t flagByte(uint8_t stored, bool on) {
    return on ? (stored ? stored : 1) : 0;
}

// A text goes into its field only when it differs from what the field holds,
// so that an untouched field keeps its bytes, those after the NUL included.
template <size_t N> void setText(char (&field)[N], std::string_view text) {
    if (sjis::readField(field) != text) sjis::writeField(field, text);
}

std::string numberText(long long n) {
    return sjis::han2Zen(std::to_string(n));
}

std::string rateText(int percent) {
    if (percent == 0) return dtext::None;
    return numberText(percent) + dtext::PercentSuffix;
}

} // namespace

std::vector<std::string> announcerItems() {
    std::vector<std::string> items{dtext::Random, text::AnnouncerId};
    int count = std::clamp(plat::reg::readInteger(std::string(MessageKey) + "\\Announcer", "Count", 0), 0,
                           AnnouncerUserSlots);
    std::string idKey = std::string(MessageKey) + "\\Announcer\\Id";
    std::string nameKey = std::string(MessageKey) + "\\Announcer\\Name";
    for (int k = 0; k < count; ++k) {
        std::string name = slotName(k);
        items.push_back(plat::reg::readString(idKey, name, "") + dtext::IdNameSeparator +
                        plat::reg::readString(nameKey, name, dtext::NoName));
    }
    return items;
}

int announcerItemOf(int32_t announcerIndex, int itemCount) {
    if (announcerIndex == RandomAnnouncer) return 0;
    if (announcerIndex < 0 || announcerIndex >= itemCount - 1) return -1;
    return announcerIndex + 1;
}

int32_t announcerIndexOf(int item) {
    return item <= 0 ? RandomAnnouncer : item - 1;
}

GameValues loadGameValues(const ConfFile& conf, int announcerCount) {
    const GameSettings& s = conf.Settings;
    const ConfHeader& h = conf.Header;
    GameValues v;
    v.name = sjis::readField(h.ConfName);
    v.memo = sjis::readField(h.ConfMemo);
    v.stadium = sjis::readField(s.StadiumName);
    v.organiser = sjis::readField(s.OrganiserName);
    v.announcerItem = announcerItemOf(s.AnnouncerIndex, announcerCount + 2);
    v.gameForm = itemOf(h.GameForm, GameFormItems);
    v.akInput = sjis::readField(h.AkInputFolder);
    v.akOutput = sjis::readField(h.AkOutputFolder);
    v.resultFolder = sjis::readField(h.ResultFolder);

    v.matchType = itemOf(s.MatchType, MatchTypeItems);
    v.minutes = MinutesRange.clamp(s.MatchMinutes);
    v.escapeRate = PercentRange.clamp(s.EscapeRate);
    v.winnerCr = CrRange.clamp(s.WinnerCr);
    v.loserCr = CrRange.clamp(s.LoserCr);
    v.minCr = MinCrRange.clamp(s.MinCompensationCr);
    v.autoProcess = s.Options[OptAutoProcess] != 0;
    v.resupplyWinner = s.Options[OptResupplyWinner] != 0;
    v.resupplyLoser = s.Options[OptResupplyLoser] != 0;
    v.rebuy = s.Options[OptRebuy] != 0;
    v.rebuyInDebt = s.Options[OptRebuyInDebt] != 0;
    v.compensationRate = PercentRange.clamp(s.CompensationRate);
    v.bountyMatch = s.Options[OptBountyMatch] != 0;
    v.formula = sjis::readField(s.BountyFormula);
    v.reversePolish = s.Options[OptReversePolish] != 0;

    v.digestMode = itemOf(s.DigestMode, DigestItems);
    v.columns = ColumnsRange.clamp(s.OutputColumns);
    v.messagePercent = PercentRange.clamp(s.MessagePercent);
    int32_t status = s.StatusInterval;
    v.statusOn = status != 0;
    v.statusMinutes = v.statusOn ? StatusRange.clamp(status) : StatusOffValue;
    for (size_t i = 0; i < OutputOptionFlags.size(); ++i)
        v.outputOptions[i] = s.Options[OutputOptionFlags[i]] != 0;

    for (size_t i = 0; i < DetailOptionFlags.size(); ++i)
        v.detailOptions[i] = s.Options[DetailOptionFlags[i]] != 0;
    v.checkWeapon = h.CheckWeaponData != 0;
    v.weaponFolder = sjis::readField(h.WeaponDataFolder);

    for (size_t i = 0; i < Cv46OptionFlags.size(); ++i) v.cv46Options[i] = s.Options[Cv46OptionFlags[i]] != 0;
    v.berserkAttack = BerserkRange.clamp(s.BerserkAttack);
    v.berserkDefence = BerserkRange.clamp(s.BerserkDefence);
    return v;
}

void storeGameValues(const GameValues& v, ConfFile& conf) {
    GameSettings& s = conf.Settings;
    ConfHeader& h = conf.Header;
    auto flag = [&s](int n, bool on) { s.Options[n] = flagByte(s.Options[n], on); };

    setText(h.ConfName, v.name);
    setText(h.ConfMemo, v.memo);
    setText(s.StadiumName, v.stadium);
    setText(s.OrganiserName, v.organiser);
    if (v.announcerItem >= 0) s.AnnouncerIndex = announcerIndexOf(v.announcerItem);
    if (v.gameForm >= 0 && v.gameForm < GameFormItems) h.GameForm = static_cast<uint8_t>(v.gameForm);
    setText(h.AkInputFolder, v.akInput);
    setText(h.AkOutputFolder, v.akOutput);
    setText(h.ResultFolder, v.resultFolder);

    if (v.matchType >= 0 && v.matchType < MatchTypeItems) s.MatchType = static_cast<uint8_t>(v.matchType);
    s.MatchMinutes = MinutesRange.clamp(v.minutes);
    s.EscapeRate = PercentRange.clamp(v.escapeRate);
    s.WinnerCr = CrRange.clamp(v.winnerCr);
    s.LoserCr = CrRange.clamp(v.loserCr);
    s.MinCompensationCr = MinCrRange.clamp(v.minCr);
    flag(OptAutoProcess, v.autoProcess);
    flag(OptResupplyWinner, v.resupplyWinner);
    flag(OptResupplyLoser, v.resupplyLoser);
    flag(OptRebuy, v.rebuy);
    flag(OptRebuyInDebt, v.rebuyInDebt);
    s.CompensationRate = PercentRange.clamp(v.compensationRate);
    flag(OptBountyMatch, v.bountyMatch);
    flag(OptReversePolish, v.reversePolish);
    setText(s.BountyFormula, v.formula);
    if (v.reversePolish) setText(s.BountyPostfix, v.formula);

    if (v.digestMode >= 0 && v.digestMode < DigestItems) s.DigestMode = v.digestMode;
    s.OutputColumns = ColumnsRange.clamp(v.columns);
    s.MessagePercent = PercentRange.clamp(v.messagePercent);
    s.StatusInterval = v.statusOn ? StatusRange.clamp(v.statusMinutes) : 0;
    for (size_t i = 0; i < OutputOptionFlags.size(); ++i) flag(OutputOptionFlags[i], v.outputOptions[i]);

    for (size_t i = 0; i < DetailOptionFlags.size(); ++i) flag(DetailOptionFlags[i], v.detailOptions[i]);
    h.CheckWeaponData = flagByte(h.CheckWeaponData, v.checkWeapon);
    setText(h.WeaponDataFolder, v.weaponFolder);

    for (size_t i = 0; i < Cv46OptionFlags.size(); ++i) flag(Cv46OptionFlags[i], v.cv46Options[i]);
    s.BerserkAttack = static_cast<int8_t>(BerserkRange.clamp(v.berserkAttack));
    s.BerserkDefence = static_cast<int8_t>(BerserkRange.clamp(v.berserkDefence));
}

std::string_view matchTypeText(int matchType) {
    static constexpr const char* texts[MatchTypeItems] = {dtext::MatchType0, dtext::MatchType1,
                                                          dtext::MatchType2, dtext::MatchType3,
                                                          dtext::MatchType4, dtext::MatchType5};
    return matchType >= 0 && matchType < MatchTypeItems ? texts[matchType] : "";
}

std::array<std::string, 30> regulationTexts(const GameValues& shown) {
    std::array<std::string, 30> t;
    t[0] = shown.stadium;
    t[1] = shown.organiser;
    t[2] = shown.name;
    t[3] = shown.memo;
    t[10] = matchTypeText(shown.matchType);
    // Battle, death and head-death matches have no time limit.
    bool untimed = shown.matchType == 2 || shown.matchType == 3 || shown.matchType == 5;
    t[11] = untimed ? std::string(dtext::None) : numberText(shown.minutes) + dtext::MinutesSuffix;
    t[12] = rateText(shown.escapeRate);
    t[13] = numberText(shown.winnerCr);
    t[14] = numberText(shown.loserCr);
    t[15] = numberText(shown.minCr);
    t[16] = rateText(shown.compensationRate);
    return t;
}

} // namespace cnf
