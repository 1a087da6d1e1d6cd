// The mode form base: the set-up window's shared controls and handlers.
#include "modes/frame/ui/modeform.h"

#include "base/sjis.h"
#include "config/ui/folderpicker.h"
#include "modes/frame/imports.h"
#include "modes/frame/textfmt.h"
#include "modes/frame/ui/progressform.h"
#include "platform/desktop.h"
#include "platform/paths.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "sjis/frame_text.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace modes::ui {

namespace {

using plat::ui::fromSjis;

constexpr int ResultNameBytes = 255;

TFormMode::FolderChooser& folderChooser() {
    static TFormMode::FolderChooser chooser;
    return chooser;
}

// Shows the busy cursor for the life of the object.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QByteArray bytesOf(std::string_view s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

std::string stringOf(const QByteArray& b) {
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

} // namespace

TFormMode::TFormMode(ModeKind kind, GameSettings& settings, ConfHeader& header, AkSourceList& sources,
                     Features features)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      setup_(std::make_unique<ModeSetup>(modeInfo(kind), settings, header, sources)) {
    setObjectName(info().FormClass);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* top = new QVBoxLayout(this);

    auto* folderRow = new QHBoxLayout;
    LabelFolder_ = new QLabel(fromSjis(text::LabelFolder), this);
    ComboBoxDir = new QComboBox(this);
    ComboBoxDir->setObjectName("ComboBoxDir");
    ComboBoxDir->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboBoxDir->setMinimumContentsLength(16);
    SpeedButtonFolder = new QToolButton(this);
    SpeedButtonFolder->setObjectName("SpeedButtonFolder");
    SpeedButtonFolder->setText(fromSjis(text::ButtonFolder));
    folderRow->addWidget(LabelFolder_);
    folderRow->addWidget(ComboBoxDir, 1);
    folderRow->addWidget(SpeedButtonFolder);
    top->addLayout(folderRow);

    auto* maskRow = new QHBoxLayout;
    ComboBoxMask = new QComboBox(this);
    ComboBoxMask->setObjectName("ComboBoxMask");
    for (const char* mask : FileMasks) ComboBoxMask->addItem(QString::fromLatin1(mask));
    SpeedButtonDetail = new QToolButton(this);
    SpeedButtonDetail->setObjectName("SpeedButtonDetail");
    SpeedButtonDetail->setText(fromSjis(text::ButtonDetail));
    SpeedButtonDetail->setCheckable(true);
    maskRow->addWidget(new QLabel(fromSjis(text::LabelMask), this));
    maskRow->addWidget(ComboBoxMask);
    maskRow->addStretch(1);
    maskRow->addWidget(SpeedButtonDetail);
    top->addLayout(maskRow);

    ListViewAk = new QTreeWidget(this);
    ListViewAk->setObjectName("ListViewAk");
    ListViewAk->setRootIsDecorated(false);
    ListViewAk->setUniformRowHeights(true);
    ListViewAk->setSelectionMode(QAbstractItemView::SingleSelection);
    ListViewAk->setDragEnabled(true);
    ListViewAk->setDragDropMode(QAbstractItemView::DragOnly);
    ListViewAk->setSortingEnabled(false);
    ListViewAk->setHeaderLabels({fromSjis(text::ColumnFile), fromSjis(text::ColumnPilot),
                                 fromSjis(text::ColumnValue), fromSjis(text::ColumnOwner),
                                 fromSjis(text::ColumnOwnerId)});
    const int widths[AkColumnCount] = {100, 120, 65, 100, 85};
    for (int c = 0; c < AkColumnCount; ++c) ListViewAk->setColumnWidth(c, widths[c]);
    ListViewAk->headerItem()->setTextAlignment(ColValue, Qt::AlignRight | Qt::AlignVCenter);
    ListViewAk->header()->setSectionsClickable(true);
    ListViewAk->header()->setSortIndicatorShown(false);
    top->addWidget(ListViewAk, 1);

    modeArea_ = new QVBoxLayout;
    top->addLayout(modeArea_);

    auto* resultRow = new QHBoxLayout;
    ComboBoxText = new QComboBox(this);
    ComboBoxText->setObjectName("ComboBoxText");
    ComboBoxText->setEditable(true);
    ComboBoxText->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxText->lineEdit()->setValidator(new plat::ui::SjisByteValidator(ResultNameBytes, ComboBoxText));
    resultRow->addWidget(new QLabel(fromSjis(text::LabelResult), this));
    resultRow->addWidget(ComboBoxText, 1);
    top->addLayout(resultRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    if (features.DecideButton) {
        ButtonDecide = new QPushButton(fromSjis(text::ButtonDecide), this);
        ButtonDecide->setObjectName("ButtonDecide");
        ButtonDecide->setAutoDefault(false);
        buttons->addWidget(ButtonDecide);
        connect(ButtonDecide, &QPushButton::clicked, this, [this] { ButtonDecideClick(); });
    }
    ButtonStart = new QPushButton(fromSjis(text::ButtonStart), this);
    ButtonStart->setObjectName("ButtonStart");
    ButtonStart->setAutoDefault(false);
    ButtonStart->setEnabled(!features.DecideButton);
    ButtonCancel = new QPushButton(fromSjis(text::ButtonCancel), this);
    ButtonCancel->setObjectName("ButtonCancel");
    ButtonCancel->setAutoDefault(false);
    buttons->addWidget(ButtonStart);
    buttons->addWidget(ButtonCancel);
    top->addLayout(buttons);

    connect(ComboBoxMask, &QComboBox::currentIndexChanged, this, [this] { ComboBoxMaskChange(); });
    connect(ComboBoxDir, &QComboBox::activated, this, [this](int index) { ComboBoxDirChange(index); });
    connect(SpeedButtonFolder, &QToolButton::clicked, this, [this] { SpeedButtonFolderClick(); });
    connect(SpeedButtonDetail, &QToolButton::clicked, this, [this] { SpeedButtonDetailClick(); });
    connect(ListViewAk->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListViewAkColumnClick(column); });
    connect(ListViewAk, &QTreeWidget::currentItemChanged, this, [this] { ListViewAkChange(); });
    connect(ButtonStart, &QPushButton::clicked, this, [this] {
        if (!runActive_) ButtonStartClick();
    });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { done(2); });

