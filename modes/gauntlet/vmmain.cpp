// The one-vs-many simulation's set-up window and its start sequence.
#include "modes/gauntlet/vmmain.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"
#include "modes/frame/textfmt.h"
#include "modes/gauntlet/vmprog.h"
#include "platform/catalogue.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "sjis/gauntlet_text.h"

#include <QAction>
#include <QComboBox>
#include <QDropEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace gauntlet {

namespace {

using plat::ui::fromSjis;

// The panel's height as stored, kept to what fits the window.
constexpr int MinPanelHeight = 80;
constexpr int MaxPanelHeight = 600;

const modes::Lines& memoHint() {
    static const modes::Lines lines{
        "", "", text::MemoHint2, text::MemoHint3, "", "", text::MemoHint6, text::MemoHint7, text::MemoHint8};
    return lines;
}

QLabel* headLabel(const char* caption, QWidget* parent) {
    auto* head = new QLabel(fromSjis(caption), parent);
    head->setAlignment(Qt::AlignCenter);
    head->setFrameShape(QFrame::Panel);
    head->setFrameShadow(QFrame::Raised);
    return head;
}

} // namespace

TFormGauntlet::TFormGauntlet(GameSettings& settings, ConfHeader& header, AkSourceList& sources)
    : TFormMode(modes::ModeKind::Gauntlet, settings, header, sources, Features{true}),
      own_(std::make_unique<TArmoredKnight>()) {
    *own_ = TArmoredKnight{};
    auto* top = static_cast<QVBoxLayout*>(layout());

    // The own AK and the enemies, above the AK list.
    PanelVs = new QFrame(this);
    PanelVs->setObjectName("PanelVs");
    auto* vs = new QHBoxLayout(PanelVs);
    vs->setContentsMargins(0, 0, 0, 0);
    auto* left = new QVBoxLayout;
    PanelLHead = headLabel(text::HeadPlayer, PanelVs);
    PanelLHead->setObjectName("PanelLHead");
    MemoLeft = new QTextEdit(PanelVs);
    MemoLeft->setObjectName("MemoLeft");
    MemoLeft->setReadOnly(true);
    MemoLeft->setAcceptRichText(false);
    MemoLeft->setLineWrapMode(QTextEdit::NoWrap);
    MemoLeft->setAcceptDrops(true);
    MemoLeft->viewport()->setAcceptDrops(true);
    MemoLeft->viewport()->installEventFilter(this);
    left->addWidget(PanelLHead);
    left->addWidget(MemoLeft, 1);
    PanelMiddle = headLabel(text::HeadVs, PanelVs);
    PanelMiddle->setObjectName("PanelMiddle");
    PanelMiddle->setFixedWidth(28);
    PanelMiddle->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    auto* right = new QVBoxLayout;
    PanelRHead = headLabel(text::HeadEnemies, PanelVs);
    PanelRHead->setObjectName("PanelRHead");
    ListViewEnemies = new QTreeWidget(PanelVs);
    ListViewEnemies->setObjectName("ListViewEnemies");
    ListViewEnemies->setRootIsDecorated(false);
    ListViewEnemies->setUniformRowHeights(true);
    ListViewEnemies->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListViewEnemies->setHeaderLabels({fromSjis(text::ColumnPilot), fromSjis(text::ColumnValue)});
    ListViewEnemies->setColumnWidth(EnemyColPilot, 120);
    ListViewEnemies->setColumnWidth(EnemyColValue, 70);
    ListViewEnemies->headerItem()->setTextAlignment(EnemyColValue, Qt::AlignRight | Qt::AlignVCenter);
    ListViewEnemies->header()->setSectionsClickable(true);
    ListViewEnemies->setAcceptDrops(true);
    ListViewEnemies->viewport()->setAcceptDrops(true);
    ListViewEnemies->viewport()->installEventFilter(this);
    ListViewEnemies->installEventFilter(this);
    ListViewEnemies->setContextMenuPolicy(Qt::CustomContextMenu);
    right->addWidget(PanelRHead);
    right->addWidget(ListViewEnemies, 1);
    vs->addLayout(left, 1);
    vs->addWidget(PanelMiddle);
    vs->addLayout(right, 1);
    top->insertWidget(0, PanelVs);

    PopupMenuEnemies = new QMenu(this);
    PopupMenuEnemies->setObjectName("PopupMenuEnemies");
    SetUndo = PopupMenuEnemies->addAction(fromSjis(text::MenuRemove));
    SetUndo->setObjectName("SetUndo");
    SetUndo->setShortcut(QKeySequence(Qt::Key_Delete));

    // The count, the reset button and the type label.
    auto* row = new QHBoxLayout;
    auto* countLabel = new QLabel(fromSjis(text::LabelCount), this);
    // A spin box whose maximum shows the largest count (100), where an edit
    // took a larger one and ran 100 without a word. A count of 1 to 4 stays
    // as typed (and is stored so); the start runs at least 5.
    EditCount = new QSpinBox(this);
    EditCount->setObjectName("EditCount");
    EditCount->setRange(1, MaxSimCount);
    EditCount->setFixedWidth(64);
    countLabel->setBuddy(EditCount);
    ButtonReset = new QPushButton(fromSjis(text::ButtonReset), this);
    ButtonReset->setObjectName("ButtonReset");
    ButtonReset->setAutoDefault(false);
    LabelType = new QLabel(fromSjis(text::LabelType), this);
    LabelType->setObjectName("LabelType");
    row->addWidget(countLabel);
    row->addWidget(EditCount);
    row->addWidget(ButtonReset);
    row->addStretch(1);
    row->addWidget(LabelType);
    modeArea()->addLayout(row);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->addWidget(new QLabel(StatusBar1), 1);
    top->addWidget(StatusBar1);

    ButtonDecide->setText(fromSjis(text::ButtonAdd));
    ButtonDecide->setEnabled(false);
    ButtonStart->setEnabled(false);
    ListViewAk->setSelectionMode(QAbstractItemView::ExtendedSelection);

    connect(ListViewAk, &QTreeWidget::itemDoubleClicked, this, [this] { ListViewAkDblClick(); });
    connect(ButtonReset, &QPushButton::clicked, this, [this] { ButtonResetClick(); });
    connect(SetUndo, &QAction::triggered, this, [this] { SetUndoClick(); });
    connect(ListViewEnemies->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListViewEnemiesColumnClick(column); });
    connect(ListViewEnemies, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenuEnemies->popup(ListViewEnemies->viewport()->mapToGlobal(at));
    });

    showMemoLines(memoHint(), true);
    showEnemyCount();

    settings.Options[OptImmobileDraw] = 1;
    settings.Options[OptAkOutput] = 0;
    settings.Options[OptLogOutput] = 0;
    // The own AK's summary and the enemies' two columns side by side, neither
    // cut for the other.
    fitSummaryMemo(MemoLeft, [](const TArmoredKnight& ak) { return gauntlet::akSummary(ak, ""); });
    ListViewEnemies->setMinimumWidth(
        plat::ui::scrolledWidth(ListViewEnemies, ListViewEnemies->columnWidth(EnemyColPilot) +
                                                     ListViewEnemies->columnWidth(EnemyColValue)));
    applySizeLimits(true);
}

