// The team battle's set-up window, its board and its start sequence.
#include "modes/teamfight/rwmain.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"
#include "modes/frame/textfmt.h"
#include "modes/teamfight/rwprog.h"
#include "platform/catalogue.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "platform/ui/qtsjis.h"
#include "sjis/teamfight_text.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace teamfight {

namespace {

using plat::ui::fromSjis;

// Member numbers reach the bout logs' names with three digits.
constexpr int MaxTeamSize = 999;
// The stored scroll-box height is kept to a usable size.
constexpr int MinScrollHeight = 40;
constexpr int MaxScrollHeight = 2000;

// The board picture: paints what the form holds and hands the mouse, the
// pop-up menu and drops from the AK list to the form.
class Board : public QWidget {
public:
    Board(TFormTeam& form, QWidget* parent) : QWidget(parent), form_(form) {
        setObjectName("ImageTeam");
        setAcceptDrops(true);
        setContextMenuPolicy(Qt::DefaultContextMenu);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        form_.paintBoard(painter);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        form_.ImageTeamMouseUp(e->button(), e->position().toPoint());
        QWidget::mouseReleaseEvent(e);
    }
    void contextMenuEvent(QContextMenuEvent* e) override {
        std::optional<QPoint> point;
        if (e->reason() == QContextMenuEvent::Mouse) point = e->pos();
        form_.popupMenu(e->globalPos(), point);
    }
    // The drag is taken on while it is over the board, so that its moves
    // arrive; each move then tells whether the point below takes the AK.
    void dragEnterEvent(QDragEnterEvent* e) override {
        if (form_.isAkListDrag(e) && form_.registration().hasBoard() && form_.registration().isOpen())
            e->acceptProposedAction();
        else
            e->ignore();
    }
    void dragMoveEvent(QDragMoveEvent* e) override { answer(e); }
    void dropEvent(QDropEvent* e) override {
        QPoint pos = e->position().toPoint();
        if (!form_.isAkListDrag(e) || !form_.ImageTeamDragOver(pos)) {
            e->ignore();
            return;
        }
        e->acceptProposedAction();
        form_.ImageTeamDragDrop(pos);
    }

private:
    void answer(QDragMoveEvent* e) {
        if (form_.isAkListDrag(e) && form_.ImageTeamDragOver(e->position().toPoint()))
            e->acceptProposedAction();
        else
            e->ignore();
    }

    TFormTeam& form_;
};

// A text of the board kept inside its column: a long owner name would
// otherwise run into the pilot's name.
void drawCell(QPainter& painter, const QRect& cell, const QString& text) {
    painter.save();
    painter.setClipRect(cell);
    painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop, text);
    painter.restore();
}

} // namespace

