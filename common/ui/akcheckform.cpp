// The AK check dialog: the report in a read-only memo and the two answers.
#include "common/ui/akcheckform.h"

#include "common/akcheck.h"
#include "common/ui/akdetailform.h"
#include "config/vellcnf.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "sjis/cmn_text.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

namespace cmn {

TFormAkCheck::TFormAkCheck(std::string_view caption, std::string_view report)
    : QDialog(nullptr,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FormAkCheck"));
    setWindowTitle(plat::ui::fromSjis(caption));
    setModal(true);

    MemoCheck = new QPlainTextEdit(this);
    MemoCheck->setObjectName(QStringLiteral("MemoCheck"));
    MemoCheck->setReadOnly(true);
    MemoCheck->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The report is laid out in columns with full-width blanks: the fixed
    // pitch display font of the detail window lines them up.
    DispAttribute attr{};
    LoadDispAttribute("", &attr);
    MemoCheck->setFont(sheetFont(attr));
    QString text = plat::ui::fromSjis(report);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    MemoCheck->setPlainText(text);

    ButtonStart = new QPushButton(plat::ui::fromSjis(cmt::StartButton), this);
    ButtonStart->setObjectName(QStringLiteral("ButtonStart"));
    ButtonCancel = new QPushButton(plat::ui::fromSjis(cmt::StopButton), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setAutoDefault(false);
    ButtonStart->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonStart);
    buttons->addWidget(ButtonCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MemoCheck, 1);
    layout->addLayout(buttons);

    connect(ButtonStart, &QPushButton::clicked, this, [this] { done(CheckGoOn); });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { done(CheckStop); });

    if (QScreen* screen = QGuiApplication::primaryScreen()) setMaximumSize(screen->size());
    setMinimumSize(500, 300);
    resize(560, 380);
    plat::ui::LoadWindowSize(PlacementName, this);
    plat::ui::LoadWindowPosition(PlacementName, this);
}

void TFormAkCheck::done(int result) {
    plat::ui::SaveWindowPosition(PlacementName, this);
    plat::ui::SaveWindowSize(PlacementName, this);
    QDialog::done(result == CheckGoOn ? CheckGoOn : CheckStop);
}

// Escape and the close box count as "試合の中断".
void TFormAkCheck::reject() {
    done(CheckStop);
}

int TFormAkCheck::ask(std::string_view caption, std::string_view report) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread()) return CheckStop;
    TFormAkCheck dialog(caption, report);
    return dialog.exec() == CheckGoOn ? CheckGoOn : CheckStop;
}

} // namespace cmn
