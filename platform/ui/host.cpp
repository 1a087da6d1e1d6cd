#include "platform/ui/host.h"

#include "platform/desktop.h"
#include "platform/notify.h"
#include "platform/ui/qtsjis.h"
#include "sjis/ui_text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>
#include <QTranslator>
#include <QUrl>
#include <QWidget>

#include <utility>

#ifdef VELL_HAVE_QT_MULTIMEDIA
#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#endif

namespace plat::ui {

namespace {

int showBox(const notify::Request& r) {
    QMessageBox box(qobject_cast<QWidget*>(static_cast<QObject*>(r.owner)));
    box.setWindowTitle(fromSjis(r.caption));
    box.setText(fromSjis(r.text));
    switch (r.icon) {
    case notify::Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case notify::Icon::Question: box.setIcon(QMessageBox::Question); break;
    case notify::Icon::Information: box.setIcon(QMessageBox::Information); break;
    }
    switch (r.buttons) {
    case notify::Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case notify::Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case notify::Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    }
    const std::pair<QMessageBox::StandardButton, const char*> texts[] = {
        {QMessageBox::Ok, text::ButtonOk},
        {QMessageBox::Cancel, text::ButtonCancel},
        {QMessageBox::Yes, text::ButtonYes},
        {QMessageBox::No, text::ButtonNo}};
    for (const auto& [button, caption] : texts)
        if (QAbstractButton* b = box.button(button)) b->setText(fromSjis(caption));
    if (r.topmost) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    int result = box.exec();
    switch (result) {
    case QMessageBox::Cancel: return notify::IdCancel;
    case QMessageBox::Yes: return notify::IdYes;
    case QMessageBox::No: return notify::IdNo;
    default:
        // Closing a box with the window's close button answers like Escape.
        if (r.buttons == notify::Buttons::OkCancel && result != QMessageBox::Ok) return notify::IdCancel;
        return notify::IdOk;
    }
}

int qtNotifier(const notify::Request& r) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return notify::IdOk;
    if (QThread::currentThread() == app->thread()) return showBox(r);
    int answer = notify::IdOk;
    QMetaObject::invokeMethod(app, [&] { answer = showBox(r); }, Qt::BlockingQueuedConnection);
    return answer;
}

#ifdef VELL_HAVE_QT_MULTIMEDIA
class QtPlayback : public desktop::MediaPlayback {
public:
    explicit QtPlayback(const QString& file) {
        output_.setVolume(1.0);
        player_.setAudioOutput(&output_);
        player_.setSource(QUrl::fromLocalFile(file));
    }
    void play() override { player_.play(); }

private:
    QMediaPlayer player_;
    QAudioOutput output_;
};

std::unique_ptr<desktop::MediaPlayback> openQtMedia(int kind, const std::string& osPath, int& error) {
    // Wave sound plays where the machine has an audio output; MIDI
    // sequences have no player here.
    if (kind != desktop::MediaWaveAudio || QMediaDevices::audioOutputs().isEmpty()) {
        error = desktop::MediaErrorUnsupported;
        return nullptr;
    }
    return std::make_unique<QtPlayback>(QString::fromUtf8(osPath.c_str()));
}
#endif

} // namespace

bool installQtTranslations(const QString& folder) {
    // One translator for the life of the program; a second call reloads it.
    static QTranslator* translator = nullptr;
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    if (!translator) translator = new QTranslator(QCoreApplication::instance());
    QCoreApplication::removeTranslator(translator);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), "qt", "_", from)) return false;
    return QCoreApplication::installTranslator(translator);
}

void installQtHost() {
    notify::setHandler(qtNotifier);
    desktop::setDocumentOpener(
        [](const std::string& osPath) { return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromUtf8(osPath.c_str()))); });
#ifdef VELL_HAVE_QT_MULTIMEDIA
    desktop::setMediaOpener(openQtMedia);
#endif
}

void post(QObject* target, std::function<void()> call) {
    if (!target) return;
    QMetaObject::invokeMethod(target, std::move(call), Qt::QueuedConnection);
}

} // namespace plat::ui
