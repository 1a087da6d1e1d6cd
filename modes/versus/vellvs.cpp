// The one-vs-one set-up window and the start of a match.
#include "modes/versus/vellvs.h"

#include "modes/frame/imports.h"
#include "modes/frame/textfmt.h"
#include "modes/versus/vslog.h"
#include "platform/ui/qtsjis.h"
#include "sjis/frame_text.h"
#include "sjis/versus_text.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace versus::ui {

namespace {

using plat::ui::fromSjis;

MatchCalls*& matchCalls() {
    static MatchCalls* calls = nullptr;
    return calls;
}

void setMemoLines(QTextEdit* memo, const std::vector<std::string>& lines, Qt::Alignment alignment) {
    memo->clear();
    QTextCursor c(memo->document());
    QTextBlockFormat format;
    format.setAlignment(alignment);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == 0)
            c.setBlockFormat(format);
        else
            c.insertBlock(format);
        c.insertText(fromSjis(lines[i]));
    }
}

// The colours of the slot heads: the active slot's in white, the other's
// in silver, on a dark panel.
constexpr uint32_t ActiveHead = 0xFFFFFF;
constexpr uint32_t InactiveHead = 0xC0C0C0;

} // namespace

// ---- AkMemo ---------------------------------------------------------------------

AkMemo::AkMemo(int tag, QWidget* parent) : QTextEdit(parent), tag_(tag) {
    setReadOnly(true);
    setAcceptRichText(false);
    setAcceptDrops(true);
    setLineWrapMode(QTextEdit::NoWrap);
}

