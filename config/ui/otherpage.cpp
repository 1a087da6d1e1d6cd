// The word lists and emblems page of the environment dialog.
#include "config/ui/otherpage.h"

#include "base/sjis.h"
#include "config/msgedit.h"
#include "config/ui/dialogbase.h"
#include "platform/ui/qtsjis.h"
#include "sjis/cnf_ui.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace cnf::ui {

namespace {

constexpr int Rows = 2;
constexpr int Columns = 5;
constexpr int WordFieldBytes = static_cast<int>(WordBytes);
// The stored bytes of a cell, kept beside its text.
constexpr int BytesRole = Qt::UserRole;

// Cell editors limited to a word's field.
class WordDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(editor))
            edit->setValidator(new plat::ui::SjisByteValidator(WordFieldBytes, edit));
        return editor;
    }
};

} // namespace

OtherPage::OtherPage(MsgWords& words, std::function<void()> changed, QWidget* parent)
    : QWidget(parent), words_(words), changed_(std::move(changed)) {
    setObjectName("TabSheetOther");
    tabs_ = new QTabBar(this);
    tabs_->setObjectName("TabControlWords");
    tabs_->addTab(qs(utext::WordsFemale));
    tabs_->addTab(qs(utext::WordsMaster));
    tabs_->addTab(qs(utext::WordsMySelf));
    grid_ = new QTableWidget(Rows, Columns, this);
    grid_->setObjectName("StringGridWords");
    grid_->horizontalHeader()->hide();
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid_->verticalHeader()->hide();
    grid_->setItemDelegate(new WordDelegate(grid_));
    emblem1_ = new QLineEdit(this);
    emblem1_->setObjectName("EditEmblem1");
    setupEdit(emblem1_, sjis::readField(words_.Emblem1), EmblemBytes, WordFieldBytes);
    emblem2_ = new QLineEdit(this);
    emblem2_->setObjectName("EditEmblem2");
    setupEdit(emblem2_, sjis::readField(words_.Emblem2), EmblemBytes, WordFieldBytes);
    fill();

    connect(tabs_, &QTabBar::currentChanged, this, [this](int tab) {
        storeGrid(shown_);
        shown_ = tab;
        fill();
    });
    connect(grid_, &QTableWidget::itemChanged, this, [this] {
        if (!filling_) changed_();
    });
    connect(emblem1_, &QLineEdit::textEdited, this, [this] { changed_(); });
    connect(emblem2_, &QLineEdit::textEdited, this, [this] { changed_(); });

    auto* emblems = new QHBoxLayout;
    emblems->addWidget(emblem1_);
    emblems->addWidget(emblem2_);
    emblems->addStretch();
    auto* form = new QFormLayout;
    form->addRow(qs(utext::EmblemLabel), emblems);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(grid_, 1);
    layout->addLayout(form);
}

char (*OtherPage::list(int tab) const)[32] {
    switch (tab) {
    case 1:
        return words_.Master;
    case 2:
        return words_.MySelf;
    default:
        return words_.Female;
    }
}

void OtherPage::fill() {
    filling_ = true;
    char(*words)[32] = list(shown_);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns; ++c) {
            std::string_view w = sjis::readField(words[r * Columns + c]);
            auto* item = new QTableWidgetItem(qs(w));
            item->setData(BytesRole, QByteArray(w.data(), static_cast<qsizetype>(w.size())));
            grid_->setItem(r, c, item);
        }
    filling_ = false;
}

void OtherPage::storeGrid(int tab) {
    char(*words)[32] = list(tab);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns; ++c) {
            QTableWidgetItem* item = grid_->item(r, c);
            if (!item) continue;
            std::string stored = item->data(BytesRole).toByteArray().toStdString();
            sjis::writeField(words[r * Columns + c], editedText(item->text(), stored));
        }
}

void OtherPage::store() {
    storeGrid(shown_);
    sjis::writeField(words_.Emblem1, editedText(emblem1_->text(), sjis::readField(words_.Emblem1)));
    sjis::writeField(words_.Emblem2, editedText(emblem2_->text(), sjis::readField(words_.Emblem2)));
}

} // namespace cnf::ui
