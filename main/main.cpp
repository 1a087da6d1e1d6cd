// VELL: start-up. Lays out the game master's data folder and makes sure no
// other program runs on it, shows the splash window when the settings ask
// for it, then the main window, and runs the window loop until the main
// window closes (by its button, or by logout, shutdown or a kill).
#include "sjis/main.h"
#include "main/application.h"
#include "main/closerequests.h"
#include "main/installation.h"
#include "main/mainwindow.h"
#include "main/singleinstance.h"
#include "main/splash.h"
#include "platform/catalogue.h"
#include "platform/codec.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/ui/host.h"
#include "platform/ui/qtsjis.h"

#include <QIcon>

#include <exception>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

int main(int argc, char** argv) {
    // Logout, shutdown and a kill end the program cleanly from the first
    // moment on; before the main window exists they end the start.
    vell::CloseRequests::catchSignals();
    // 1. The application object; title "Corvane Vell", named and drawn for
    //    the desktop's menus and task bar.
    vell::VellApplication app(argc, argv);
    QApplication::setApplicationName(plat::ui::fromSjis(mt::AppTitle));
    QGuiApplication::setDesktopFileName(QStringLiteral("corvane-vell"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/corvane-vell.png")));
    QApplication::setQuitOnLastWindowClosed(false);
    plat::ui::installQtHost();
    plat::ui::installQtTranslations();
    vell::CloseRequests closeRequests;
    const plat::msg::Style plain{false, nullptr};

    // Every path the system handles is Shift-JIS: a data or library folder
    // whose name has no such form cannot serve it.
    for (const std::string& folder : {plat::dataFolderOsPath(), plat::libraryFolderOsPath()}) {
        if (!plat::fromOsName(folder)) {
            plat::msg::showError(41028, {plat::utf8ToCp932Shown(folder)}, plain);
            return 1;
        }
    }

    // What the start makes for the game master (the data folder, the lock,
    // the samples, the first settings) is theirs alone; folders they had
    // keep their permissions.
    const mode_t userMask = ::umask(077);
    ::umask(userMask | 077);

    // The data folder: one program at a time, laid out with the samples.
    const std::string& programFolder = plat::programFolder();
    const std::string dataFolder = plat::toOsPathAsSpelled(programFolder).value_or(std::string());
    std::error_code ec;
    std::filesystem::create_directories(dataFolder, ec);
    if (dataFolder.empty() || !std::filesystem::is_directory(dataFolder, ec)) {
        plat::msg::showError(41026, {programFolder}, plain);
        return 1;
    }
    if (vell::CloseRequests::asked()) return 0;
    vell::SingleInstance instance(QString::fromStdString(dataFolder));
    if (auto end = vell::claimDataFolder(instance, programFolder, vell::CloseRequests::asked)) return *end;
    if (auto failed = vell::layOutSamples(vell::samplesFolder(), dataFolder))
        plat::msg::showError(41027, {plat::fromOsName(*failed).value_or(std::string())}, plain);
    vell::registerInstallation();
    ::umask(userMask);
    if (vell::CloseRequests::asked()) return 0;

    try {
        // 2. The splash window, painted at once.
        if (plat::reg::readBool("Software\\Dunmoor\\CVVell\\Display", "DispSplash", true)) {
            auto* splash = new vell::TFormSplash(programFolder);
            splash->show();
            splash->repaint();
            QApplication::processEvents();
        }
        // 3. The main window and the loop; the program ends with the main window.
        auto window = std::make_unique<vell::TFormMain>();
        QObject::connect(window.get(), &vell::TFormMain::closed, &app, &QApplication::quit,
                         Qt::QueuedConnection);
        QObject::connect(&instance, &vell::SingleInstance::raiseRequested, window.get(),
                         [w = window.get()] { vell::raiseProgramWindow(w); });
        closeRequests.setWindow(window.get());
        window->show();
        return app.exec();
    } catch (const std::exception& e) {
        vell::VellApplication::showException(e.what());
    } catch (...) {
        vell::VellApplication::showException("unknown exception");
    }
    return 1;
}
