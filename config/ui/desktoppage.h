// The environment dialog's page "デスクトップ": the display attributes. The
// theme file, the font and its size for the message views, the colours of
// the seven message kinds and of the background, and the splash flag. The
// colours 8 to 19 have no editor and keep the values read; a colour the user
// did not change keeps its stored value, a system colour included.
#pragma once

#include "base/confrecords.h"

#include <QWidget>

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace cnf::ui {

class DesktopPage : public QWidget {
public:
    DesktopPage(const DispAttribute& attr, std::string programFolder, std::function<void()> changed,
                QWidget* parent);

    // The page into the attributes (colours 8 to 19 untouched).
    void store(DispAttribute& attr) const;

    void ButtonThemeClick();
    void ButtonColorClick();
    QListWidget* colorList() const { return colors_; }

private:
    void showColors();

    std::string folder_;
    std::function<void()> changed_;
    std::string storedTheme_;
    std::string storedFont_;
    std::array<uint32_t, 8> color_{};
    QLineEdit* theme_;
    QComboBox* font_;
    QComboBox* size_;
    QListWidget* colors_;
    QPushButton* change_;
    QCheckBox* splash_;
};

// The name a chosen theme file is stored under: its bare name when it lies in
// the program's Themes folder, its path under the program folder when it lies
// there, else its full path.
std::string themeName(std::string_view programFolder, std::string_view chosen);

} // namespace cnf::ui
