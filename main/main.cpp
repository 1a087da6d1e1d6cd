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
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/ui/host.h"
#include "platform/ui/qtsjis.h"

#include <QIcon>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>

int main(int argc, char** argv) {
    // 1. The application object; title "Corvane Vell", named and drawn for
    //    the desktop's menus and task bar.
    vell::VellApplication app(argc, argv);
    QApplication::setApplicationName(plat::ui::fromSjis(mt::AppTitle));
    QGuiApplication::setDesktopFileName(QStringLiteral("corvane-vell"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/corvane-vell.png")));
    QApplication::setQuitOnLastWindowClosed(false);
    plat::ui::installQtHost();
    plat::ui::installQtTranslations();

    // The data folder: one program at a time, laid out with the samples.
    const std::string& programFolder = plat::programFolder();
    const std::string dataFolder = plat::toOsPathAsSpelled(programFolder).value_or(std::string());
    std::error_code ec;
    std::filesystem::create_directories(dataFolder, ec);
    if (dataFolder.empty() || !std::filesystem::is_directory(dataFolder, ec)) {
        plat::msg::showError(41026, {programFolder}, plat::msg::Style{false, nullptr});
        return 1;
    }
    vell::SingleInstance instance(QString::fromStdString(dataFolder));
    switch (instance.acquire()) {
    case vell::SingleInstance::Start::Running:
        return instance.askRunningToRaise(10000) ? 0 : 1;
    case vell::SingleInstance::Start::Unguarded:
        std::fprintf(stderr, "Corvane Vell: no lock can be made in %s; nothing keeps a second program off it\n",
                     dataFolder.c_str());
        break;
    case vell::SingleInstance::Start::First:
        break;
    }
    if (auto failed = vell::layOutSamples(vell::samplesFolder(), dataFolder))
        plat::msg::showError(41027, {plat::fromOsName(*failed).value_or(std::string())},
                             plat::msg::Style{false, nullptr});
    vell::registerInstallation();

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
        vell::CloseRequests closeRequests(window.get());
        window->show();
        return app.exec();
    } catch (const std::exception& e) {
        vell::VellApplication::showException(e.what());
    } catch (...) {
        vell::VellApplication::showException("unknown exception");
    }
    return 1;
}
