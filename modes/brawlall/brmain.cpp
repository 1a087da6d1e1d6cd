// The battle royal's set-up window, its map placement and its start.
#include "modes/brawlall/brmain.h"

#include "base/sjis.h"
#include "modes/brawlall/brmapview.h"
#include "modes/brawlall/brprog.h"
#include "modes/brawlall/royal.h"
#include "modes/frame/imports.h"
#include "modes/frame/textfmt.h"
#include "platform/catalogue.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "platform/ui/qtsjis.h"
#include "sjis/brawlall_text.h"

#include <QAction>
#include <QDrag>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

namespace brawl::ui {

using plat::ui::fromSjis;

namespace {

// The drag of a placed entrant from the picture.
constexpr const char* PlacedMime = "application/x-corvane-brawlall-entrant";

QLineEdit* numberEdit(QWidget* parent, const char* name, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setValidator(new QIntValidator(0, 99999, edit));
    edit->setMaxLength(maxLength);
    edit->setMaximumWidth(60);
    return edit;
}

} // namespace

TFormRoyal::TFormRoyal(GameSettings& settings, ConfHeader& header, AkSourceList& sources)
    : TFormMode(modes::ModeKind::BrawlAll, settings, header, sources, Features{true}) {
    auto* row = new QHBoxLayout;
    EditCount = numberEdit(this, "EditCount", 5);
    EditMapX = numberEdit(this, "EditMapX", 3);
    EditMapY = numberEdit(this, "EditMapY", 3);
    LabelType = new QLabel(fromSjis(text::LabelType), this);
    LabelType->setObjectName("LabelType");
    row->addWidget(new QLabel(fromSjis(text::LabelCount), this));
    row->addWidget(EditCount);
    row->addSpacing(12);
    row->addWidget(new QLabel(fromSjis(text::LabelMap), this));
    row->addWidget(EditMapX);
    row->addWidget(new QLabel(fromSjis(text::LabelMapBy), this));
    row->addWidget(EditMapY);
    row->addStretch(1);
    row->addWidget(LabelType);
    modeArea()->addLayout(row);

    ScrollBoxBr = new QScrollArea(this);
    ScrollBoxBr->setObjectName("ScrollBoxBr");
    ScrollBoxBr->setWidgetResizable(false);
    ImageBr = new MapView;
    ScrollBoxBr->setWidget(ImageBr);
    ScrollBoxBr->setFixedHeight(scrollHeight_);
    modeArea()->addWidget(ScrollBoxBr);

    PopupMenuBr = new QMenu(this);
    PopupMenuBr->setObjectName("PopupMenuBr");
    CopyMap1 = PopupMenuBr->addAction(fromSjis(text::MenuCopy));
    CopyMap1->setObjectName("CopyMap1");
    JoinDoller1 = PopupMenuBr->addAction(fromSjis(text::MenuJoin));
    JoinDoller1->setObjectName("JoinDoller1");
    Absent1 = PopupMenuBr->addAction(fromSjis(text::MenuAbsent));
    Absent1->setObjectName("Absent1");
    ImageBr->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ImageBr, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenuBr->popup(ImageBr->mapToGlobal(at)); });

    ImageBr->hintAt = [this](QPoint pixel) { return ImageBrHint(pixel); };
    ImageBr->mousePressed = [this](Qt::MouseButton button, QPoint pixel) { ImageBrMouseDown(button, pixel); };
    ImageBr->dragOver = [this](QDropEvent* event) {
        return ImageBrDragOver(sourceOf(event), event->position().toPoint());
    };
    ImageBr->dropped = [this](QDropEvent* event) {
        ImageBrDragDrop(sourceOf(event), event->position().toPoint());
    };

    showPicture(false);
    enableMapCommands(false);

    settings.Options[OptImmobileDraw] = 1;
    settings.Options[Opt17] = 1;
    setup().forceAkOutput();
    applySizeLimits(false);
}

TFormRoyal::~TFormRoyal() = default;

int TFormRoyal::numberOf(const QLineEdit* edit) {
    bool ok = false;
    int value = edit->text().trimmed().toInt(&ok);
    return ok ? value : 0;
}

