// The game settings dialog's window.
#include "config/ui/gameform.h"

#include "config/confpath.h"
#include "config/folderhistory.h"
#include "config/processors.h"
#include "sjis/cnf_dialog.h"
#include "sjis/cnf_ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace cnf::ui {

namespace {

QSpinBox* makeSpin(QWidget* parent, const char* name, Range range, int value) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(range.lo, range.hi);
    s->setValue(range.clamp(value));
    return s;
}

QCheckBox* makeCheck(QWidget* parent, const char* name, const char* text, bool on) {
    auto* c = new QCheckBox(qs(text), parent);
    c->setObjectName(name);
    c->setChecked(on);
    return c;
}

QComboBox* makeList(QWidget* parent, const char* name, std::initializer_list<std::string_view> items,
                    int item) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    for (std::string_view t : items) c->addItem(qs(t));
    c->setCurrentIndex(item);
    return c;
}

template <size_t N>
QListWidget* makeCheckList(QWidget* parent, const char* name, const char* const (&texts)[N],
                           const std::array<bool, N>& on) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    for (size_t i = 0; i < N; ++i) {
        auto* item = new QListWidgetItem(qs(texts[i]), list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(on[i] ? Qt::Checked : Qt::Unchecked);
    }
    return list;
}

template <size_t N> void setChecks(QListWidget* list, const std::array<bool, N>& on) {
    for (size_t i = 0; i < N; ++i)
        list->item(static_cast<int>(i))->setCheckState(on[i] ? Qt::Checked : Qt::Unchecked);
}

