// The message page of the environment dialog.
#include "config/ui/msgpage.h"

#include "config/processors.h"
#include "config/ui/dialogbase.h"
#include "config/ui/msgform.h"
#include "sjis/cnf_ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cnf::ui {

namespace {

constexpr int BasePathBytes = static_cast<int>(BasePathSize) - 1;

QPushButton* makeButton(QWidget* parent, const char* name, const char* text) {
    auto* b = new QPushButton(qs(text), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

MessagePage::MessagePage(MessageTables& tables, std::string programFolder, std::function<void()> changed,
                         QWidget* parent)
    : QWidget(parent), tables_(tables), folder_(std::move(programFolder)), changed_(std::move(changed)) {
    setObjectName("TabSheetMessage");
    tabs_ = new QTabBar(this);
    tabs_->setObjectName("TabControlMessage");
    tabs_->addTab(qs(utext::TabPilot));
    tabs_->addTab(qs(utext::TabComputer));
    tabs_->addTab(qs(utext::TabAnnouncer));
    list_ = new QTreeWidget(this);
    list_->setObjectName("ListViewMessage");
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* property = makeButton(this, "ButtonProperty", utext::Property);
    auto* add = makeButton(this, "ButtonNew", utext::New);
    auto* remove = makeButton(this, "ButtonDelete", utext::Delete);
    auto* listOut = makeButton(this, "ButtonList", utext::List);
    auto* import = makeButton(this, "ButtonImport", utext::Import);
    auto* base = makeButton(this, "ButtonBaseMessage", utext::BaseMessage);
    basePath_ = new QLineEdit(this);
    basePath_->setObjectName("EditBaseMessage");
    setupFolderEdit(basePath_, tables_.basePath, BasePathBytes, BasePathBytes);
    // Files dropped on the page become entries, the box included.
    basePath_->setAcceptDrops(false);

    connect(tabs_, &QTabBar::currentChanged, this, [this] { fill(); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { ButtonPropertyClick(); });
    connect(property, &QPushButton::clicked, this, [this] { ButtonPropertyClick(); });
    connect(add, &QPushButton::clicked, this, [this] { ButtonNewClick(); });
    connect(remove, &QPushButton::clicked, this, [this] { ButtonDeleteClick(); });
    connect(listOut, &QPushButton::clicked, this, [this] { ButtonListClick(); });
    connect(import, &QPushButton::clicked, this, [this] { ButtonImportClick(); });
    connect(base, &QPushButton::clicked, this, [this] { ButtonBaseMessageClick(); });
    connect(basePath_, &QLineEdit::textEdited, this, [this] { changed_(); });

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {property, add, remove, listOut, import}) buttons->addWidget(b);
    buttons->addStretch();
    auto* baseRow = new QHBoxLayout;
    baseRow->addWidget(base);
    baseRow->addWidget(basePath_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    layout->addLayout(baseRow);
    fill();
}

MsgKind MessagePage::kind() const {
    return static_cast<MsgKind>(std::max(0, tabs_->currentIndex()));
}

void MessagePage::showKind(MsgKind kind) {
    tabs_->setCurrentIndex(static_cast<int>(kind));
}

void MessagePage::fill() {
    MsgKind k = kind();
    list_->clear();
    QStringList headers{qs(utext::MsgName)};
    if (k == MsgKind::Announcer) {
        headers << qs(utext::AnnouncerName) << qs(utext::MsgPlace);
    } else {
        bool pilot = k == MsgKind::Pilot;
        headers << qs(utext::ColumnTrigger1) << qs(utext::ColumnTrigger2) << qs(utext::ColumnTrigger3)
                << qs(utext::ColumnTrigger4) << qs(utext::MsgPlace);
        headers << qs(pilot ? utext::ColumnMySelf1 : utext::ColumnMaster1)
                << qs(pilot ? utext::ColumnMySelf2 : utext::ColumnMaster2)
                << qs(pilot ? utext::ColumnMySelf3 : utext::ColumnMaster3)
                << qs(pilot ? utext::ColumnMySelf4 : utext::ColumnMaster4);
    }
    list_->setColumnCount(static_cast<int>(headers.size()));
    list_->setHeaderLabels(headers);
    for (const MsgEntryTexts& e : tables_.entries(k)) {
        QStringList cells{qs(e.id)};
        if (k == MsgKind::Announcer) {
            cells << qs(e.triggers[0]) << shownFolder(e.path);
        } else {
            for (const std::string& t : e.triggers) cells << qs(t);
            cells << shownFolder(e.path);
            for (const std::string& w : e.words) cells << qs(w);
        }
        list_->addTopLevelItem(new QTreeWidgetItem(cells));
    }
}

int MessagePage::selectedRow() const {
    QTreeWidgetItem* item = list_->currentItem();
    return item ? list_->indexOfTopLevelItem(item) : -1;
}

std::string MessagePage::basePathText() const {
    return folderText(basePath_);
}

void MessagePage::showBasePath() {
    setFolderText(basePath_, tables_.basePath);
}

void MessagePage::ButtonNewClick() {
    MsgKind k = kind();
    if (tables_.full(k)) {
        plat::msg::showError(41002, {}, plat::msg::Style{true, window()});
        return;
    }
    MsgEntryTexts entry;
    TFormMsg form(window(), folder_, k, entry);
    if (form.exec() != QDialog::Accepted || entry.id.empty()) return;
    if (!tables_.add(k, std::move(entry))) return;
    fill();
    list_->setCurrentItem(list_->topLevelItem(list_->topLevelItemCount() - 1));
    changed_();
}

void MessagePage::ButtonPropertyClick() {
    int row = selectedRow();
    if (row < 0) return;
    MsgKind k = kind();
    MsgEntryTexts entry = tables_.entries(k)[static_cast<size_t>(row)];
    TFormMsg form(window(), folder_, k, entry);
    if (form.exec() != QDialog::Accepted) return;
    tables_.replace(k, static_cast<size_t>(row), std::move(entry));
    fill();
    list_->setCurrentItem(list_->topLevelItem(row));
    changed_();
}

void MessagePage::ButtonDeleteClick() {
    int row = selectedRow();
    if (row < 0) return;
    tables_.remove(kind(), static_cast<size_t>(row));
    fill();
    changed_();
}

void MessagePage::ButtonListClick() {
    tables_.fillTables();
    writeMessageTable(folder_, tables_.announcerTable().data(), tables_.count(MsgKind::Announcer),
                      tables_.pilotTable().data(), tables_.count(MsgKind::Pilot),
                      tables_.computerTable().data(), tables_.count(MsgKind::Computer),
                      plat::msg::Style{true, window()});
}

void MessagePage::ButtonImportClick() {
    auto chosen = choosers().openFile(window(), utext::ImportTitle, utext::ImportFilter, utext::ImportName);
    if (!chosen) return;
    tables_.importIni(*chosen);
    // Entries taken before a full table stopped the import stay as well.
    fill();
    changed_();
}

void MessagePage::ButtonBaseMessageClick() {
    auto chosen = choosers().openFile(window(), utext::MsgFileTitle, utext::MsgFilter, basePathText());
    if (!chosen) return;
    std::string path = messagePath(*chosen);
    if (path.size() > static_cast<size_t>(BasePathBytes)) return; // a cut path would name another place
    setFolderText(basePath_, path);
    changed_();
}

void MessagePage::dropPaths(const std::vector<std::string>& paths) {
    if (tables_.dropFiles(kind(), paths) > 0) {
        fill();
        changed_();
    }
}

} // namespace cnf::ui
