// What the Qt host installs into the platform layer: message boxes on the GUI
// thread (a worker thread that shows one waits for the answer), documents
// opened through the desktop, and sound through Qt Multimedia. Also the
// posting of a window's private messages as queued calls, which run on the
// GUI thread.
#pragma once

#include "platform/export.h"

#include <QString>

#include <functional>

class QObject;

namespace plat::ui {

// Installs the Qt notifier, document opener and media backend. Call once the
// QApplication exists.
PLAT_API void installQtHost();

// Loads Qt's own Japanese texts (file dialogs, standard buttons, context
// menus) from `folder`, by default Qt's translations folder (Debian's
// qt6-translations-l10n). False, and Qt speaks English, where they are not
// installed.
PLAT_API bool installQtTranslations(const QString& folder = {});

// Runs `call` later on `target`'s thread (the stand-in for posting a private
// window message); dropped when the target is gone by then.
PLAT_API void post(QObject* target, std::function<void()> call);

} // namespace plat::ui
