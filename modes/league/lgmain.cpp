// The league's set-up window and its start sequence.
#include "modes/league/lgmain.h"

#include "modes/frame/imports.h"
#include "modes/league/leaguelogic.h"
#include "modes/league/lgprog.h"
#include "platform/random.h"
#include "platform/ui/qtsjis.h"
#include "sjis/league_text.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace league {

TFormLeague::TFormLeague(GameSettings& settings, ConfHeader& header, AkSourceList& sources)
    : TFormMode(modes::ModeKind::League, settings, header, sources, Features{}) {
    auto* row = new QHBoxLayout;
    CheckBoxRandom = new QCheckBox(plat::ui::fromSjis(text::CheckRandom), this);
    CheckBoxRandom->setObjectName("CheckBoxRandom");
    LabelType = new QLabel(plat::ui::fromSjis(text::LabelType), this);
    LabelType->setObjectName("LabelType");
    row->addWidget(CheckBoxRandom);
    row->addStretch(1);
    row->addWidget(LabelType);
    modeArea()->addLayout(row);
    connect(CheckBoxRandom, &QCheckBox::clicked, this, [this] { CheckBoxRandomClick(); });

    settings.Options[OptImmobileDraw] = 1;
    settings.Options[OptAkOutput] = 0;
    applySizeLimits(true);
}

void TFormLeague::readModeValues() {
    randomSort_ = modes::readModeValue(info(), "RandomSort");
    CheckBoxRandom->setChecked(randomSort_ != 0);
}

void TFormLeague::writeModeValues() {
    modes::writeModeValue(info(), "RandomSort", randomSort_);
}

void TFormLeague::CheckBoxRandomClick() {
    randomSort_ = CheckBoxRandom->isChecked() ? 1 : 0;
}

void TFormLeague::ButtonStartClick() {
    modes::ModeSetup& s = setup();
    RandomizeSystem();
    takeResultText();
    if (!s.testResultFile(this)) return;

    modes::EntrantList entrants;
    for (const modes::AkRow& row : s.rows()) entrants.push_back(modes::makeEntrant(s.akFolder(), row.File));
    // Every entrant's win rate is taken over its matches against the
    // others: a league needs two. Fewer end the start without a word, as
    // the weapon-data check ends it for an empty list (the catalogue has no
    // text for a league too small).
    if (entrants.size() < 2) return;
    if (CheckBoxRandom->isChecked()) shuffleEntrants(entrants, [] { return plat::random::next(); });
    if (!s.checkEntrants(entrants)) return;

    if (!prepareRun(entrants)) return;
    runProgress(std::make_unique<TFormProgress>(*this, entrants, s.resultFilePath(), s.akFolder()));
}

} // namespace league
