#include "main/installation.h"

#include "platform/files.h"
#include "platform/registry.h"

#include <QCoreApplication>

#include <filesystem>
#include <system_error>

namespace vell {

namespace fs = std::filesystem;

void registerInstallation() {
    if (!plat::reg::readString("Software\\Corvane\\Message\\Standard", "Path", "").empty()) return;
    if (!plat::reg::readString("Software\\Dunmoor\\CVVell", "InstPath", "").empty()) return;
    plat::reg::writeValue("Software\\Corvane\\Message\\Standard", "Path", "Message\\Basic.kwp");
}

std::string samplesFolder() {
    fs::path folder = fs::path(QCoreApplication::applicationDirPath().toStdString()) / VELL_SAMPLES_FROM_PROGRAM;
    return folder.lexically_normal().string() + "/";
}

namespace {

bool copyWhole(const fs::path& from, const fs::path& to) {
    std::optional<std::string> bytes = plat::readWholeOsFile(from.string());
    if (!bytes) return false;
    plat::AtomicFile out(to.string(), plat::AtomicFile::OsPath);
    return out.isOpen() && out.write(*bytes) && out.commit();
}

} // namespace

std::optional<std::string> layOutSamples(const std::string& samplesOs, const std::string& dataOs) {
    std::optional<std::string> failed;
    auto fail = [&failed](const fs::path& p) {
        if (!failed) failed = p.string();
    };
    const fs::path samples(samplesOs), data(dataOs);
    std::error_code walk;
    fs::recursive_directory_iterator it(samples, walk);
    if (walk) return samplesOs;
    for (const fs::recursive_directory_iterator end; it != end;) {
        const fs::path target = data / it->path().lexically_relative(samples);
        std::error_code ec;
        if (it->is_directory(ec)) {
            if (!fs::create_directories(target, ec) && ec) fail(target);
        } else if (it->path().filename() != ".gitkeep" && !fs::exists(fs::symlink_status(target, ec))) {
            if ((!fs::create_directories(target.parent_path(), ec) && ec) || !copyWhole(it->path(), target))
                fail(target);
        }
        it.increment(walk);
        if (walk) {
            fail(samples);
            break;
        }
    }
    return failed;
}

} // namespace vell
