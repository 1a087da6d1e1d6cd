// Saving and restoring the fights of the battle royal.
#include "core/gamecontext.h"

#include "core/logwriter.h"
#include "core/matchfiles.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "core/msgsets.h"
#include "core/templates.h"

namespace cv {

namespace {

template <class T> void copySlots(T* to, const T* from) {
    if (!to || !from) return;
    for (int k = 0; k < WeaponSlotCount; ++k) to[k] = from[k];
}

} // namespace

void SaveGameContext(TAkWeapon* weapons1, TAkWeapon* weapons2, TAkComment* comments1, TAkComment* comments2) {
    // The fight stays in progress while others start and step.
    KeepMatchInContext();
    const WeaponSnapshot* kept = Module().Snapshot;
    copySlots(weapons1, kept[0].Weapon);
    copySlots(weapons2, kept[1].Weapon);
    copySlots(comments1, kept[0].Comment);
    copySlots(comments2, kept[1].Comment);
}

void RestoreGameContext(GameSettings& settings, TArmoredKnight& ak1, TArmoredKnight& ak2, CombatantState& s1,
                        CombatantState& s2, const TAkWeapon* weapons1, const TAkWeapon* weapons2,
                        const TAkComment* comments1, const TAkComment* comments2, std::string_view logBase) {
    ModuleState& m = Module();
    m.Settings = &settings;
    m.Ak[0] = &ak1;
    m.Ak[1] = &ak2;
    m.State[0] = &s1;
    m.State[1] = &s2;
    ResumeMatchFiles(logBase);
    if (Option(OptLogOutput)) {
        OpenLogs(logBase, LogOpen::Restore);
    } else {
        settings.Options[OptHtmlLog] = 0;
        settings.Options[Opt29] = 0;
    }
    // The sets the fight held were released after its last round; the table
    // starts empty.
    ClearKwpTable();
    LoadPlayMessages();
    SetupPlaceholderTables(m.Ak, m.State, 2);
    copySlots(m.Snapshot[0].Weapon, weapons1);
    copySlots(m.Snapshot[1].Weapon, weapons2);
    copySlots(m.Snapshot[0].Comment, comments1);
    copySlots(m.Snapshot[1].Comment, comments2);
}

void DisposeGameMessage() {
    ReleaseMsgArchives();
}

} // namespace cv
