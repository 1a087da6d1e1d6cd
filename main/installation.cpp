#include "main/installation.h"

#include "platform/registry.h"

namespace vell {

void registerInstallation() {
    if (!plat::reg::readString("Software\\Corvane\\Message\\Standard", "Path", "").empty()) return;
    if (!plat::reg::readString("Software\\Dunmoor\\CVVell", "InstPath", "").empty()) return;
    plat::reg::writeValue("Software\\Corvane\\Message\\Standard", "Path", "Message\\Basic.kwp");
}

} // namespace vell