TFormTeam::TFormTeam(GameSettings& settings, ConfHeader& header, AkSourceList& sources)
    : TFormMode(modes::ModeKind::TeamBattle, settings, header, sources, Features{true}), settings_(settings) {
    auto* countRow = new QHBoxLayout;
    LabelCount = new QLabel(fromSjis(text::LabelCount), this);
    LabelCount->setObjectName("LabelCount");
    EditCount = new QLineEdit(fromSjis(text::DefaultCount), this);
    EditCount->setObjectName("EditCount");
    EditCount->setMaximumWidth(60);
    EditCount->setMaxLength(8);
    LabelType = new QLabel(fromSjis(text::LabelType), this);
    LabelType->setObjectName("LabelType");
    countRow->addWidget(LabelCount);
    countRow->addWidget(EditCount);
    countRow->addStretch(1);
    countRow->addWidget(LabelType);
    modeArea()->addLayout(countRow);

    CheckBoxContinue = new QCheckBox(fromSjis(text::CheckContinue), this);
    CheckBoxContinue->setObjectName("CheckBoxContinue");
    // The conf's own choice of style is offered; the box decides at start.
    CheckBoxContinue->setChecked(settings.Options[OptTeamBattleWinnerStays] != 0);
    modeArea()->addWidget(CheckBoxContinue);

    auto* buttonRow = new QHBoxLayout;
    ButtonRegAll1 = new QPushButton(fromSjis(text::RegAll1), this);
    ButtonRegAll1->setObjectName("ButtonRegAll1");
    ButtonRegAll1->setToolTip(fromSjis(text::RegAll1Hint));
    ButtonRegAll1->setProperty("tag", 0);
    ButtonRegAll2 = new QPushButton(fromSjis(text::RegAll2), this);
    ButtonRegAll2->setObjectName("ButtonRegAll2");
    ButtonRegAll2->setToolTip(fromSjis(text::RegAll2Hint));
    ButtonRegAll2->setProperty("tag", 1);
    for (QPushButton* b : {ButtonRegAll1, ButtonRegAll2}) {
        b->setAutoDefault(false);
        b->setEnabled(false);
        buttonRow->addWidget(b);
    }
    buttonRow->addStretch(1);
    modeArea()->addLayout(buttonRow);

    // The box's content is as wide as the box (wider only for the board), so
    // that the hint wraps at the box's own width; sized to its own hint, a
    // wrapped label would take a width of Qt's choosing, about half the box.
    ScrollBoxTeam = new QScrollArea(this);
    ScrollBoxTeam->setObjectName("ScrollBoxTeam");
    ScrollBoxTeam->setWidgetResizable(true);
    auto* inside = new QWidget;
    auto* insideLayout = new QVBoxLayout(inside);
    insideLayout->setContentsMargins(0, 0, 0, 0);
    LabelCaption = new QLabel(fromSjis(text::Caption), inside);
    LabelCaption->setObjectName("LabelCaption");
    LabelCaption->setWordWrap(true);
    ImageTeam = new Board(*this, inside);
    ImageTeam->hide();
    insideLayout->addWidget(LabelCaption);
    insideLayout->addWidget(ImageTeam, 0, Qt::AlignLeft | Qt::AlignTop);
    insideLayout->addStretch(1);
    ScrollBoxTeam->setWidget(inside);
    readModeValues();
    modeArea()->addWidget(ScrollBoxTeam);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName("PopupMenu");
    MenuEntry = PopupMenu->addAction(fromSjis(text::MenuEntry));
    MenuEntry->setObjectName("MenuEntry");
    SetUndo = PopupMenu->addAction(fromSjis(text::MenuUndo));
    SetUndo->setObjectName("SetUndo");
    Copy1 = PopupMenu->addAction(fromSjis(text::MenuCopyBoard));
    Copy1->setObjectName("Copy1");
    Copy1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    addAction(Copy1);
    setRegistrationControls(false);

    ListViewAk->setContextMenuPolicy(Qt::CustomContextMenu);
    ListViewAk->installEventFilter(this);
    connect(ListViewAk, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { popupMenu(ListViewAk->viewport()->mapToGlobal(p), std::nullopt); });
    connect(ListViewAk, &QTreeWidget::itemDoubleClicked, this, [this] { ListViewAkDblClick(); });
    connect(ButtonRegAll1, &QPushButton::clicked, this, [this] { ButtonRegAll1Click(0); });
    connect(ButtonRegAll2, &QPushButton::clicked, this, [this] { ButtonRegAll1Click(1); });
    connect(MenuEntry, &QAction::triggered, this, [this] { MenuEntryClick(); });
    connect(SetUndo, &QAction::triggered, this, [this] { SetUndoClick(); });
    connect(Copy1, &QAction::triggered, this, [this] { Copy1Click(); });

    settings.Options[OptImmobileDraw] = 1;
    settings.Options[Opt17] = 1;
    setup().forceAkOutput();
    display_ = &setup().tables().Display;
    applySizeLimits(false);
    drawBoard();
}

TFormTeam::~TFormTeam() = default;

void TFormTeam::readModeValues() {
    int32_t height = modes::readModeValue(info(), "ScrollHeight");
    ScrollBoxTeam->setFixedHeight(std::clamp<int32_t>(height, MinScrollHeight, MaxScrollHeight));
}

void TFormTeam::writeModeValues() {
    modes::writeModeValue(info(), "ScrollHeight", ScrollBoxTeam->height());
}

void TFormTeam::akListFilled(int rows) {
    EditCount->setText(QString::number(rows));
}

void TFormTeam::formClosing() {
    teams_.reset(0);
}

void TFormTeam::setRegistrationControls(bool enabled) {
    for (QPushButton* b : {ButtonRegAll1, ButtonRegAll2}) b->setEnabled(enabled);
    for (QAction* a : {MenuEntry, SetUndo, Copy1}) a->setEnabled(enabled);
}