void TFormRoyal::readModeValues() {
    scrollHeight_ = scrollBoxHeight(modes::readModeValue(info(), "ScrollHeight"));
    ScrollBoxBr->setFixedHeight(scrollHeight_);
    EditMapX->setText(QString::number(modes::readModeValue(info(), "MapSizeX")));
    EditMapY->setText(QString::number(modes::readModeValue(info(), "MapSizeY")));
}

void TFormRoyal::writeModeValues() {
    modes::writeModeValue(info(), "ScrollHeight", scrollHeight_);
    modes::writeModeValue(info(), "MapSizeX", clampMapSize(numberOf(EditMapX)));
    modes::writeModeValue(info(), "MapSizeY", clampMapSize(numberOf(EditMapY)));
}

void TFormRoyal::akListFilled(int rows) {
    EditCount->setText(QString::number(rows));
}

void TFormRoyal::formClosing() {
    ImageBr->clear();
    entrants_.clear();
}

void TFormRoyal::showPicture(bool shown) {
    ScrollBoxBr->setVisible(shown);
    LabelType->setVisible(!shown);
    if (!shown) ImageBr->clear();
}

void TFormRoyal::enableMapCommands(bool enabled) {
    CopyMap1->setEnabled(enabled);
    JoinDoller1->setEnabled(enabled);
    Absent1->setEnabled(enabled);
}

void TFormRoyal::ButtonDecideClick() {
    int n = numberOf(EditCount);
    if (n <= 1) {
        plat::msg::showError(41050, {}, plat::msg::Style{true, this});
        return;
    }
    showPicture(true);
    RandomizeSystem();
    const int cols = clampMapSize(numberOf(EditMapX));
    const int rows = clampMapSize(numberOf(EditMapY));
    modes::ModeSetup& s = setup();
    n = entrantCount(n, cols, rows, s.rows().size());
    entrants_.clear();
    std::vector<std::string> passedOver;
    entrants_ = chooseEntrants(s.akFolder(), s.rows(), n, &passedOver);
    plat::random::seed(static_cast<uint32_t>(plat::clock::epochSeconds()));
    auto random = [] { return plat::random::next(); };
    shuffleEntrants(entrants_, random);
    map_.Place(cols, rows, entrants_, random);

    ImageBr->Draw(map_, entrants_, s.tables().Display);
    ScrollBoxBr->horizontalScrollBar()->setSingleStep(std::max(1, map_.pictureWidth() / 100));
    ScrollBoxBr->verticalScrollBar()->setSingleStep(std::max(1, map_.pictureHeight() / 100));
    placementEditing_ = true;
    draggingPlaced_ = false;
    ButtonStart->setEnabled(true);
    enableMapCommands(true);
    modes::reportStemsTaken(passedOver, this);
}

void TFormRoyal::ButtonStartClick() {
    modes::ModeSetup& s = setup();
    RandomizeSystem();
    takeResultText();
    if (!s.testResultFile(this)) return;

    // The rows as placed, for a start that ends before the run: a second
    // start must not hand the team lists on twice.
    std::vector<RoyalEntryRecord> placed;
    for (const modes::Entrant& e : entrants_) placed.push_back(e.Record ? *e.Record : RoyalEntryRecord{});
    prepareStart(entrants_);
    placementEditing_ = false;
    if (!s.checkEntrants(entrants_) || !prepareRun(entrants_)) {
        for (size_t i = 0; i < entrants_.size(); ++i)
            if (entrants_[i].Record) *entrants_[i].Record = placed[i];
        placementEditing_ = true;
        return;
    }
    runProgress(
        std::make_unique<TFormRoyalProgress>(*this, entrants_, map_, s.resultFilePath(), s.akFolder()));

    showPicture(false);
    enableMapCommands(false);
    ButtonStart->setEnabled(false);
    s.deleteForcedOutput(entrants_);
}