void TFormGauntlet::readModeValues() {
    EditCount->setValue(modes::readModeValue(info(), "SimCount"));
    int height = modes::readModeValue(info(), "ScrollHeight");
    PanelVs->setFixedHeight(std::clamp(height, MinPanelHeight, MaxPanelHeight));
}

void TFormGauntlet::writeModeValues() {
    modes::writeModeValue(info(), "ScrollHeight", PanelVs->height());
    modes::writeModeValue(info(), "SimCount", readCount(EditCount->text().toStdString()));
}

void TFormGauntlet::showMemoLines(const modes::Lines& lines, bool centred) {
    MemoLeft->setEnabled(false);
    MemoLeft->clear();
    QStringList shown;
    for (const std::string& line : lines) shown << fromSjis(line);
    MemoLeft->setPlainText(shown.join(QLatin1Char('\n')));
    QTextCursor cursor(MemoLeft->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(centred ? Qt::AlignHCenter : Qt::AlignLeft);
    cursor.mergeBlockFormat(format);
    MemoLeft->setEnabled(true);
}

void TFormGauntlet::MakeAkSummary(const std::string& path) {
    // A scratch record: a rejected AK must not replace the one already set.
    auto loaded = std::make_unique<TArmoredKnight>();
    *loaded = TArmoredKnight{};
    if (LoadAkData(loaded.get(), path.c_str()) != 0) return;
    if (!fitToFight(*loaded)) {
        plat::msg::showError(41010, {}, plat::msg::Style{true, this});
        return;
    }
    *own_ = *loaded;
    ownPath_ = path;
    ownSet_ = true;
    showMemoLines(akSummary(*own_, ownPath_), false);
    applyStartRule();
    ButtonDecide->setEnabled(true);
}

void TFormGauntlet::MemoLeftDragDrop() {
    if (selectedRow() < 0) return;
    MakeAkSummary(setup().rowPath(static_cast<size_t>(selectedRow())));
}

void TFormGauntlet::ListViewAkDblClick() {
    MemoLeftDragDrop();
}

std::vector<int> TFormGauntlet::selectedAkRows() const {
    std::vector<int> rows;
    for (int i = 0; i < ListViewAk->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ListViewAk->topLevelItem(i);
        if (item->isSelected()) rows.push_back(item->data(0, Qt::UserRole).toInt());
    }
    return rows;
}

void TFormGauntlet::addEnemies(const std::vector<int>& rows) {
    const std::vector<modes::AkRow>& akRows = setup().rows();
    for (int r : rows)
        if (r >= 0 && r < static_cast<int>(akRows.size()))
            enemies_.add(setup().akFolder(), akRows[static_cast<size_t>(r)],
                         ownSet_ ? ownPath_ : std::string());
    fillEnemyView();
    showEnemyCount();
    if (ownSet_) applyStartRule();
}

void TFormGauntlet::ButtonDecideClick() {
    std::vector<int> all(setup().rows().size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    addEnemies(all);
    ButtonDecide->setEnabled(false);
}

void TFormGauntlet::ListViewEnemiesDragDrop() {
    // As "一覧に追加", for the selected rows only.
    addEnemies(selectedAkRows());
    ButtonDecide->setEnabled(false);
}

void TFormGauntlet::ButtonResetClick() {
    enemies_.clear();
    fillEnemyView();
    showEnemyCount();
    ButtonStart->setEnabled(false);
    ButtonDecide->setEnabled(ownSet_);
}

void TFormGauntlet::SetUndoClick() {
    std::vector<int> selected;
    for (int i = 0; i < ListViewEnemies->topLevelItemCount(); ++i)
        if (ListViewEnemies->topLevelItem(i)->isSelected()) selected.push_back(i);
    if (selected.empty()) return;
    int select = enemies_.remove(selected);
    fillEnemyView(select);
    showEnemyCount();
    // An emptied list cannot be simulated: the start waits for an enemy.
    if (ownSet_) applyStartRule();
}

void TFormGauntlet::ListViewEnemiesColumnClick(int column) {
    enemies_.sortBy(column);
    fillEnemyView();
}

void TFormGauntlet::fillEnemyView(int select) {
    QSignalBlocker block(ListViewEnemies);
    ListViewEnemies->clear();
    QList<QTreeWidgetItem*> items;
    for (const EnemyShown& e : enemies_.shown()) {
        auto* item = new QTreeWidgetItem;
        item->setText(EnemyColPilot, fromSjis(e.Pilot));
        item->setText(EnemyColValue, fromSjis(e.Value));
        item->setTextAlignment(EnemyColValue, Qt::AlignRight | Qt::AlignVCenter);
        items.push_back(item);
    }
    ListViewEnemies->addTopLevelItems(items);
    if (select >= 0 && select < ListViewEnemies->topLevelItemCount()) {
        ListViewEnemies->setCurrentItem(ListViewEnemies->topLevelItem(select));
        ListViewEnemies->topLevelItem(select)->setSelected(true);
    }
}

void TFormGauntlet::showEnemyCount() {
    if (auto* panel = StatusBar1->findChild<QLabel*>())
        panel->setText(fromSjis(modes::format(text::EnemyCount, static_cast<int>(enemies_.size()))));
}

void TFormGauntlet::applyStartRule() {
    std::string resultText = plat::ui::toSjis(ComboBoxText->currentText()).value_or(std::string());
    ButtonStart->setEnabled(startAllowed(ownSet_, resultText, setup().settings(), enemies_.size()));
}

bool TFormGauntlet::eventFilter(QObject* watched, QEvent* event) {
    const bool memo = watched == MemoLeft->viewport();
    const bool enemies = watched == ListViewEnemies->viewport();
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        if (memo || enemies) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (isAkListDrag(drag))
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        break;
    case QEvent::Drop:
        if (memo || enemies) {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!isAkListDrag(drop)) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            if (memo)
                MemoLeftDragDrop();
            else
                ListViewEnemiesDragDrop();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (watched == ListViewEnemies && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
            SetUndoClick();
            return true;
        }
        break;
    default:
        break;
    }
    return TFormMode::eventFilter(watched, event);
}

void TFormGauntlet::ButtonStartClick() {
    modes::ModeSetup& s = setup();
    takeResultText();
    if (!s.testResultFile(this)) return;
    if (!ownSet_) return;

    enemies_.prepareForStart(ownPath_);
    fillEnemyView();
    showEnemyCount();
    if (enemies_.empty()) {
        // Nothing to simulate against (the only enemy was the own AK, or
        // the list was emptied): the start waits for an enemy, as the
        // start button's rule says.
        ButtonStart->setEnabled(false);
        return;
    }

    modes::EntrantList checked;
    checked.push_back(modes::Entrant{ownPath_, nullptr});
    for (const modes::Entrant& e : enemies_.entrants()) checked.push_back(modes::Entrant{e.Path, nullptr});
    if (!s.checkEntrants(checked)) return;

    s.history().promote();
    showHistory();
    s.resetDigest();

    int count = simulationCount(EditCount->text().toStdString());
    runProgress(std::make_unique<TFormProgress>(*this, enemies_.entrants(), *own_, ownPath_, count,
                                                s.resultFilePath(), s.akFolder()));
}

} // namespace gauntlet
