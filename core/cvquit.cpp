// The abort dialog and the busy cursor.
#include "core/cvquit.h"

#include "platform/ui/qtsjis.h"
#include "sjis/cvquit_text.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

namespace cv {

namespace {

QString text(const char* sjis) {
    return plat::ui::fromSjis(sjis);
}

// A QApplication runs and this is its thread: widgets may be made here.
bool windowsAvailable() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

} // namespace

FormGameQuit::FormGameQuit(QWidget* owner, int& mode, int& value)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint),
      mode_(mode), value_(value) {
    setWindowTitle(text(cvq::Caption));
    setModal(true);

    GroupBoxAbort = new QGroupBox(this);
    RadioButtonQuit = new QRadioButton(text(cvq::Quit), GroupBoxAbort);
    RadioGroupQuit = new QGroupBox(GroupBoxAbort);
    RadioGroupItems = new QButtonGroup(RadioGroupQuit);
    auto* items = new QVBoxLayout(RadioGroupQuit);
    const char* labels[] = {cvq::JudgeByDamage, cvq::ForceDraw, cvq::Player1Wins, cvq::Player2Wins};
    for (int i = 0; i < 4; ++i) {
        auto* item = new QRadioButton(text(labels[i]), RadioGroupQuit);
        RadioGroupItems->addButton(item, i);
        items->addWidget(item);
    }
    RadioGroupItems->button(0)->setChecked(true);
    RadioButtonEnd = new QRadioButton(text(cvq::Hold), GroupBoxAbort);
    CheckBoxSave = new QCheckBox(text(cvq::SaveAks), GroupBoxAbort);

    auto* group = new QVBoxLayout(GroupBoxAbort);
    group->addWidget(RadioButtonQuit);
    auto* indentedItems = new QHBoxLayout;
    indentedItems->addSpacing(16);
    indentedItems->addWidget(RadioGroupQuit);
    group->addLayout(indentedItems);
    group->addWidget(RadioButtonEnd);
    auto* indentedSave = new QHBoxLayout;
    indentedSave->addSpacing(16);
    indentedSave->addWidget(CheckBoxSave);
    group->addLayout(indentedSave);

    ButtonOk = new QPushButton(text(cvq::Ok), this);
    ButtonCancel = new QPushButton(text(cvq::Cancel), this);
    ButtonOk->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonCancel);
    auto* form = new QVBoxLayout(this);
    form->addWidget(GroupBoxAbort);
    form->addLayout(buttons);

    RadioButtonQuit->setChecked(true);
    CheckBoxSave->setChecked(true);
    CheckBoxSave->setEnabled(false);

    connect(RadioButtonQuit, &QRadioButton::clicked, this, [this] { RadioButtonQuitClick(); });
    connect(RadioButtonEnd, &QRadioButton::clicked, this, [this] { RadioButtonEndClick(); });
    connect(ButtonOk, &QPushButton::clicked, this, [this] {
        ButtonOkClick();
        accept();
    });
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    // 288 x 236 is the form's least size; texts that need more in the
    // system font grow it, so no choice is squashed or clipped. The border
    // stays fixed.
    setFixedSize(sizeHint().expandedTo(QSize(288, 236)));
    if (QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    RadioButtonQuit->setFocus();
}

void FormGameQuit::RadioButtonQuitClick() {
    RadioGroupQuit->setEnabled(true);
    CheckBoxSave->setEnabled(false);
}

void FormGameQuit::RadioButtonEndClick() {
    RadioGroupQuit->setEnabled(false);
    CheckBoxSave->setEnabled(true);
}

void FormGameQuit::ButtonOkClick() {
    if (RadioButtonQuit->isChecked()) {
        mode_ = 0;
        value_ = RadioGroupItems->checkedId();
    } else {
        mode_ = 1;
        value_ = CheckBoxSave->isChecked() ? 1 : 0;
    }
}

QuitChoice AskQuitChoice(void* owner) {
    QuitChoice choice;
    if (!windowsAvailable()) return choice;
    FormGameQuit dialog(static_cast<QWidget*>(owner), choice.Mode, choice.Value);
    choice.Accepted = dialog.exec() == QDialog::Accepted;
    return choice;
}

BusyCursor::BusyCursor() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ||
        QThread::currentThread() != QCoreApplication::instance()->thread())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    shown_ = true;
}

BusyCursor::~BusyCursor() {
    if (shown_) QGuiApplication::restoreOverrideCursor();
}

} // namespace cv