    applySizeLimits(false);
}

TFormMode::~TFormMode() {
    // A window destroyed without closing still gives everything back.
    FormClose();
}

void TFormMode::applySizeLimits(bool fixedWidth) {
    int screenHeight = QWIDGETSIZE_MAX;
    if (QScreen* screen = QGuiApplication::primaryScreen()) screenHeight = screen->size().height();
    fixedWidth_ = fixedWidth;
    // The layout counts its controls only once they are shown: showEvent
    // applies the limits again then.
    const int least = std::max(488, layout() ? layout()->totalMinimumSize().width() : 0);
    setMinimumSize(least, 446);
    setMaximumHeight(std::max(446, screenHeight));
    setMaximumWidth(fixedWidth ? least : QWIDGETSIZE_MAX);
    if (width() < least || fixedWidth) resize(least, std::max(height(), 446));
}

void TFormMode::showEvent(QShowEvent* event) {
    if (!limitsShown_) {
        limitsShown_ = true;
        applySizeLimits(fixedWidth_);
    }
    QDialog::showEvent(event);
}

void TFormMode::fitSummaryMemo(
    QTextEdit* memo, const std::function<std::vector<std::string>(const TArmoredKnight&)>& summary) {
    auto ak = std::make_unique<TArmoredKnight>();
    *ak = TArmoredKnight{};
    ak->Pilot.Battles = 999;
    ak->Pilot.Wins = 499;
    ak->Pilot.Draws = 99;
    ak->Reaction = 99;
    ak->MachineValue = 9999999;
    ak->Cash = 99999999;
    ak->Movement = 99;
    QStringList lines;
    for (const std::string& line : summary(*ak)) lines << plat::ui::fromSjis(line);
    memo->setMinimumWidth(plat::ui::textBoxWidth(memo, lines));
}

void TFormMode::FormCreate() {
    if (created_) return;
    created_ = true;
    plat::ui::LoadWindowPosition(info().FormWindow, this);
    plat::ui::LoadWindowSize(info().FormWindow, this);

    setup_->history().load(info());
    readModeValues();
    showHistory();
    ComboBoxText->setToolTip(fromSjis(plat::shownPath(sjis::readField(setup_->header().ResultFolder))));

    setup_->fillSlotZero();
    ComboBoxDir->clear();
    for (const std::string& choice : setup_->folderChoices()) ComboBoxDir->addItem(fromSjis(choice));
    ComboBoxDir->setCurrentIndex(0);
    showFolderHints();
    FillAkList();

    if (!setup_->startSystem())
        QMetaObject::invokeMethod(
            this, [this] { done(2); }, Qt::QueuedConnection);
}

void TFormMode::showFolderHints() {
    QString folder = fromSjis(plat::shownPath(setup_->akFolder()));
    LabelFolder_->setToolTip(folder);
    ComboBoxDir->setToolTip(folder);
}

void TFormMode::FillAkList() {
    BusyCursor busy;
    setup_->fillAkList(ComboBoxMask->currentText().toStdString());
    fillListWidget();
    setWindowTitle(fromSjis(format(text::CaptionFormat, plat::shownPath(setup_->akFolder()).c_str())));
    akListFilled(static_cast<int>(setup_->rows().size()));
}

void TFormMode::fillListWidget() {
    QSignalBlocker block(ListViewAk);
    ListViewAk->clear();
    const std::vector<AkRow>& rows = setup_->rows();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        auto* item = new QTreeWidgetItem;
        for (int c = 0; c < AkColumnCount; ++c) item->setText(c, fromSjis(rows[i].column(c)));
        item->setTextAlignment(ColValue, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        items.push_back(item);
    }
    ListViewAk->addTopLevelItems(items);
    selectedRow_ = -1;
    selectedFile_.clear();
}

void TFormMode::ComboBoxMaskChange() {
    FillAkList();
}