void TFormTeam::ButtonDecideClick() {
    const std::string typed = EditCount->text().toStdString();
    long n = std::strtol(typed.c_str(), nullptr, 10);
    if (n <= 2) {
        plat::msg::showError(41050, {}, plat::msg::Style{true, this});
        return;
    }
    n = std::min<long>(n, MaxTeamSize);
    LabelCaption->hide();
    registration_.decide(static_cast<int>(n));
    lines_.clear();
    drawBoard();
    setRegistrationControls(true);
    ButtonStart->setEnabled(true);
}

void TFormTeam::ButtonRegAll1Click(int tag) {
    if (!registration_.hasBoard()) return;
    // All rows in list order: the registration passes over the AKs that
    // stand in the other team and takes as many of the rest as there are
    // slots.
    std::vector<std::string> files;
    for (const modes::AkRow& row : setup().rows()) files.push_back(row.File);
    plat::random::seed(static_cast<uint32_t>(plat::clock::epochSeconds()));
    std::vector<std::string> passedOver =
        registration_.registerAll(tag, setup().akFolder(), files, [] { return plat::random::next(); });
    lines_.clear();
    drawBoard();
    modes::reportStemsTaken(passedOver, this);
}

void TFormTeam::putSelected(std::optional<SlotRef> slot) {
    if (!registration_.hasBoard() || !registration_.isOpen() || selectedFile().empty()) return;
    const bool put = slot ? registration_.put(*slot, setup().akFolder(), selectedFile())
                          : registration_.putAtCursor(setup().akFolder(), selectedFile());
    if (!put) {
        modes::reportStemsTaken({selectedFile()}, this);
        return;
    }
    lines_.clear();
    drawBoard();
}

void TFormTeam::ListViewAkDblClick() {
    putSelected(std::nullopt);
}

void TFormTeam::ListViewAkKeyPress(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) ListViewAkDblClick();
}

bool TFormTeam::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListViewAk && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ListViewAkKeyPress(key);
            return true;
        }
    }
    return TFormMode::eventFilter(watched, event);
}

bool TFormTeam::ImageTeamDragOver(const QPoint& pos) const {
    if (!registration_.hasBoard() || !registration_.isOpen()) return false;
    if (pos.y() >= boardHeight(teams_.size())) return false;
    return slotAt(teams_.size(), pos.x(), pos.y()).has_value();
}

void TFormTeam::ImageTeamDragDrop(const QPoint& pos) {
    if (!ImageTeamDragOver(pos)) return;
    putSelected(slotAt(teams_.size(), pos.x(), pos.y()));
}

void TFormTeam::ImageTeamMouseUp(Qt::MouseButton button, const QPoint& pos) {
    if (button == Qt::RightButton) lastRightClick_ = pos;
}

void TFormTeam::popupMenu(const QPoint& globalPos, std::optional<QPoint> boardPoint) {
    // A menu opened from the AK list has no point on the board.
    lastRightClick_ = boardPoint;
    PopupMenu->popup(globalPos);
}

void TFormTeam::MenuEntryClick() {
    if (!registration_.hasBoard() || !registration_.isOpen()) return;
    if (lastRightClick_) {
        if (std::optional<SlotRef> slot = slotAt(teams_.size(), lastRightClick_->x(), lastRightClick_->y()))
            registration_.setCursor(*slot);
    }
    ListViewAkDblClick();
}

void TFormTeam::SetUndoClick() {
    if (!registration_.hasBoard()) return;
    std::optional<SlotRef> point;
    if (lastRightClick_) point = slotAt(teams_.size(), lastRightClick_->x(), lastRightClick_->y());
    if (registration_.undo(point)) {
        lines_.clear();
        drawBoard();
    }
}

void TFormTeam::Copy1Click() {
    if (!registration_.hasBoard()) return;
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setPixmap(boardPicture());
}

QPixmap TFormTeam::boardPicture() const {
    QPixmap picture(BoardWidth, std::max(boardHeight(teams_.size()), 1));
    QPainter painter(&picture);
    paintBoard(painter);
    return picture;
}

