// TFormAkCheck: the modal dialog that shows what the entry checks found
// wrong with an entrant; "試合を行う" goes on (1), "試合の中断" or closing
// the dialog stops the start of the event (2).
#pragma once

#include <QDialog>

#include <string_view>

class QPlainTextEdit;
class QPushButton;

namespace cmn {

class TFormAkCheck : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* PlacementName = "Game_VsAkCheck";

    TFormAkCheck(std::string_view caption, std::string_view report);

    // Shows the dialog modally and returns 1 or 2. Without a window system on
    // the calling thread nothing is shown and the answer is 2.
    static int ask(std::string_view caption, std::string_view report);

    void done(int result) override;
    void reject() override;

private:
    QPlainTextEdit* MemoCheck = nullptr;
    QPushButton* ButtonStart = nullptr;
    QPushButton* ButtonCancel = nullptr;
};

} // namespace cmn
