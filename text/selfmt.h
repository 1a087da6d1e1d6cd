// The template chooser: a list of the templates matching a pattern with
// their titles, the output file name (typed, or picked in a save dialog) and
// OK / Cancel. OK is enabled only while a template is selected. The window
// keeps its place and size under the name "Template".
#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace vtext {

class TFormTemplate : public QDialog {
public:
    TFormTemplate(std::string programFolder, std::string pattern, QWidget* parent = nullptr);

    // The save dialog behind ButtonPath, replaceable in tests: the current
    // text of EditPath → the chosen Shift-JIS path, nullopt when cancelled.
    using PathAsker = std::function<std::optional<std::string>(const std::string& current)>;
    PathAsker askOutputPath;

    void ListTemplates();
    void ListViewTemplateChange();
    void ButtonPathClick();
    void ButtonOkClick();

    // Set by ButtonOkClick.
    const std::string& chosenTemplate() const { return templatePath_; }
    const std::string& chosenOutput() const { return outputPath_; }

    void done(int result) override;

private:
    std::string programFolder_;
    std::string pattern_;
    std::string templatePath_;
    std::string outputPath_;
    QTreeWidget* list_ = nullptr;
    QLineEdit* path_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Shows the chooser modally; true when it closed with OK. Without a
// QApplication nobody can be asked, and the answer is false.
bool SelectTemplate(std::string_view programFolder, std::string_view pattern, std::string& templatePath,
                    std::string& outputPath);

} // namespace vtext