void TFormMode::ComboBoxDirChange(int index) {
    if (!setup_->chooseFolderSlot(index)) return;
    FillAkList();
    showFolderHints();
}

void TFormMode::SpeedButtonFolderClick() {
    std::optional<std::string> chosen;
    if (folderChooser())
        chosen = folderChooser()(this, text::FolderPickerTitle, setup_->akFolder());
    else
        chosen = cnf::ui::pickFolder(this, text::FolderPickerTitle, setup_->akFolder());
    if (!chosen) return;
    setup_->setAkFolder(*chosen);
    FillAkList();
    showFolderHints();
}

void TFormMode::SpeedButtonDetailClick() {
    if (!detail_) {
        cmnEnableDetail(&detail_, setup_->programFolder().c_str(), this);
        if (detail_ && selectedRow_ >= 0) {
            std::string path = setup_->rowPath(static_cast<size_t>(selectedRow_));
            cmnDetailSetAk(&detail_, path.c_str());
        }
    } else {
        cmnDisableDetail(&detail_);
    }
    SpeedButtonDetail->setChecked(detail_ != nullptr);
}

void TFormMode::ListViewAkColumnClick(int column) {
    if (column < 0 || column >= AkColumnCount) return;
    setup_->sortAkList(column);
    fillListWidget();
}

void TFormMode::ListViewAkChange() {
    QTreeWidgetItem* item = ListViewAk->currentItem();
    int row = item ? item->data(0, Qt::UserRole).toInt() : -1;
    if (row < 0 || row >= static_cast<int>(setup_->rows().size())) {
        selectedRow_ = -1;
        selectedFile_.clear();
        return;
    }
    selectedRow_ = row;
    selectedFile_ = setup_->rows()[static_cast<size_t>(row)].File;
    if (detail_) {
        std::string path = setup_->rowPath(static_cast<size_t>(row));
        cmnDetailSetAk(&detail_, path.c_str());
    }
}

bool TFormMode::isAkListDrag(const QDropEvent* event) const {
    return event && event->source() == ListViewAk;
}

void TFormMode::takeResultText() {
    QString shown = ComboBoxText->currentText();
    for (int i = 0; i < ComboBoxText->count(); ++i) {
        if (ComboBoxText->itemText(i) == shown) {
            setup_->history().setText(stringOf(ComboBoxText->itemData(i).toByteArray()));
            return;
        }
    }
    if (shown == fromSjis(setup_->history().text())) return;
    // The validator lets no character without a Shift-JIS form in.
    setup_->history().setText(plat::ui::toSjis(shown).value_or(std::string()));
}

void TFormMode::showHistory() {
    QSignalBlocker block(ComboBoxText);
    ComboBoxText->clear();
    for (const std::string& item : setup_->history().items())
        ComboBoxText->addItem(fromSjis(item), bytesOf(item));
    ComboBoxText->setEditText(fromSjis(setup_->history().text()));
}

bool TFormMode::prepareRun(const EntrantList& entrants) {
    setup_->history().promote();
    showHistory();
    setup_->resetDigest();
    return setup_->writeEntryList(entrants);
}

int TFormMode::runProgress(std::unique_ptr<TFormProgress> progress) {
    struct Restore {
        TFormMode* form;
        ~Restore() {
            form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
            form->show();
        }
    } restore{this};
    struct Active {
        bool& flag;
        explicit Active(bool& f) : flag(f) { flag = true; }
        ~Active() { flag = false; }
    } active(runActive_);
    progress->FormCreate();
    int result = progress->exec();
    progress->waitForRunEnd();
    progress.reset();
    // A close asked for while the run was ending is carried out now that it
    // is over, once the caller has finished with the run's outcome.
    if (pendingDone_) {
        const int closeResult = *pendingDone_;
        pendingDone_.reset();
        QMetaObject::invokeMethod(
            this, [this, closeResult] { done(closeResult); }, Qt::QueuedConnection);
    }
    return result;
}

void TFormMode::setFolderChooser(FolderChooser chooser) {
    folderChooser() = std::move(chooser);
}

bool TFormMode::event(QEvent* e) {
    if (e->type() == static_cast<QEvent::Type>(WM_CLOSEAKDETAIL)) {
        if (detail_) SpeedButtonDetailClick();
        return true;
    }
    return QDialog::event(e);
}

void TFormMode::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        plat::desktop::showHelp(HelpFile, HelpCommandContext, info().HelpContext);
        return;
    }
    QDialog::keyPressEvent(e);
}

void TFormMode::done(int result) {
    // While a run goes on (its thread still ending) the window stays; the
    // close follows when the run is over.
    if (runActive_) {
        pendingDone_ = result;
        return;
    }
    FormClose();
    QDialog::done(result);
}

void TFormMode::FormClose() {
    if (closed_) return;
    closed_ = true;
    if (detail_) cmnDisableDetail(&detail_);
    setup_->endSystem();
    if (created_) {
        plat::ui::SaveWindowPosition(info().FormWindow, this);
        plat::ui::SaveWindowSize(info().FormWindow, this);
        takeResultText();
        setup_->history().save(info());
        writeModeValues();
    }
    formClosing();
}

} // namespace modes::ui