template <size_t N> std::array<bool, N> checksOf(const QListWidget* list) {
    std::array<bool, N> on{};
    for (size_t i = 0; i < N; ++i) on[i] = list->item(static_cast<int>(i))->checkState() == Qt::Checked;
    return on;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* text) {
    auto* b = new QPushButton(qs(text), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

constexpr const char* OutputTexts[12] = {utext::Out0, utext::Out1, utext::Out2,  utext::Out3,
                                         utext::Out4, utext::Out5, utext::Out6,  utext::Out7,
                                         utext::Out8, utext::Out9, utext::Out10, utext::Out11};
constexpr const char* DetailTexts[7] = {utext::Detail0, utext::Detail1, utext::Detail2, utext::Detail3,
                                        utext::Detail4, utext::Detail5, utext::Detail6};
constexpr const char* Cv46Texts[7] = {utext::Cv0, utext::Cv1, utext::Cv2, utext::Cv3,
                                      utext::Cv4, utext::Cv5, utext::Cv6};

} // namespace

TFormGame::TFormGame(QWidget* owner, std::string_view programFolder, ConfFile& conf)
    : DialogBase(owner, "Game", folderOf(programFolder) + "VellCnf.hlp>Ref"),
      folder_(folderOf(programFolder)), conf_(conf) {
    setObjectName("FormGame");
    setWindowTitle(qs(utext::GameCaption));

    std::vector<std::string> announcers = announcerItems();
    stored_ = loadGameValues(conf_, static_cast<int>(announcers.size()) - 2);

    auto* pages = new QTabWidget(this);
    pages->setObjectName("PageControl");
    pages->setUsesScrollButtons(false); // all five page tabs in view
    pages->addTab(gamePage(), qs(utext::PageGame));
    pages->addTab(matchPage(), qs(utext::PageMatch));
    pages->addTab(outputPage(), qs(utext::PageOutput));
    pages->addTab(detailPage(), qs(utext::PageDetail));
    pages->addTab(specialPage(), qs(utext::PageSpecial));
    for (const std::string& a : announcers) announcer_->addItem(qs(a));
    announcer_->setCurrentIndex(stored_.announcerItem);
    fillHistories();

    auto* ok = makeButton(this, "ButtonOk", utext::Ok);
    auto* cancel = makeButton(this, "ButtonCancel", utext::Cancel);
    auto* output = makeButton(this, "ButtonOutput", utext::Regulation);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(output);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(output, &QPushButton::clicked, this, [this] { ButtonOutputClick(); });
    for (QCheckBox* box : {bounty_, repair_, rebuy_, statusOn_, weaponCheck_})
        connect(box, &QCheckBox::toggled, this, [this] { updateEnabling(); });
    updateEnabling();
}

QWidget* TFormGame::gamePage() {
    auto* page = new QWidget;
    name_ = new QLineEdit(page);
    name_->setObjectName("EditGameName");
    setupEdit(name_, stored_.name, NameBytes, sizeof(ConfHeader::ConfName) - 1);
    memo_ = new QLineEdit(page);
    memo_->setObjectName("EditGameMemo");
    setupEdit(memo_, stored_.memo, MemoBytes, sizeof(ConfHeader::ConfMemo) - 1);
    stadium_ = new QLineEdit(page);
    stadium_->setObjectName("EditStudium");
    setupEdit(stadium_, stored_.stadium, PlaceBytes, PlaceBytes);
    organiser_ = new QLineEdit(page);
    organiser_->setObjectName("EditMatch");
    setupEdit(organiser_, stored_.organiser, PlaceBytes, PlaceBytes);
    announcer_ = new QComboBox(page);
    announcer_->setObjectName("ComboBoxAno");
    gameForm_ = makeList(page, "ComboBoxGame",
                         {utext::GameForm0, utext::GameForm1, utext::GameForm2, utext::GameForm3,
                          utext::GameForm4, utext::GameForm5},
                         stored_.gameForm);

    auto* form = new QFormLayout(page);
    form->addRow(qs(utext::GameNameLabel), name_);
    form->addRow(qs(utext::GameMemoLabel), memo_);
    auto* place = new QHBoxLayout;
    place->addWidget(stadium_);
    place->addWidget(organiser_);
    form->addRow(qs(utext::PlaceLabel), place);
    form->addRow(qs(utext::AnnouncerLabel), announcer_);
    form->addRow(qs(utext::GameFormLabel), gameForm_);

    struct FolderRow {
        const char* boxName;
        const char* buttonName;
        const char* caption;
        const char* title;
        std::string_view stored;
        QComboBox** box;
        bool recent;
    };
    const FolderRow rows[] = {
        {"ComboBoxAkDir", "ButtonAkDir", utext::AkInputButton, utext::AkInputTitle, stored_.akInput,
         &akInput_, false},
        {"ComboBoxAkOut", "ButtonAkOut", utext::AkOutputButton, utext::AkOutputTitle, stored_.akOutput,
         &akOutput_, false},
        {"ComboBoxTextOut", "ButtonTextOut", utext::ResultButton, utext::ResultTitle, stored_.resultFolder,
         &result_, true},
    };
    for (const FolderRow& r : rows) {
        auto* box = new QComboBox(page);
        box->setObjectName(r.boxName);
        setupFolderCombo(box, r.stored, FolderBytes, FolderBytes);
        *r.box = box;
        auto* button = makeButton(page, r.buttonName, r.caption);
        const char* title = r.title;
        bool recent = r.recent;
        connect(button, &QPushButton::clicked, this,
                [this, box, title, recent] { chooseFolder(box, title, recent); });
        form->addRow(button, box);
    }
    return page;
}

QWidget* TFormGame::matchPage() {
    auto* page = new QWidget;
    matchType_ = makeList(page, "ComboBoxGameType",
                          {matchTypeText(0), matchTypeText(1), matchTypeText(2), matchTypeText(3),
                           matchTypeText(4), matchTypeText(5)},
                          stored_.matchType);
    minutes_ = makeSpin(page, "CSpinEditTime", MinutesRange, stored_.minutes);
    winner_ = makeSpin(page, "CSpinEditWinner", CrRange, stored_.winnerCr);
    loser_ = makeSpin(page, "CSpinEditLoser", CrRange, stored_.loserCr);
    minCr_ = makeSpin(page, "CSpinEditMinCr", MinCrRange, stored_.minCr);
    escape_ = makeSpin(page, "CSpinEditEscape", PercentRange, stored_.escapeRate);
    compensation_ = makeSpin(page, "CSpinEditCompensation", PercentRange, stored_.compensationRate);
    auto* form = new QFormLayout;
    form->addRow(qs(utext::MatchTypeLabel), matchType_);
    form->addRow(qs(utext::MinutesLabel), minutes_);
    form->addRow(qs(utext::WinnerLabel), winner_);
    form->addRow(qs(utext::LoserLabel), loser_);
    form->addRow(qs(utext::MinCrLabel), minCr_);
    form->addRow(qs(utext::EscapeLabel), escape_);
    form->addRow(qs(utext::CompensationLabel), compensation_);

    auto* bountyGroup = new QGroupBox(qs(utext::BountyGroup), page);
    bounty_ = makeCheck(bountyGroup, "CheckBoxHeadMatch", utext::BountyMatch, stored_.bountyMatch);
    formula_ = new QLineEdit(bountyGroup);
    formula_->setObjectName("EditHeadMatch");
    setupEdit(formula_, stored_.formula, FormulaBytes, FormulaBytes);
    polish_ = makeCheck(bountyGroup, "CheckBoxPoland", utext::ReversePolish, stored_.reversePolish);
    check_ = makeButton(bountyGroup, "ButtonCheck", utext::CheckButton);
    check_->setToolTip(qs(utext::CheckHint));
    connect(check_, &QPushButton::clicked, this, [this] { ButtonCheckClick(); });
    auto* bountyForm = new QFormLayout(bountyGroup);
    bountyForm->addRow(bounty_);
    auto* formulaRow = new QHBoxLayout;
    formulaRow->addWidget(formula_, 1);
    formulaRow->addWidget(check_);
    bountyForm->addRow(qs(utext::FormulaLabel), formulaRow);
    bountyForm->addRow(polish_);

    auto* supplyGroup = new QGroupBox(qs(utext::SupplyGroup), page);
    repair_ = makeCheck(supplyGroup, "CheckBoxRepair", utext::AutoProcess, stored_.autoProcess);
    winnerSupply_ = makeCheck(supplyGroup, "CheckBoxWinner", utext::ResupplyWinner, stored_.resupplyWinner);
    loserSupply_ = makeCheck(supplyGroup, "CheckBoxLoser", utext::ResupplyLoser, stored_.resupplyLoser);
    rebuy_ = makeCheck(supplyGroup, "CheckBoxWpBuy", utext::Rebuy, stored_.rebuy);
    rebuyInDebt_ = makeCheck(supplyGroup, "CheckBoxWpPoor", utext::RebuyInDebt, stored_.rebuyInDebt);
    auto* supply = new QVBoxLayout(supplyGroup);
    for (QCheckBox* c : {repair_, winnerSupply_, loserSupply_, rebuy_, rebuyInDebt_}) supply->addWidget(c);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(bountyGroup);
    layout->addWidget(supplyGroup);
    return page;
}

QWidget* TFormGame::outputPage() {
    auto* page = new QWidget;
    digest_ = makeList(page, "ComboBoxDigest",
                       {utext::Digest0, utext::Digest1, utext::Digest2, utext::Digest3}, stored_.digestMode);
    columns_ = makeSpin(page, "CSpinEditColumn", ColumnsRange, stored_.columns);
    messagePercent_ = makeSpin(page, "CSpinEditMsg", PercentRange, stored_.messagePercent);
    auto* statusGroup = new QGroupBox(qs(utext::StatusGroup), page);
    statusOn_ = makeCheck(statusGroup, "CheckBoxStatusDisp", utext::StatusOn, stored_.statusOn);
    status_ = makeSpin(statusGroup, "CSpinEditStatus", StatusRange, stored_.statusMinutes);
    auto* statusRow = new QHBoxLayout(statusGroup);
    statusRow->addWidget(statusOn_);
    statusRow->addWidget(status_);
    outputOptions_ = makeCheckList(page, "CheckListBoxOutOptions", OutputTexts, stored_.outputOptions);

    auto* form = new QFormLayout;
    form->addRow(qs(utext::DigestLabel), digest_);
    form->addRow(qs(utext::ColumnsLabel), columns_);
    form->addRow(qs(utext::MessagePercentLabel), messagePercent_);
    auto* optionsGroup = new QGroupBox(qs(utext::OutputOptions), page);
    (new QVBoxLayout(optionsGroup))->addWidget(outputOptions_);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(statusGroup);
    layout->addWidget(optionsGroup);
    return page;
}

QWidget* TFormGame::detailPage() {
    auto* page = new QWidget;
    detailOptions_ = makeCheckList(page, "CheckListBoxDetail", DetailTexts, stored_.detailOptions);
    auto* optionsGroup = new QGroupBox(qs(utext::DetailOptions), page);
    (new QVBoxLayout(optionsGroup))->addWidget(detailOptions_);

    auto* checkGroup = new QGroupBox(qs(utext::WeaponCheckGroup), page);
    weaponCheck_ = makeCheck(checkGroup, "CheckBoxWpChk", utext::WeaponCheck, stored_.checkWeapon);
    weaponFolder_ = new QComboBox(checkGroup);
    weaponFolder_->setObjectName("ComboBoxWpChk");
    setupFolderCombo(weaponFolder_, stored_.weaponFolder, FolderBytes, FolderBytes);
    weaponButton_ = makeButton(checkGroup, "ButtonWpChk", utext::WeaponButton);
    connect(weaponButton_, &QPushButton::clicked, this,
            [this] { chooseFolder(weaponFolder_, utext::WeaponTitle, false); });
    auto* checkForm = new QFormLayout(checkGroup);
    checkForm->addRow(weaponCheck_);
    checkForm->addRow(weaponButton_, weaponFolder_);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(optionsGroup);
    layout->addWidget(checkGroup);
    return page;
}

QWidget* TFormGame::specialPage() {
    auto* page = new QWidget;
    auto* berserkGroup = new QGroupBox(qs(utext::BerserkGroup), page);
    berserkAttack_ = makeSpin(berserkGroup, "CSpinEditBerserkAttack", BerserkRange, stored_.berserkAttack);
    berserkDefence_ = makeSpin(berserkGroup, "CSpinEditBerserkDefence", BerserkRange, stored_.berserkDefence);
    auto* berserkForm = new QFormLayout(berserkGroup);
    berserkForm->addRow(qs(utext::BerserkAttack), berserkAttack_);
    berserkForm->addRow(qs(utext::BerserkDefence), berserkDefence_);
    auto* defaults = makeButton(page, "ButtonDefault", utext::Defaults);
    connect(defaults, &QPushButton::clicked, this, [this] { ButtonDefaultClick(); });
    cv46Options_ = makeCheckList(page, "CheckListBoxCv46", Cv46Texts, stored_.cv46Options);
    auto* optionsGroup = new QGroupBox(qs(utext::Cv46Options), page);
    (new QVBoxLayout(optionsGroup))->addWidget(cv46Options_);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(berserkGroup);
    layout->addWidget(defaults, 0, Qt::AlignLeft);
    layout->addWidget(optionsGroup);
    return page;
}

void TFormGame::fillHistories() {
    // Adding items to an editable box may replace its text: keep the texts.
    FolderHistories h = loadFolderHistories(folder_);
    auto fill = [](QComboBox* box, const std::vector<std::string>& items) {
        QString text = box->currentText();
        for (const std::string& i : items) addFolderItem(box, i);
        box->setEditText(text);
    };
    fill(akInput_, h.ak);
    fill(akOutput_, h.ak);
    fill(weaponFolder_, h.weapon);
    fill(result_, h.result);
}

void TFormGame::chooseFolder(QComboBox* box, const char* title, bool recent) {
    std::string current = folderText(box);
    std::string start = current.empty() ? std::string() : resolve(folder_, current);
    auto chosen = choosers().folder(this, title, start);
    // A folder longer than the conf's field would be stored cut: refused.
    if (!chosen || chosen->size() > static_cast<size_t>(FolderBytes)) return;
    if (recent) {
        std::vector<std::string> items;
        for (int i = 0; i < box->count(); ++i) items.push_back(itemBytes(box, i));
        pushRecentFolder(items, *chosen);
        box->clear();
        for (const std::string& i : items) addFolderItem(box, i);
    }
    setFolderText(box, *chosen);
}

void TFormGame::updateEnabling() {
    bool bounty = bounty_->isChecked();
    formula_->setEnabled(bounty);
    polish_->setEnabled(bounty);
    check_->setEnabled(bounty);
    bool repair = repair_->isChecked();
    winnerSupply_->setEnabled(repair);
    loserSupply_->setEnabled(repair);
    rebuy_->setEnabled(repair);
    rebuyInDebt_->setEnabled(rebuyInDebtEnabled(repair, rebuy_->isChecked()));
    status_->setEnabled(statusOn_->isChecked());
    bool weapon = weaponCheck_->isChecked();
    weaponFolder_->setEnabled(weapon);
    weaponButton_->setEnabled(weapon);
}

GameValues TFormGame::shownValues() const {
    GameValues v = stored_;
    v.name = editedText(name_->text(), stored_.name);
    v.memo = editedText(memo_->text(), stored_.memo);
    v.stadium = editedText(stadium_->text(), stored_.stadium);
    v.organiser = editedText(organiser_->text(), stored_.organiser);
    v.announcerItem = announcer_->currentIndex();
    v.gameForm = gameForm_->currentIndex();
    v.akInput = folderText(akInput_);
    v.akOutput = folderText(akOutput_);
    v.resultFolder = folderText(result_);

    v.matchType = matchType_->currentIndex();
    v.minutes = minutes_->value();
    v.escapeRate = escape_->value();
    v.winnerCr = winner_->value();
    v.loserCr = loser_->value();
    v.minCr = minCr_->value();
    v.autoProcess = repair_->isChecked();
    v.resupplyWinner = winnerSupply_->isChecked();
    v.resupplyLoser = loserSupply_->isChecked();
    v.rebuy = rebuy_->isChecked();
    v.rebuyInDebt = rebuyInDebt_->isChecked();
    v.compensationRate = compensation_->value();
    v.bountyMatch = bounty_->isChecked();
    v.reversePolish = polish_->isChecked();
    v.formula = editedText(formula_->text(), stored_.formula);

    v.digestMode = digest_->currentIndex();
    v.columns = columns_->value();
    v.messagePercent = messagePercent_->value();
    v.statusOn = statusOn_->isChecked();
    v.statusMinutes = status_->value();
    v.outputOptions = checksOf<12>(outputOptions_);

    v.detailOptions = checksOf<7>(detailOptions_);
    v.checkWeapon = weaponCheck_->isChecked();
    v.weaponFolder = folderText(weaponFolder_);

    v.cv46Options = checksOf<7>(cv46Options_);
    v.berserkAttack = berserkAttack_->value();
    v.berserkDefence = berserkDefence_->value();
    return v;
}

void TFormGame::ButtonOkClick() {
    storeGameValues(shownValues(), conf_);
    accept();
}

void TFormGame::ButtonCheckClick() {
    checkBountyFormula(folder_, conf_.Settings, bounty_->isChecked(), polish_->isChecked(),
                       editedText(formula_->text(), stored_.formula), boxStyle());
}

void TFormGame::ButtonDefaultClick() {
    if (plat::msg::confirm(40014, {}, boxStyle()) != plat::notify::IdOk) return;
    berserkAttack_->setValue(0);
    berserkDefence_->setValue(0);
    setChecks(cv46Options_, Cv46Defaults);
}

void TFormGame::ButtonOutputClick() {
    writeRegulation(folder_, regulationTexts(shownValues()), boxStyle());
}

void TFormGame::done(int result) {
    std::vector<std::string> items;
    for (int i = 0; i < result_->count() && i < HistorySize; ++i) items.push_back(itemBytes(result_, i));
    saveResultHistory(items);
    DialogBase::done(result);
}

} // namespace cnf::ui
