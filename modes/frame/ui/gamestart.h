// GameStart of a game-mode plug-in in one call:
//
//     VELL_EXPORT int32_t GameStart(const char* programFolder, GameSettings* settings, ConfHeader* header,
//                                   AkSourceList* sources, void* application) {
//         return modes::ui::RunModeForm<TFormLeague>(settings, header, sources);
//     }
//
// The program folder argument is not used (the frame takes the platform's)
// and neither is the application object (the frame uses the running
// QApplication). Form must take (GameSettings&, ConfHeader&, AkSourceList&).
// The result is the mode form's modal result; 2 (cancel) when a record is
// missing, when there is no QApplication on this thread, or when the form
// could not be made. No exception leaves the call.
#pragma once

#include "base/aksourcelist.h"
#include "base/confrecords.h"

#include <QApplication>
#include <QThread>

namespace modes::ui {

template <class Form> int RunModeForm(GameSettings* settings, ConfHeader* header, AkSourceList* sources) {
    if (!settings || !header || !sources) return 2;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread()) return 2;
    try {
        Form form(*settings, *header, *sources);
        form.FormCreate();
        return form.exec();
    } catch (...) {
        return 2;
    }
}

} // namespace modes::ui
