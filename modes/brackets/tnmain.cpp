// The tournament's set-up window, its bracket picture and its start.
#include "modes/brackets/tnmain.h"

#include "base/sjis.h"
#include "modes/brackets/tnprog.h"
#include "modes/brackets/tourlogic.h"
#include "modes/frame/imports.h"
#include "platform/catalogue.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "platform/ui/qtsjis.h"
#include "sjis/brackets_text.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>

#include <algorithm>

namespace brackets {

using plat::ui::fromSjis;

namespace {

// Message 41050: fewer than three entrants.
constexpr int TooFewEntrants = 41050;

QImage paintBracket(const Bracket& bracket, const DispAttribute& display, bool resultMode) {
    const Picture picture = bracket.picture(resultMode);
    if (picture.Width <= 0 || picture.Height <= 0) return {};
    QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
    const uint32_t background = display.Color[7], foreground = display.Color[0], winner = display.Color[1];
    image.fill(plat::ui::colorFromRef(background));
    QPainter painter(&image);
    QFont font = plat::ui::displayFont(sjis::readField(display.FontName), 9);
    painter.setFont(font);
    painter.setPen(plat::ui::colorFromRef(foreground));
    // An owner name ends where the pilot column begins, so that a long one
    // does not run into the pilot's name.
    for (const PictureText& t : picture.Texts) {
        const int right = t.X < Bracket::PilotColumn ? Bracket::PilotColumn : Bracket::NameColumn;
        const QRect box(t.X, t.Top, right - t.X, Bracket::RowHeight);
        painter.setClipRect(box);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, fromSjis(t.Text));
    }
    painter.setClipping(false);
    // Winners' paths are drawn last, over the plain lines.
    for (bool winners : {false, true}) {
        QPen pen(plat::ui::colorFromRef(winners ? winner : foreground), winners ? 4 : 2);
        painter.setPen(pen);
        for (const PictureLine& l : picture.Lines)
            if (l.Winner == winners) painter.drawLine(l.X1, l.Y1, l.X2, l.Y2);
    }
    return image;
}

} // namespace

TourImage::TourImage(TFormTour& form) : QWidget(&form), form_(form) {
    setObjectName("ImageTour");
    setAcceptDrops(true);
}

void TourImage::setImage(QImage image) {
    image_ = std::move(image);
    setFixedSize(image_.isNull() ? QSize(0, 0) : image_.size());
    update();
}

