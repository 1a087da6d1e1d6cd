#include "platform/desktop.h"

#include "platform/paths.h"

#include <mutex>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace plat::desktop {

namespace {

std::mutex mutex;
DocumentOpener documentOpener;
MediaOpener mediaOpener;

bool spawnXdgOpen(const std::string& osPath) {
    pid_t pid;
    std::string prog = "xdg-open";
    char* argv[] = {prog.data(), const_cast<char*>(osPath.c_str()), nullptr};
    if (::posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
    // Do not wait for the viewer; reap xdg-open itself, which returns at once.
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

MediaPlayback::~MediaPlayback() = default;

bool openDocument(std::string_view pathCp932) {
    auto os = toOsPath(resolvePath(pathCp932));
    if (!os) return false;
    DocumentOpener opener;
    {
        std::lock_guard<std::mutex> lock(mutex);
        opener = documentOpener;
    }
    return opener ? opener(*os) : spawnXdgOpen(*os);
}

void setDocumentOpener(DocumentOpener opener) {
    std::lock_guard<std::mutex> lock(mutex);
    documentOpener = std::move(opener);
}

void showHelp(std::string_view, int, int) {}

void setMediaOpener(MediaOpener opener) {
    std::lock_guard<std::mutex> lock(mutex);
    mediaOpener = std::move(opener);
}

std::unique_ptr<MediaPlayback> openMedia(int kind, std::string_view pathCp932, int& error) {
    MediaOpener opener;
    {
        std::lock_guard<std::mutex> lock(mutex);
        opener = mediaOpener;
    }
    auto os = toOsPath(resolvePath(pathCp932));
    if (!opener || !os) {
        error = MediaErrorUnsupported;
        return nullptr;
    }
    error = 0;
    auto p = opener(kind, *os, error);
    if (!p && error == 0) error = MediaErrorUnsupported;
    return p;
}

} // namespace plat::desktop