QString TFormRoyal::ImageBrHint(QPoint pixel) const {
    if (!ImageBr->hasPicture()) return {};
    int no = map_.EntrantAt(pixel.x(), pixel.y());
    if (no < 0 || no >= static_cast<int>(entrants_.size())) return {};
    const RoyalEntryRecord* row = entrants_[static_cast<size_t>(no)].royal();
    if (!row) return {};
    std::string hint(sjis::readField(row->Entry.PilotName));
    hint += text::HintSeparator;
    hint += sjis::readField(row->Entry.OwnerName);
    return fromSjis(hint);
}

void TFormRoyal::ImageBrMouseDown(Qt::MouseButton button, QPoint pixel) {
    draggingPlaced_ = false;
    if (!ImageBr->hasPicture() || !map_.insideGrid(pixel.x(), pixel.y())) return;
    if (map_.EntrantAt(pixel.x(), pixel.y()) < 0) return;
    draggingPlaced_ = true;
    pressPoint_ = pixel;
    if (button != Qt::LeftButton || !placementEditing_) return;
    auto* drag = new QDrag(ImageBr);
    auto* mime = new QMimeData;
    mime->setData(PlacedMime, QByteArray::number(map_.EntrantAt(pixel.x(), pixel.y())));
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

TFormRoyal::DragSource TFormRoyal::sourceOf(const QDropEvent* event) const {
    if (isAkListDrag(event)) return DragSource::AkList;
    if (event && event->source() == ImageBr) return DragSource::Picture;
    return DragSource::Other;
}

bool TFormRoyal::ImageBrDragOver(DragSource source, QPoint pixel) const {
    if (!placementEditing_ || !ImageBr->hasPicture() || !map_.hasCells()) return false;
    if (source == DragSource::AkList) {
        if (selectedRow() < 0) return false;
    } else if (source == DragSource::Picture) {
        if (!draggingPlaced_) return false;
    } else {
        return false;
    }
    int x = 0, y = 0;
    if (!map_.insideGrid(pixel.x(), pixel.y()) || !map_.cellOfPixel(pixel.x(), pixel.y(), x, y)) return false;
    return map_.cell(x, y) == 0;
}

void TFormRoyal::ImageBrDragDrop(DragSource source, QPoint pixel) {
    if (!ImageBrDragOver(source, pixel)) return;
    modes::ModeSetup& s = setup();
    int no = -1;
    if (source == DragSource::Picture) {
        no = map_.EntrantAt(pressPoint_.x(), pressPoint_.y());
        draggingPlaced_ = false;
    } else {
        const std::string path = modes::joinFolder(s.akFolder(), selectedFile());
        for (size_t i = 0; i < entrants_.size(); ++i)
            if (entrants_[i].Path == path) no = static_cast<int>(i);
        if (no < 0) {
            // An AK whose output stem another entrant has would share its
            // output AK files: refused, as "決定" passes it over, and said.
            if (modes::stemTaken(entrants_, path)) {
                modes::reportStemsTaken({selectedFile()}, this);
                return;
            }
            entrants_.push_back(modes::makeRoyalEntrant(s.akFolder(), selectedFile()));
            no = static_cast<int>(entrants_.size()) - 1;
            map_.setEntrantCount(map_.entrantCount() + 1);
            EditCount->setText(QString::number(numberOf(EditCount) + 1));
        }
    }
    if (no < 0 || no >= static_cast<int>(entrants_.size())) return;
    RoyalEntryRecord& row = *entrants_[static_cast<size_t>(no)].royal();
    int32_t oldX = row.X, oldY = row.Y;
    if (map_.cell(oldX, oldY) == no + 1) {
        map_.setCellValue(oldX, oldY, 0);
        ImageBr->DrawCell(CellPaint{oldX, oldY, true, {}, 0});
    }
    int x = 0, y = 0;
    map_.cellOfPixel(pixel.x(), pixel.y(), x, y);
    map_.setCellValue(x, y, no + 1);
    row.X = x;
    row.Y = y;
    // One cell is drawn as the run draws it: in the colour of the entrant's
    // state (a whole drawing uses the text colour).
    ImageBr->DrawCell(CellPaint{x, y, false, markLabel(row, no), MarkColour(row)});
    ImageBr->update();
}

} // namespace brawl::ui