void AkMemo::dragEnterEvent(QDragEnterEvent* event) {
    if (accepts && accepts(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void AkMemo::dragMoveEvent(QDragMoveEvent* event) {
    if (accepts && accepts(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void AkMemo::dropEvent(QDropEvent* event) {
    if (!accepts || !accepts(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (dropped) dropped(tag_);
}

// ---- TFormVersus ----------------------------------------------------------------

TFormVersus::TFormVersus(GameSettings& settings, ConfHeader& header, AkSourceList& sources)
    : TFormMode(modes::ModeKind::Versus, settings, header, sources, Features{}),
      states_(std::make_unique<States>()) {
    PanelVs = new QWidget(this);
    PanelVs->setObjectName("PanelVs");
    auto* row = new QHBoxLayout(PanelVs);
    row->setContentsMargins(0, 0, 0, 0);
    auto makeSide = [this, row](const char* headName, QLabel*& head, const char* memoName, AkMemo*& memo,
                                int tag) {
        auto* column = new QVBoxLayout;
        column->setSpacing(0);
        head = new QLabel(PanelVs);
        head->setObjectName(headName);
        head->setAlignment(Qt::AlignCenter);
        head->setAutoFillBackground(true);
        memo = new AkMemo(tag, PanelVs);
        memo->setObjectName(memoName);
        memo->accepts = [this](const QDropEvent* e) { return isAkListDrag(e); };
        memo->dropped = [this](int t) { MemoAkDragDrop(t); };
        memo->installEventFilter(this);
        column->addWidget(head);
        column->addWidget(memo, 1);
        row->addLayout(column, 1);
    };
    makeSide("PanelLHead", PanelLHead, "MemoLeft", MemoLeft, 0);
    PanelMiddle = new QLabel(fromSjis(text::PanelMiddle), PanelVs);
    PanelMiddle->setObjectName("PanelMiddle");
    PanelMiddle->setAlignment(Qt::AlignCenter);
    row->addWidget(PanelMiddle);
    makeSide("PanelRHead", PanelRHead, "MemoRight", MemoRight, 1);

    for (AkMemo* memo : {MemoLeft, MemoRight})
        setMemoLines(memo, {"", "", text::MemoHint1, text::MemoHint2}, Qt::AlignHCenter);

    // The slots above the list, the splitter between.
    SplitterVs = new QSplitter(Qt::Vertical, this);
    SplitterVs->setObjectName("SplitterVs");
    SplitterVs->setChildrenCollapsible(false);
    if (auto* top = qobject_cast<QVBoxLayout*>(layout())) {
        const int at = top->indexOf(ListViewAk);
        top->removeWidget(ListViewAk);
        SplitterVs->addWidget(PanelVs);
        SplitterVs->addWidget(ListViewAk);
        SplitterVs->setStretchFactor(0, 0);
        SplitterVs->setStretchFactor(1, 1);
        top->insertWidget(at < 0 ? 0 : at, SplitterVs, 1);
    }

    LabelType = new QLabel(fromSjis(text::LabelType), this);
    LabelType->setObjectName("LabelType");
    auto* typeRow = new QHBoxLayout;
    typeRow->addStretch(1);
    typeRow->addWidget(LabelType);
    modeArea()->addLayout(typeRow);

    const QString frameLabel = fromSjis(modes::text::LabelResult);
    for (QLabel* label : findChildren<QLabel*>())
        if (label->text() == frameLabel) label->setText(fromSjis(text::LabelResultText));

    ButtonStart->setEnabled(false);
    ButtonStart->setDefault(true);
    ListViewAk->installEventFilter(this);

    connect(ListViewAk, &QTreeWidget::itemDoubleClicked, this, [this] { ListViewAkDblClick(); });
    connect(ComboBoxText, &QComboBox::editTextChanged, this, [this] { ComboBoxTextChange(); });

    paintHeads();
    for (AkMemo* memo : {MemoLeft, MemoRight})
        fitSummaryMemo(memo, [](const TArmoredKnight& ak) { return akSummaryLines(ak, ""); });
    applySizeLimits(true);
}

TFormVersus::~TFormVersus() = default;

void TFormVersus::setMatchCalls(MatchCalls* calls) {
    matchCalls() = calls;
}

void TFormVersus::readModeValues() {
    scrollHeight_ = modes::readModeValue(info(), "ScrollHeight");
}

void TFormVersus::showEvent(QShowEvent* event) {
    TFormMode::showEvent(event);
    if (laidOut_) return;
    // The splitter takes sizes only once it has its own height.
    laidOut_ = true;
    const int panel = std::max(0, scrollHeight_);
    const int room = SplitterVs->height() - SplitterVs->handleWidth();
    SplitterVs->setSizes({panel, std::max(1, room - panel)});
}

void TFormVersus::writeModeValues() {
    const QList<int> sizes = SplitterVs->sizes();
    if (laidOut_ && !sizes.isEmpty() && sizes.front() > 0) scrollHeight_ = sizes.front();
    modes::writeModeValue(info(), "ScrollHeight", scrollHeight_);
}

void TFormVersus::paintHeads() {
    const int active = slots_.active();
    QLabel* heads[2] = {PanelLHead, PanelRHead};
    for (int slot = 0; slot < 2; ++slot) {
        const bool on = slot == active;
        heads[slot]->setText(fromSjis(headText(slot, on)));
        QPalette p = heads[slot]->palette();
        p.setColor(QPalette::Window, QColor(0x30, 0x30, 0x50));
        p.setColor(QPalette::WindowText, plat::ui::colorFromRef(on ? ActiveHead : InactiveHead));
        heads[slot]->setPalette(p);
    }
}

void TFormVersus::switchActive() {
    slots_.switchActive();
    paintHeads();
}

void TFormVersus::MakeAkSummary(int slot, const std::string& path) {
    slot &= 1;
    if (!slots_.load(slot, path)) return;
    AkMemo* memo = slot == 0 ? MemoLeft : MemoRight;
    memo->setEnabled(false);
    setMemoLines(memo, akSummaryLines(slots_.ak(slot), path), Qt::AlignLeft);
    memo->setEnabled(true);
    ComboBoxTextChange();
}

void TFormVersus::ListViewAkDblClick() {
    if (selectedRow() < 0) return;
    MakeAkSummary(slots_.active(), modes::joinFolder(setup().akFolder(), selectedFile()));
    switchActive();
}

void TFormVersus::MemoAkDragDrop(int tag) {
    if (selectedRow() < 0) return;
    MakeAkSummary(tag, modes::joinFolder(setup().akFolder(), selectedFile()));
}

void TFormVersus::ComboBoxTextChange() {
    if (slots_.startAllowed(!ComboBoxText->currentText().isEmpty(),
                            setup().settings().Options[OptLogOutput] != 0))
        ButtonStart->setEnabled(true);
}

bool TFormVersus::previewKey(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        ListViewAkDblClick();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_4:
    case Qt::Key_6:
        switchActive();
        return true;
    default:
        return false;
    }
}

bool TFormVersus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        (watched == ListViewAk || watched == MemoLeft || watched == MemoRight)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && previewKey(key)) return true;
    }
    return TFormMode::eventFilter(watched, event);
}

void TFormVersus::ButtonStartClick() {
    modes::ModeSetup& s = setup();
    if (!s.buffer()) return;
    *states_ = States{};
    RandomizeSystem();
    if (detailOpen()) SpeedButtonDetailClick();
    s.resetDigest();
    takeResultText();
    if (!s.testResultFile(this)) return;
    s.history().promote();
    showHistory();
    if (!prepareMatch(s.settings(), s.header(), s.tables().Words, slots_, states_->Slot[0].State,
                      states_->Slot[1].State))
        return;

    TFormVsLog window(this, slots_.title(), *s.buffer(), s.resultFilePath(), slots_.ak(0), slots_.ak(1),
                      s.header(), s.settings(), s.programFolder(),
                      matchCalls() ? *matchCalls() : gameProcessor());
    struct Restore {
        TFormVersus* form;
        ~Restore() {
            form->match_ = nullptr;
            form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
            form->show();
        }
    } restore{this};
    match_ = &window;
    window.FormCreate();
    window.exec();
}

} // namespace versus::ui