void TFormTeam::drawBoard() {
    const DispAttribute& display = setup().tables().Display;
    QPalette palette = ScrollBoxTeam->palette();
    palette.setColor(QPalette::Window, plat::ui::colorFromRef(display.Color[7]));
    ScrollBoxTeam->setPalette(palette);
    ScrollBoxTeam->setAutoFillBackground(true);
    ScrollBoxTeam->widget()->setPalette(palette);
    ScrollBoxTeam->widget()->setAutoFillBackground(true);
    // The hint on that background is written in the system text colour of
    // the display settings, as the other modes' windows write theirs.
    QPalette hint = LabelCaption->palette();
    hint.setColor(QPalette::WindowText, plat::ui::colorFromRef(display.Color[0]));
    LabelCaption->setPalette(hint);
    if (registration_.hasBoard()) {
        ImageTeam->setFixedSize(BoardWidth, boardHeight(teams_.size()));
        ImageTeam->show();
    } else {
        ImageTeam->hide();
    }
    ImageTeam->update();
}

void TFormTeam::paintBoard(QPainter& painter) const {
    const DispAttribute& display = *display_;
    const int n = teams_.size();
    painter.fillRect(QRect(0, 0, BoardWidth, boardHeight(n)), plat::ui::colorFromRef(display.Color[7]));
    painter.setFont(plat::ui::displayFont(sjis::readField(display.FontName), display.FontSize));
    const GameSettings& settings = settings_;
    for (int t = 0; t < 2; ++t) {
        painter.setPen(plat::ui::colorFromRef(display.Color[1 + t]));
        for (int i = 0; i < n; ++i) {
            const EntryRecord* row = teams_.Side[t][static_cast<size_t>(i)].row();
            const int y = slotTextY(i);
            const int pilotWidth = t == 0 ? LineX[0] - PilotX[0] : BoardWidth - PilotX[1];
            const QRect pilotCell(PilotX[t], y, pilotWidth, SlotHeight);
            if (!row) {
                drawCell(painter, pilotCell, fromSjis(text::Absent));
                continue;
            }
            std::string owner = modes::tableName(settings, sjis::readField(row->OwnerName), OwnerBytes);
            std::string pilot = modes::tableName(settings, sjis::readField(row->PilotName), PilotBytes);
            drawCell(painter, QRect(OwnerX[t], y, PilotX[t] - OwnerX[t] - 2, SlotHeight), fromSjis(owner));
            drawCell(painter, pilotCell, fromSjis(pilot));
        }
    }
    for (const BoutLine& line : lines_) {
        QPen pen(plat::ui::colorFromRef(display.Color[std::clamp(line.Color, 0, 19)]));
        pen.setWidth(2);
        painter.setPen(pen);
        painter.drawLine(LineX[0], slotLineY(line.Slot[0]), LineX[1], slotLineY(line.Slot[1]));
    }
}

void TFormTeam::ButtonStartClick() {
    if (!registration_.hasBoard()) return;
    // A team without a member would only hand the other walkovers nobody
    // fought: no start, without a word, as the weapon-data check ends a
    // start with nobody to check.
    if (teams_.paths(0).empty() || teams_.paths(1).empty()) return;
    modes::ModeSetup& s = setup();
    // Registration closes for the start. A start that ends before the run
    // (no result file, no weapon catalogue, an entrant refused) leaves it
    // closed until "決定"; once the run was shown it opens again, also when
    // an exception passes.
    registration_.setOpen(false);
    RandomizeSystem();
    takeResultText();
    if (!s.testResultFile(this)) return;

    refreshRows(teams_);
    if (!s.checkEntrants(teams_.checkList())) return;
    s.history().promote();
    showHistory();
    s.resetDigest();
    GameSettings& settings = s.settings();
    settings.Options[OptTeamBattleWinnerStays] = CheckBoxContinue->isChecked() ? 1 : 0;
    if (!writeTeamEntryLists(settings, s.header(), teams_, s.buffer())) return;

    struct Reopen {
        Registration& r;
        ~Reopen() { r.setOpen(true); }
    } reopen{registration_};
    lines_.clear();
    drawBoard();
    int result =
        runProgress(std::make_unique<TFormProgress>(*this, teams_, s.resultFilePath(), s.akFolder()));
    if (result == 1) {
        lines_ = boutLines(teams_);
        drawBoard();
    }
    s.deleteForcedOutput(teams_.Side);
}

} // namespace teamfight
