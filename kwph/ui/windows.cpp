// The progress window and the text window (see windows.h). The operations run
// synchronously on the window thread, so every change lets Qt paint before
// the work goes on. The text window is hidden, not closed, when the user
// closes it; its menus are "&File" > "E&xit" and "&Edit" > "&Copy".
#include "kwph/ui/windows.h"

#include "kwph/ui.h"

#include "platform/ui/qtsjis.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>

namespace {

void applyGeometry(QWidget* w, const kwp::Geometry& g) {
    if (g.width > 0 && g.height > 0) w->setGeometry(g.left, g.top, g.width, g.height);
}

void letQtPaint() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

class TextWindow : public QMainWindow {
public:
    TextWindow() {
        text_ = new QPlainTextEdit(this);
        text_->setReadOnly(true);
        text_->setLineWrapMode(QPlainTextEdit::NoWrap);
        setCentralWidget(text_);
        QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
        file->addAction(QStringLiteral("E&xit"), this, &QWidget::hide);
        QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
        edit->addAction(QStringLiteral("&Copy"), text_, &QPlainTextEdit::copy);
        statusBar();
    }
    QPlainTextEdit* text() { return text_; }

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        hide();
    }

private:
    QPlainTextEdit* text_;
};

class Windows : public kwp::Ui {
public:
    ~Windows() override {
        // Widgets can only go while the application and its thread are there.
        if (!QApplication::instance() || QThread::currentThread() != QApplication::instance()->thread())
            return;
        delete progress_.data();
        delete text_.data();
    }

    void showProgress(std::string_view caption, const kwp::Geometry& where) override {
        if (!progress_) {
            progress_ = new QWidget(nullptr, Qt::Dialog);
            auto* layout = new QVBoxLayout(progress_);
            bar_ = new QProgressBar(progress_);
            layout->addWidget(bar_);
        }
        progress_->setWindowTitle(plat::ui::fromSjis(caption));
        applyGeometry(progress_, where);
        bar_->setRange(0, 0);
        bar_->setValue(0);
        progress_->show();
        letQtPaint();
    }
    void setProgressMax(int max) override {
        if (!progress_) return;
        bar_->setRange(0, max);
        letQtPaint();
    }
    void setProgressPos(int pos) override {
        if (!progress_) return;
        bar_->setValue(pos);
        letQtPaint();
    }
    void closeProgress() override {
        if (progress_) progress_->hide();
    }

    void showText(std::string_view caption, const kwp::Geometry& where) override {
        if (!text_) text_ = new TextWindow;
        text_->setWindowTitle(plat::ui::fromSjis(caption));
        text_->text()->clear();
        text_->statusBar()->clearMessage();
        applyGeometry(text_, where);
        text_->show();
        letQtPaint();
    }
    void addLine(std::string_view line) override {
        if (text_) text_->text()->appendPlainText(plat::ui::fromSjis(line));
    }
    void setStatus(std::string_view status) override {
        if (text_) text_->statusBar()->showMessage(plat::ui::fromSjis(status));
        letQtPaint();
    }

private:
    QPointer<QWidget> progress_;
    QProgressBar* bar_ = nullptr;
    QPointer<TextWindow> text_;
};

bool onWindowThread() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

VELL_EXPORT kwp::Ui* kwphuiCreate() {
    return onWindowThread() ? new Windows : nullptr;
}

VELL_EXPORT int kwphuiScreenSize(int* height, int* width) {
    if (!onWindowThread() || !QGuiApplication::primaryScreen()) return 0;
    const QRect r = QGuiApplication::primaryScreen()->geometry();
    if (height) *height = r.height();
    if (width) *width = r.width();
    return 1;
}
