// The game processor's windows: the abort dialog TFormGameQuit, in which the
// game master ends a one-vs-one match with a chosen result or puts it on
// hold, and the busy cursor of the system's start. Both need a QApplication
// on the calling thread; without one the dialog is not shown and answers
// "go on" (the match continues, as after Cancel), and the cursor is left
// alone, so the library works in a process without windows.
#pragma once

#include "core/abortmatch.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace cv {

class FormGameQuit : public QDialog {
public:
    // `mode` and `value` are filled by ButtonOkClick.
    FormGameQuit(QWidget* owner, int& mode, int& value);

    // The two choices enable exactly one of the result items and the save
    // box; OK writes the choice.
    void RadioButtonQuitClick();
    void RadioButtonEndClick();
    void ButtonOkClick();

    QGroupBox* GroupBoxAbort;
    QRadioButton* RadioButtonQuit;
    QGroupBox* RadioGroupQuit;
    QButtonGroup* RadioGroupItems;
    QRadioButton* RadioButtonEnd;
    QCheckBox* CheckBoxSave;
    QPushButton* ButtonOk;
    QPushButton* ButtonCancel;

private:
    int& mode_;
    int& value_;
};

// Shows the dialog modally over `owner` (a QWidget, or null) and returns
// the choice; not accepted after Cancel, or when there is no QApplication
// on this thread.
QuitChoice AskQuitChoice(void* owner);

// The hourglass while it lives (nothing without a window system).
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool shown_ = false;
};

} // namespace cv
