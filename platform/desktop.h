// Desktop services: opening a document with the desktop's default
// application, the help files (not available here: calls are accepted and do
// nothing) and media playback for the theme sound and music. Playback is a
// pluggable backend: the Qt host installs one that plays wave files where
// the machine has an audio output; without it every open fails quietly.
#pragma once

#include "platform/export.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace plat::desktop {

// Opens the file (a Shift-JIS path; relative paths are under the program
// folder) with the default application. Never goes through a shell.
PLAT_API bool openDocument(std::string_view pathCp932);
using DocumentOpener = std::function<bool(const std::string& osPath)>;
PLAT_API void setDocumentOpener(DocumentOpener opener);

// The help system stand-in: there are no help files on this platform.
PLAT_API void showHelp(std::string_view helpFile, int command, int context);

// Media device kinds, numbered as the player's callers number them.
constexpr int MediaSequencer = 9;  // MIDI music
constexpr int MediaWaveAudio = 12; // wave sound

class PLAT_API MediaPlayback {
public:
    virtual ~MediaPlayback();
    virtual void play() = 0;
};

// Returns the playback, or nullptr with `error` set non-zero.
using MediaOpener = std::function<std::unique_ptr<MediaPlayback>(int kind, const std::string& osPath, int& error)>;
PLAT_API void setMediaOpener(MediaOpener opener);
PLAT_API std::unique_ptr<MediaPlayback> openMedia(int kind, std::string_view pathCp932, int& error);

// Error code of a failed open when no backend can play the file.
constexpr int MediaErrorUnsupported = 277;

} // namespace plat::desktop
