// The environment dialog's page "その他": the three word lists of the
// narration ("女性識別子", "マスター呼称", "一人称") in a grid of two rows and
// five columns (cell column c, row r is word r x 5 + c), one list per tab,
// and the two emblems (at most two bytes each).
#pragma once

#include "base/confrecords.h"

#include <QWidget>

#include <functional>

class QLineEdit;
class QTabBar;
class QTableWidget;

namespace cnf::ui {

class OtherPage : public QWidget {
public:
    OtherPage(MsgWords& words, std::function<void()> changed, QWidget* parent);

    // The grid of the shown list and the emblems into the words.
    void store();
    QTableWidget* grid() const { return grid_; }
    QTabBar* tabs() const { return tabs_; }
    QLineEdit* emblem(int i) const { return i == 0 ? emblem1_ : emblem2_; }

private:
    char (*list(int tab) const)[32];
    void fill();
    void storeGrid(int tab);

    MsgWords& words_;
    std::function<void()> changed_;
    QTabBar* tabs_;
    QTableWidget* grid_;
    QLineEdit* emblem1_;
    QLineEdit* emblem2_;
    int shown_ = 0;
    bool filling_ = false;
};

} // namespace cnf::ui