void TourImage::paintEvent(QPaintEvent*) {
    if (image_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void TourImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) form_.ImageTourMouseDown(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void TourImage::contextMenuEvent(QContextMenuEvent* event) {
    if (form_.PopupMenuTour) form_.PopupMenuTour->popup(event->globalPos());
}

void TourImage::dragEnterEvent(QDragEnterEvent* event) {
    if (form_.seedEditing() && form_.isAkListDrag(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TourImage::dragMoveEvent(QDragMoveEvent* event) {
    if (form_.seedEditing() && form_.isAkListDrag(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TourImage::dropEvent(QDropEvent* event) {
    if (!form_.seedEditing() || !form_.isAkListDrag(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    form_.ImageTourDragDrop(event->position().toPoint());
}

TFormTour::TFormTour(GameSettings& settings, ConfHeader& header, AkSourceList& sources)
    : TFormMode(modes::ModeKind::Tournament, settings, header, sources, Features{true}) {
    auto* row = new QHBoxLayout;
    EditCount = new QLineEdit(this);
    EditCount->setObjectName("EditCount");
    EditCount->setValidator(new QIntValidator(0, 9999, EditCount));
    EditCount->setMaximumWidth(60);
    ComboBoxAssign = new QComboBox(this);
    ComboBoxAssign->setObjectName("ComboBoxAssign");
    for (const char* item : {text::AssignList, text::AssignRandom, text::AssignSelf})
        ComboBoxAssign->addItem(fromSjis(item));
    row->addWidget(new QLabel(fromSjis(text::LabelCount), this));
    row->addWidget(EditCount);
    row->addStretch(1);
    row->addWidget(new QLabel(fromSjis(text::LabelAssign), this));
    row->addWidget(ComboBoxAssign);
    modeArea()->addLayout(row);

    ScrollBoxTour = new QScrollArea(this);
    ScrollBoxTour->setObjectName("ScrollBoxTour");
    ScrollBoxTour->setWidgetResizable(false);
    ImageTour = new TourImage(*this);
    ScrollBoxTour->setWidget(ImageTour);
    ScrollBoxTour->setFixedHeight(scrollHeight_);
    modeArea()->addWidget(ScrollBoxTour);

    PopupMenuTour = new QMenu(this);
    JoinSlot1 = PopupMenuTour->addAction(fromSjis(text::JoinSlot));
    JoinSlot1->setObjectName("JoinSlot1");
    ClearSlot1 = PopupMenuTour->addAction(fromSjis(text::ClearSlot));
    ClearSlot1->setObjectName("ClearSlot1");
    PopupMenuTour->addSeparator();
    Copy1 = PopupMenuTour->addAction(fromSjis(text::CopyBracket));
    Copy1->setObjectName("Copy1");
    connect(JoinSlot1, &QAction::triggered, this, [this] { JoinSlot1Click(); });
    connect(ClearSlot1, &QAction::triggered, this, [this] { ClearSlot1Click(); });
    connect(Copy1, &QAction::triggered, this, [this] { Copy1Click(); });
    setEditing(false);
    Copy1->setEnabled(false);

    connect(ListViewAk, &QTreeWidget::itemDoubleClicked, this, [this] { ListViewAkDblClick(); });
    ListViewAk->installEventFilter(this);

    settings.Options[OptImmobileDraw] = 1;
    settings.Options[Opt17] = 1;
    setup().forceAkOutput();
    applySizeLimits(true);
}

TFormTour::~TFormTour() {
    ListViewAk->removeEventFilter(this);
}

void TFormTour::readModeValues() {
    int assign = modes::readModeValue(info(), "Assign");
    ComboBoxAssign->setCurrentIndex(std::clamp(assign, 0, 2));
    scrollHeight_ = std::clamp(modes::readModeValue(info(), "ScrollHeight"), 40, 4000);
    ScrollBoxTour->setFixedHeight(scrollHeight_);
}

void TFormTour::writeModeValues() {
    modes::writeModeValue(info(), "Assign", std::max(0, ComboBoxAssign->currentIndex()));
    modes::writeModeValue(info(), "ScrollHeight", scrollHeight_);
}

void TFormTour::akListFilled(int rows) {
    EditCount->setText(QString::number(rows));
}

void TFormTour::formClosing() {
    ImageTour->setImage({});
    bracket_.clear();
}

void TFormTour::setEditing(bool on) {
    editing_ = on;
    JoinSlot1->setEnabled(on);
    ClearSlot1->setEnabled(on);
}

void TFormTour::ButtonDecideClick() {
    bool ok = false;
    int n = EditCount->text().toInt(&ok);
    if (!ok || n <= 2) {
        plat::msg::showError(TooFewEntrants, {}, plat::msg::Style{true, this});
        return;
    }
    n = std::min(n, Bracket::MaxEntrants);
    RandomizeSystem();
    cursor_ = 0;
    const std::vector<modes::AkRow>& rows = setup().rows();
    const int assign = ComboBoxAssign->currentIndex();
    std::vector<std::string> files;
    for (const modes::AkRow& r : rows) files.push_back(r.File);
    modes::EntrantList entrants;
    if (assign != AssignByHand)
        for (size_t i : modes::distinctStemRows(files, static_cast<size_t>(n)))
            entrants.push_back(modes::makeEntrant(setup().akFolder(), rows[i].File));
    if (assign == AssignRandom) {
        plat::random::seed(static_cast<uint32_t>(plat::clock::epochSeconds()));
        shuffleEntrants(entrants, [] { return plat::random::next(); });
    }
    bracket_.build(n, std::move(entrants), setup().settings().Options[OptNoFullToHalf] != 0);
    DrawBracket();
    Copy1->setEnabled(true);
    ButtonStart->setEnabled(true);
    setEditing(true);
}

void TFormTour::ButtonStartClick() {
    if (!bracket_.built()) return;
    modes::ModeSetup& s = setup();
    RandomizeSystem();
    takeResultText();
    if (!s.testResultFile(this)) return;
    modes::EntrantList& entrants = bracket_.entrants();
    if (!s.checkEntrants(entrants)) return;
    setEditing(false);
    // The entry list names the entrants who are there: a slot emptied by
    // hand leaves an empty path in the list, which the AK data library
    // would report as a file it cannot open.
    modes::EntrantList present;
    for (const modes::Entrant& e : entrants)
        if (!e.Path.empty()) present.push_back(modes::Entrant{e.Path, nullptr});
    prepareRun(present);
    int result =
        runProgress(std::make_unique<TFormTourProgress>(*this, bracket_, s.resultFilePath(), s.akFolder()));
    s.deleteForcedOutput(entrants);
    ButtonStart->setEnabled(false);
    if (result == 1) DrawBracket();
}

void TFormTour::DrawBracket() {
    ImageTour->setImage(paintBracket(bracket_, setup().tables().Display, bracket_.resultMode()));
}

void TFormTour::Copy1Click() {
    if (ImageTour->image().isNull()) return;
    QApplication::clipboard()->setImage(ImageTour->image());
}

void TFormTour::assignRow(int slot, int row) {
    const std::vector<modes::AkRow>& rows = setup().rows();
    if (!editing_ || row < 0 || row >= static_cast<int>(rows.size())) return;
    if (!bracket_.assign(slot, modes::makeEntrant(setup().akFolder(), rows[static_cast<size_t>(row)].File)))
        return;
    DrawBracket();
}

void TFormTour::ListViewAkDblClick() {
    if (!editing_ || bracket_.slotCount() == 0 || selectedRow() < 0) return;
    int slot = cursor_;
    cursor_ = (cursor_ + 1) % bracket_.slotCount();
    assignRow(slot, selectedRow());
}

void TFormTour::ImageTourDragDrop(QPoint point) {
    if (!editing_) return;
    int slot = bracket_.slotAt(point.x(), point.y(), false);
    if (slot < 0) return;
    assignRow(slot, selectedRow());
}

void TFormTour::ImageTourMouseDown(QPoint point) {
    lastRightClick_ = point;
}

void TFormTour::JoinSlot1Click() {
    if (!editing_) return;
    int slot = bracket_.slotAt(lastRightClick_.x(), lastRightClick_.y(), false);
    if (slot >= 0) cursor_ = slot;
    ListViewAkDblClick();
}

void TFormTour::ClearSlot1Click() {
    if (!editing_ || bracket_.slotCount() == 0) return;
    int slot = bracket_.slotAt(lastRightClick_.x(), lastRightClick_.y(), true);
    if (slot < 0) slot = (cursor_ + bracket_.slotCount() - 1) % bracket_.slotCount();
    bracket_.clearSlot(slot);
    DrawBracket();
}

bool TFormTour::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListViewAk && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ListViewAkDblClick();
            return true;
        }
    }
    return TFormMode::eventFilter(watched, event);
}

} // namespace brackets
