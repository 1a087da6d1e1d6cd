#include "main/application.h"

#include "platform/notify.h"
#include "sjis/main.h"

#include <exception>
#include <string>

namespace vell {

VellApplication::VellApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VellApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showException(e.what());
    } catch (...) {
        showException("unknown exception");
    }
    return false;
}

void VellApplication::showException(const char* what) {
    plat::notify::show(what ? what : "", mt::AppTitle, plat::notify::Icon::Warning);
}

} // namespace vell
