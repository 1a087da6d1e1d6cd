#include "main/aboutbox.h"

#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/exedir.h"
#include "platform/files.h"
#include "platform/loader.h"
#include "platform/paths.h"
#include "platform/ui/qtsjis.h"
#include "platform/version.h"
#include "sjis/main.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace vell {

namespace {

// "\n" of a text becomes CR LF on disk.
std::string crlf(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// The row of `name`: its version texts from its sidecar in `folder`, its
// size and time from `file`.
FileVersionRow rowFor(const std::string& folder, const std::string& name, const std::string& file) {
    FileVersionRow row;
    row.fileName = name;
    plat::RcVersion v(folder + name);
    const char* t = nullptr;
    if (v.FileVersion(&t)) row.fileVersion = t;
    if (v.CompanyName(&t)) row.companyName = t;
    if (v.FileDescription(&t)) row.description = t;
    row.size = plat::fileSize(file).value_or(0);
    row.mtime = static_cast<int64_t>(plat::fileMTime(file).value_or(0));
    return row;
}

} // namespace

std::vector<FileVersionRow> listProgramFiles(const std::string& libraryFolder,
                                             const std::string& programFile) {
    std::vector<FileVersionRow> rows;
    rows.push_back(rowFor(libraryFolder, plat::mapLibraryName("Vell.exe"), programFile));
    for (const std::string& lib : plat::listFolder(libraryFolder, "*.so"))
        rows.push_back(rowFor(libraryFolder, lib, libraryFolder + lib));
    return rows;
}

std::string buildSupportText(const std::vector<FileVersionRow>& rows) {
    std::string text = crlf(mt::SupportHead);
    text += std::string(63, '-') + "\r\n";
    for (const FileVersionRow& r : rows) {
        char head[128];
        std::snprintf(head, sizeof head, "   %-12s %6ld   ", r.fileVersion.c_str(),
                      static_cast<long>(r.size));
        std::string name = r.fileName;
        if (name.size() < 12) name.append(12 - name.size(), ' ');
        text += name + head;
        text += crlf(plat::clock::asctimeText(plat::clock::localTimeOf(static_cast<std::time_t>(r.mtime))));
    }
    text += crlf(mt::SupportFoot);
    return text;
}

bool writeSupportFile(const std::string& programFolder, const std::vector<FileVersionRow>& rows) {
    plat::makeDirectory(programFolder + "Temp");
    std::FILE* f =
        plat::OpenExeDirFile(programFolder, "Temp\\Support.txt", "wb", plat::msg::Style{false, nullptr});
    if (!f) return false;
    std::string text = buildSupportText(rows);
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

TAboutBox::TAboutBox(const std::string& programFolder, QWidget* parent)
    : QDialog(parent), programFolder_(programFolder) {
    setWindowTitle(plat::ui::fromSjis(mt::AboutCaption));
    const std::string programFile = QCoreApplication::applicationFilePath().toStdString();
    rows_ = listProgramFiles(plat::libraryFolder(), plat::fromOsName(programFile).value_or(std::string()));

    plat::RcVersion own("Vell.exe");
    const char* version = "";
    const char* copyright = "";
    own.FileVersion(&version);
    own.LegalCopyright(&copyright);

    auto* product = new QLabel(plat::ui::fromSjis(mt::AppTitle), this);
    product->setObjectName("ProductName");
    QFont f = product->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.5);
    product->setFont(f);
    auto* versionLabel = new QLabel(QStringLiteral("Version %1").arg(plat::ui::fromSjis(version)), this);
    versionLabel->setObjectName("Version");
    auto* copyrightLabel = new QLabel(plat::ui::fromSjis(copyright), this);
    copyrightLabel->setObjectName("Copyright");

    files_ = new QTreeWidget(this);
    files_->setObjectName("ListViewFiles");
    files_->setRootIsDecorated(false);
    files_->setHeaderLabels({plat::ui::fromSjis(mt::ColumnFile), plat::ui::fromSjis(mt::ColumnVersion),
                             plat::ui::fromSjis(mt::ColumnCompany),
                             plat::ui::fromSjis(mt::ColumnDescription)});
    for (const FileVersionRow& r : rows_) {
        auto* item = new QTreeWidgetItem(files_);
        item->setText(0, plat::ui::fromSjis(r.fileName));
        item->setText(1, plat::ui::fromSjis(r.fileVersion));
        item->setText(2, plat::ui::fromSjis(r.companyName));
        item->setText(3, plat::ui::fromSjis(r.description));
    }
    files_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* support = new QPushButton(plat::ui::fromSjis(mt::AboutSupport), this);
    support->setObjectName("ButtonSupport");
    auto* credit = new QPushButton(plat::ui::fromSjis(mt::AboutCredit), this);
    credit->setObjectName("ButtonCredit");
    auto* ok = new QPushButton(plat::ui::fromSjis(mt::AboutOk), this);
    ok->setDefault(true);
    connect(support, &QPushButton::clicked, this, [this] { ButtonSupportClick(); });
    connect(credit, &QPushButton::clicked, this, [this] { ButtonCreditClick(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(support);
    buttons->addWidget(credit);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(product);
    layout->addWidget(versionLabel);
    layout->addWidget(copyrightLabel);
    layout->addWidget(files_, 1);
    layout->addLayout(buttons);
    resize(560, 360);
}

void TAboutBox::ButtonSupportClick() {
    writeSupportFile(programFolder_, rows_);
    plat::desktop::openDocument(programFolder_ + "Doc\\Support.htm");
}

void TAboutBox::ButtonCreditClick() {
    plat::desktop::openDocument(programFolder_ + "Doc\\Credit.htm");
}

} // namespace vell
