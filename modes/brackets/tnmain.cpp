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
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
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

// The picture's names: the display font at 9 points.
QFont pictureFont(const DispAttribute& display) {
    return plat::ui::displayFont(sjis::readField(display.FontName), 9);
}

// Paints the texts and lines of `picture` (a strip of the whole, or all of
// it) on a ground already filled.
void paintPicture(QPainter& painter, const Picture& picture, const QFont& font, const QColor colours[3]) {
    painter.setFont(font);
    painter.setPen(colours[1]);
    for (const PictureText& t : picture.Texts)
        painter.drawText(QRect(t.X, t.Top, picture.Width - t.X, Bracket::RowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, fromSjis(t.Text));
    // Winners' paths are drawn last, over the plain lines.
    for (bool winners : {false, true}) {
        painter.setPen(QPen(winners ? colours[2] : colours[1], winners ? 4 : 2));
        for (const PictureLine& l : picture.Lines)
            if (l.Winner == winners) painter.drawLine(l.X1, l.Y1, l.X2, l.Y2);
    }
}

} // namespace

TourImage::TourImage(TFormTour& form) : QWidget(&form), form_(form) {
    setObjectName("ImageTour");
    setAcceptDrops(true);
}

void TourImage::setPicture(Picture picture, const QFont& font, const DispAttribute& display) {
    picture_ = std::move(picture);
    font_ = font;
    for (int k : {0, 1, 2}) {
        const uint32_t colour = display.Color[k == 0 ? 7 : k - 1];
        colours_[k] = plat::ui::colorFromRef(colour);
    }
    setFixedSize(std::max(0, picture_.Width), std::max(0, picture_.Height));
    update();
}

void TourImage::paintEvent(QPaintEvent* event) {
    if (picture_.Width <= 0 || picture_.Height <= 0) return;
    const QRect area = event->rect();
    QPainter painter(this);
    painter.fillRect(area, colours_[0]);
    paintPicture(painter, picture_.strip(area.top(), area.bottom() + 1), font_, colours_);
}

QImage TourImage::wholeImage() const {
    const int width = picture_.Width, height = picture_.Height;
    if (width <= 0 || height <= 0) return {};
    QImage whole(width, height, QImage::Format_Indexed8);
    if (whole.isNull()) return {};
    whole.setColorTable({colours_[0].rgb(), colours_[1].rgb(), colours_[2].rgb()});
    // Names without smoothing, so every pixel of a strip is one of the
    // three colours.
    QFont font = font_;
    font.setStyleStrategy(QFont::NoAntialias);
    constexpr int StripRows = 256;
    QImage strip(width, StripRows, QImage::Format_RGB32);
    const QRgb names = colours_[1].rgb(), winners = colours_[2].rgb();
    for (int top = 0; top < height; top += StripRows) {
        strip.fill(colours_[0]);
        {
            QPainter painter(&strip);
            painter.translate(0, -top);
            paintPicture(painter, picture_.strip(top, top + StripRows), font, colours_);
        }
        for (int y = 0; y < std::min(StripRows, height - top); ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
            uchar* to = whole.scanLine(top + y);
            for (int x = 0; x < width; ++x) to[x] = from[x] == names ? 1 : from[x] == winners ? 2 : 0;
        }
    }
    return whole;
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
    EditCount->setValidator(new QIntValidator(0, Bracket::MaxEntrants, EditCount));
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
    // A folder of more AKs than a bracket takes offers the largest bracket.
    EditCount->setText(QString::number(std::min(rows, Bracket::MaxEntrants)));
}

void TFormTour::formClosing() {
    ImageTour->setPicture({}, QFont(), setup().tables().Display);
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
    RandomizeSystem();
    cursor_ = 0;
    const std::vector<modes::AkRow>& rows = setup().rows();
    const int assign = ComboBoxAssign->currentIndex();
    std::vector<std::string> files;
    for (const modes::AkRow& r : rows) files.push_back(r.File);
    modes::EntrantList entrants;
    // A row whose output AK files would be another entrant's is passed over
    // and named once the bracket shows.
    std::vector<std::string> passedOver;
    if (assign != AssignByHand) {
        std::vector<size_t> skipped;
        for (size_t i : modes::distinctStemRows(files, static_cast<size_t>(n), {}, &skipped))
            entrants.push_back(modes::makeEntrant(setup().akFolder(), rows[i].File));
        for (size_t i : skipped) passedOver.push_back(files[i]);
    }
    if (assign == AssignRandom) {
        plat::random::seed(static_cast<uint32_t>(plat::clock::epochSeconds()));
        shuffleEntrants(entrants, [] { return plat::random::next(); });
    }
    bracket_.build(n, std::move(entrants), setup().settings().Options[OptNoFullToHalf] != 0);
    DrawBracket();
    Copy1->setEnabled(true);
    ButtonStart->setEnabled(true);
    setEditing(true);
    modes::reportStemsTaken(passedOver, this);
}

void TFormTour::ButtonStartClick() {
    if (!bracket_.built()) return;
    modes::ModeSetup& s = setup();
    RandomizeSystem();
    takeResultText();
    if (!s.testResultFile(this)) return;
    modes::EntrantList& entrants = bracket_.entrants();
    if (!s.checkEntrants(entrants)) return;
    // The entry list names the entrants who are there: a slot emptied by
    // hand leaves an empty path in the list, which the AK data library
    // would report as a file it cannot open.
    modes::EntrantList present;
    for (const modes::Entrant& e : entrants)
        if (!e.Path.empty()) present.push_back(modes::Entrant{e.Path, nullptr});
    if (!prepareRun(present)) return;
    setEditing(false);
    int result =
        runProgress(std::make_unique<TFormTourProgress>(*this, bracket_, s.resultFilePath(), s.akFolder()));
    s.deleteForcedOutput(entrants);
    ButtonStart->setEnabled(false);
    if (result == 1) DrawBracket();
}

void TFormTour::DrawBracket() {
    const DispAttribute& display = setup().tables().Display;
    const QFont font = pictureFont(display);
    const QFontMetrics metrics(font);
    // The widest owner and pilot name in the display font set the columns.
    int widths[2] = {0, 0};
    bracket_.fitColumns(0, 0);
    for (const PictureText& t : bracket_.picture(false).Texts) {
        int& widest = widths[t.X == Bracket::OwnerColumn ? 0 : 1];
        widest = std::max(widest, metrics.horizontalAdvance(fromSjis(t.Text)));
    }
    bracket_.fitColumns(widths[0], widths[1]);
    ImageTour->setPicture(bracket_.picture(bracket_.resultMode()), font, display);
}

void TFormTour::Copy1Click() {
    QImage whole = ImageTour->wholeImage();
    if (whole.isNull()) return;
    QApplication::clipboard()->setImage(whole);
}

void TFormTour::assignRow(int slot, int row) {
    const std::vector<modes::AkRow>& rows = setup().rows();
    if (!editing_ || row < 0 || row >= static_cast<int>(rows.size()) || !bracket_.slot(slot)) return;
    // The slot exists, so a refusal means another entrant has the file's
    // output stem: the file is named, and the slot stays as it was.
    const std::string& file = rows[static_cast<size_t>(row)].File;
    if (!bracket_.assign(slot, modes::makeEntrant(setup().akFolder(), file))) {
        modes::reportStemsTaken({file}, this);
        return;
    }
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
