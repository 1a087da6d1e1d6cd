// TFormSelect, "設定の新規作成": asks whether the tree page's New makes a net
// (a play-by-mail net that holds events) or a conf (one event), the conf
// preselected.
#pragma once

#include "config/conftree.h"
#include "config/ui/dialogbase.h"

class QRadioButton;

namespace cnf::ui {

class TFormSelect : public DialogBase {
public:
    TFormSelect(QWidget* owner, std::string_view programFolder);
    ConfTree::NewKind kind() const;
    void choose(ConfTree::NewKind kind);

private:
    QRadioButton* net_;
    QRadioButton* conf_;
};

} // namespace cnf::ui
