// The desktop page of the environment dialog.
#include "config/ui/desktoppage.h"

#include "base/sjis.h"
#include "config/confpath.h"
#include "config/ui/dialogbase.h"
#include "platform/paths.h"
#include "platform/ui/qtsjis.h"
#include "sjis/cnf_ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace cnf::ui {

namespace {

constexpr int TextBytes = static_cast<int>(sizeof(DispAttribute::FontName)) - 1;
constexpr int SmallestSize = 9;
constexpr int LargestSize = 20;
constexpr int BackgroundItem = 7;
constexpr const char* ColorTexts[8] = {utext::Color0, utext::Color1, utext::Color2, utext::Color3,
                                       utext::Color4, utext::Color5, utext::Color6, utext::Color7};

QIcon swatch(uint32_t colorref) {
    QPixmap pixmap(16, 16);
    pixmap.fill(plat::ui::colorFromRef(colorref));
    QPainter painter(&pixmap);
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

} // namespace

std::string themeName(std::string_view programFolder, std::string_view chosen) {
    std::string folder = folderOf(programFolder);
    std::string themes = folder + "Themes/";
    plat::PathParts parts = plat::splitPath(chosen);
    std::string dir = parts.drive + parts.dir;
    if (plat::hasPathPrefix(dir, themes) && dir.size() == themes.size()) return parts.name + parts.extension;
    return makeRelative(folder, chosen);
}

DesktopPage::DesktopPage(const DispAttribute& attr, std::string programFolder, std::function<void()> changed,
                         QWidget* parent)
    : QWidget(parent), folder_(std::move(programFolder)), changed_(std::move(changed)) {
    setObjectName("TabSheetDesktop");
    storedTheme_ = sjis::readField(attr.ThemeFile);
    storedFont_ = sjis::readField(attr.FontName);
    for (size_t i = 0; i < color_.size(); ++i) color_[i] = attr.Color[i];

    theme_ = new QLineEdit(this);
    theme_->setObjectName("EditTheme");
    setupEdit(theme_, storedTheme_, TextBytes, TextBytes);
    auto* browse = new QPushButton(qs(utext::Browse), this);
    browse->setObjectName("ButtonTheme");
    browse->setAutoDefault(false);

    // The installed fonts; the stored one stays choosable even when this
    // machine does not have it, so that applying keeps it.
    font_ = new QComboBox(this);
    font_->setObjectName("ComboBoxFont");
    bool storedListed = false;
    for (const QString& family : QFontDatabase::families()) {
        auto bytes = plat::ui::toSjis(family);
        if (!bytes || bytes->empty() || bytes->size() > static_cast<size_t>(TextBytes)) continue;
        if (*bytes == storedFont_) storedListed = true;
        addItem(font_, *bytes);
    }
    if (!storedListed && !storedFont_.empty()) {
        font_->insertItem(0, qs(storedFont_), QByteArray::fromStdString(storedFont_));
    }
    int fontIndex = font_->findData(QByteArray::fromStdString(storedFont_));
    font_->setCurrentIndex(fontIndex >= 0 ? fontIndex : 0);

    size_ = new QComboBox(this);
    size_->setObjectName("ComboBoxFontSize");
    for (int s = SmallestSize; s <= LargestSize; ++s) size_->addItem(QString::number(s));
    int32_t storedSize = attr.FontSize;
    size_->setCurrentIndex(storedSize >= SmallestSize && storedSize <= LargestSize ? storedSize - SmallestSize
                                                                                   : 0);

    colors_ = new QListWidget(this);
    colors_->setObjectName("ListBoxColor");
    for (const char* text : ColorTexts) new QListWidgetItem(qs(text), colors_);
    change_ = new QPushButton(qs(utext::ChangeColor), this);
    change_->setObjectName("ButtonColor");
    change_->setAutoDefault(false);
    change_->setEnabled(false);
    splash_ = new QCheckBox(qs(utext::Splash), this);
    splash_->setObjectName("CheckBoxSplash");
    splash_->setChecked(attr.DispSplash != 0);
    showColors();

    connect(browse, &QPushButton::clicked, this, [this] { ButtonThemeClick(); });
    connect(change_, &QPushButton::clicked, this, [this] { ButtonColorClick(); });
    connect(colors_, &QListWidget::currentRowChanged, this,
            [this](int row) { change_->setEnabled(row >= 0); });
    connect(theme_, &QLineEdit::textEdited, this, [this] { changed_(); });
    connect(font_, &QComboBox::activated, this, [this] { changed_(); });
    connect(size_, &QComboBox::activated, this, [this] { changed_(); });
    connect(splash_, &QCheckBox::toggled, this, [this] { changed_(); });

    auto* themeRow = new QHBoxLayout;
    themeRow->addWidget(theme_, 1);
    themeRow->addWidget(browse);
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(font_, 1);
    fontRow->addWidget(size_);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colors_, 1);
    colorRow->addWidget(change_, 0, Qt::AlignTop);
    auto* form = new QFormLayout;
    form->addRow(qs(utext::ThemeLabel), themeRow);
    form->addRow(qs(utext::FontLabel), fontRow);
    form->addRow(qs(utext::ColorLabel), colorRow);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(splash_);
}

void DesktopPage::showColors() {
    // Each kind's text in its colour over the background, as the message
    // views show it; "背景" shows the system colour on the background.
    for (int i = 0; i <= BackgroundItem; ++i) {
        uint32_t ref = color_[static_cast<size_t>(i == BackgroundItem ? 0 : i)];
        colors_->item(i)->setIcon(swatch(ref));
        colors_->item(i)->setForeground(plat::ui::colorFromRef(ref));
    }
    QPalette pal = colors_->palette();
    pal.setColor(QPalette::Base, plat::ui::colorFromRef(color_[BackgroundItem]));
    colors_->setPalette(pal);
}

void DesktopPage::ButtonThemeClick() {
    std::string current = editedText(theme_->text(), storedTheme_);
    plat::PathParts parts = plat::splitPath(current);
    std::string start = folderOf(folder_) + "Themes/" + parts.name + parts.extension;
    auto chosen = choosers().openFile(window(), utext::ThemeLabel, utext::ThemeFilter, start);
    if (!chosen) return;
    std::string name = themeName(folder_, *chosen);
    if (name.size() > static_cast<size_t>(TextBytes)) return; // a cut path would name another file
    theme_->setText(qs(name));
    changed_();
}

void DesktopPage::ButtonColorClick() {
    int row = colors_->currentRow();
    if (row < 0 || row > BackgroundItem) return;
    auto chosen = choosers().color(window(), plat::ui::colorFromRef(color_[static_cast<size_t>(row)]));
    if (!chosen) return;
    color_[static_cast<size_t>(row)] = plat::ui::colorRefFrom(*chosen);
    showColors();
    changed_();
}

void DesktopPage::store(DispAttribute& attr) const {
    sjis::writeField(attr.ThemeFile, editedText(theme_->text(), storedTheme_));
    sjis::writeField(attr.FontName, itemBytes(font_, font_->currentIndex()));
    attr.FontSize = size_->currentText().toInt();
    for (size_t i = 0; i < color_.size(); ++i) attr.Color[i] = color_[i];
    attr.DispSplash = splash_->isChecked() ? 1 : 0;
}

} // namespace cnf::ui
