// The set-up window's two slots.
#include "modes/versus/slots.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"
#include "modes/frame/outputs.h"
#include "modes/frame/textfmt.h"
#include "platform/catalogue.h"
#include "platform/paths.h"
#include "sjis/versus_text.h"

#include <algorithm>
#include <cstdint>

namespace versus {

std::vector<std::string> akSummaryLines(const TArmoredKnight& ak, std::string_view path) {
    const int32_t battles = ak.Pilot.Battles;
    const int32_t wins = ak.Pilot.Wins;
    const int32_t draws = ak.Pilot.Draws;
    const int32_t reaction = ak.Reaction;
    const int32_t value = ak.MachineValue;
    const int32_t cash = ak.Cash;
    const int32_t movement = ak.Movement;
    // Wide enough that a record of any numbers gives a number, not a wrap.
    const int64_t losses = int64_t{battles} - wins - draws;

    std::vector<std::string> lines;
    lines.push_back(std::string(text::SummaryName) + std::string(sjis::readField(ak.Pilot.Name)));
    lines.push_back(modes::format(text::SummaryRecord, battles, wins,
                                  static_cast<int>(std::clamp<int64_t>(losses, INT32_MIN, INT32_MAX)), draws,
                                  reaction));
    lines.push_back(modes::format(text::SummaryValue, value, cash, movement));
    lines.emplace_back();
    for (int i = 0; i < WeaponSlotCount; ++i) {
        std::string name(sjis::readField(ak.Weapon[i].Name));
        lines.push_back(modes::format(text::SummaryWeapon, i + 1, name.c_str()));
    }
    lines.emplace_back();
    lines.push_back(std::string(text::SummaryFile) + plat::shownPath(path));
    return lines;
}

std::string headText(int slot, bool active) {
    if (slot == 0) return active ? text::HeadActive1 : text::Head1;
    return active ? text::HeadActive2 : text::Head2;
}

VersusSlots::VersusSlots() : records_(std::make_unique<Records>()) {}

bool VersusSlots::load(int slot, std::string_view path) {
    slot &= 1;
    // A path the game settings' AK file fields would cut (it names some
    // other file for the game processor) and a file without AK data are
    // refused with 41022, as in every mode.
    auto scratch = std::make_unique<TArmoredKnight>();
    if (!modes::readAkFile(*scratch, path)) return false;
    records_->Ak[slot] = *scratch;
    path_[slot] = std::string(path);
    loaded_[slot] = true;
    return true;
}

void VersusSlots::reload() {
    for (int slot = 0; slot < 2; ++slot) {
        if (!loaded_[slot]) continue;
        auto scratch = std::make_unique<TArmoredKnight>();
        if (LoadAkData(scratch.get(), path_[slot].c_str()) == 0) records_->Ak[slot] = *scratch;
    }
}

std::string VersusSlots::title() const {
    return std::string(sjis::readField(ak(0).Pilot.Name)) + text::TitleJoin +
           std::string(sjis::readField(ak(1).Pilot.Name));
}

bool prepareMatch(GameSettings& settings, const ConfHeader& header, const MsgWords& words, VersusSlots& slots,
                  cv::CombatantState& state1, cv::CombatantState& state2) {
    settings.Words[0] = words;
    settings.Words[1] = words;
    settings.Options[Opt36] = 1;
    settings.Options[OptMessagesOff] = 0;
    SetEnvironment(&settings);

    slots.reload();
    sjis::writeField(settings.AkFile1, slots.path(0));
    sjis::writeField(settings.AkFile2, slots.path(1));

    if (header.CheckWeaponData) {
        std::string folder(sjis::readField(header.WeaponDataFolder));
        if (LoadWeapon(folder.c_str()) == 0) return false;
        std::unique_ptr<char[]> report(new char[cmn::CheckReportSize]());
        int32_t result = 1;
        for (int slot = 0; slot < 2 && result != 2; ++slot)
            result = cmnCheckAkData(&slots.ak(slot), report.get());
        UnloadWpData();
        if (result == 2) return false;
    }

    modes::OldOutputs leftovers;
    leftovers.AkOutputFolder = sjis::readField(header.AkOutputFolder);
    leftovers.ResultFolder = sjis::readField(header.ResultFolder);
    leftovers.Keep = {slots.path(0), slots.path(1)};
    modes::deleteOldOutputs(leftovers);

    SetAkData(&slots.ak(0), &slots.ak(1), &state1, &state2);
    return true;
}

} // namespace versus
