// The about box: the product, its version and copyright, and the version list
// of the program's files (the program, then every shared library of the
// library folder). "サポート情報" writes that list to Temp\Support.txt for a
// problem report and opens Doc\Support.htm; "クレジット" opens Doc\Credit.htm.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class QTreeWidget;

namespace vell {

// One listed file and its version texts (Shift-JIS).
struct FileVersionRow {
    std::string fileName;    // name in the library folder
    std::string fileVersion; // empty when the file has none
    std::string companyName;
    std::string description;
    int64_t size = 0;
    int64_t mtime = 0; // epoch seconds
};

// The program's own file, then "*.so" of the library folder sorted by name.
// The program's version sidecar lies in the library folder too, but the
// program itself may lie elsewhere (bin/ of an installation): its size and
// time are those of `programFile`.
std::vector<FileVersionRow> listProgramFiles(const std::string& libraryFolder,
                                             const std::string& programFile);
// The text of Temp\Support.txt (Shift-JIS, CR LF).
std::string buildSupportText(const std::vector<FileVersionRow>& rows);
// Writes Temp\Support.txt under the program folder (creating Temp); false
// when it could not be written (message 41042 has been shown).
bool writeSupportFile(const std::string& programFolder, const std::vector<FileVersionRow>& rows);

class TAboutBox : public QDialog {
public:
    TAboutBox(const std::string& programFolder, QWidget* parent = nullptr);
    QTreeWidget* fileList() const { return files_; }

private:
    void ButtonSupportClick();
    void ButtonCreditClick();

    std::string programFolder_;
    std::vector<FileVersionRow> rows_;
    QTreeWidget* files_ = nullptr;
};

} // namespace vell
