// The splash window shown at start-up: the theme's picture with the title,
// version and copyright on it, and the start sound. It stays above the main
// window until its timer fires, then closes its player and deletes itself.
#pragma once

#include "main/mcidevice.h"

#include <QWidget>

#include <string>

class QLabel;
class QTimer;

namespace vell {

class TFormSplash : public QWidget {
public:
    explicit TFormSplash(const std::string& programFolder);
    ~TFormSplash() override;

    int timerInterval() const;
    QLabel* titleLabel() const { return title_; }
    QLabel* versionLabel() const { return version_; }
    QLabel* copyrightLabel() const { return copyright_; }

private:
    void Timer1Timer();

    QTimer* timer_ = nullptr;
    QLabel* picture_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* copyright_ = nullptr;
    mciDevice player_;
};

} // namespace vell
