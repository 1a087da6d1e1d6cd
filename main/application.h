// The application object: catches exceptions that reach the window loop and
// shows them in a warning box under the program's title, so that an error in
// one event handler never unwinds through Qt or ends the program.
#pragma once

#include <QApplication>

namespace vell {

class VellApplication : public QApplication {
public:
    VellApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    // Shows an exception's text in a warning box titled "Corvane Vell".
    static void showException(const char* what);
};

} // namespace vell
