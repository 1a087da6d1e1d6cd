// VELL: start-up. Shows the splash window when the settings ask for it, then
// the main window, and runs the window loop until the main window closes.
#include "sjis/main.h"
#include "main/application.h"
#include "main/installation.h"
#include "main/mainwindow.h"
#include "main/splash.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/ui/host.h"
#include "platform/ui/qtsjis.h"

#include <QPointer>

#include <exception>
#include <memory>

int main(int argc, char** argv) {
    // 1. The application object; title "Corvane Vell".
    vell::VellApplication app(argc, argv);
    QApplication::setApplicationName(plat::ui::fromSjis(mt::AppTitle));
    QApplication::setQuitOnLastWindowClosed(false);
    plat::ui::installQtHost();
    plat::ui::installQtTranslations();
    const std::string& programFolder = plat::programFolder();
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
        window->show();
        return app.exec();
    } catch (const std::exception& e) {
        vell::VellApplication::showException(e.what());
    } catch (...) {
        vell::VellApplication::showException("unknown exception");
    }
    return 1;
}
