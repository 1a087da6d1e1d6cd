// The status windows of the one-vs-one match window.
#include "modes/versus/vsstatus.h"

#include "modes/frame/modeinfo.h"
#include "modes/frame/textfmt.h"
#include "modes/versus/statusinfo.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "sjis/versus_text.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace versus::ui {

namespace {

using plat::ui::BesidePlaces;
using plat::ui::fromSjis;

constexpr int RowHeight = 20;
constexpr int BarHeight = 15;
constexpr int TextX = 35;

} // namespace

TFormStatus::TFormStatus(int side)
    : QWidget(nullptr, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint), side_(side & 1),
      bars_(BarLength, RowHeight * BodyPartCount) {
    setObjectName(QString("TFormStatus%1").arg(side_));
    setWindowTitle(fromSjis(text::StatusCaption));
    bars_.fill(Qt::white);

    auto* top = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(0);
    grid->setHorizontalSpacing(6);
    const char* parts[BodyPartCount] = {text::PartHead,    text::PartLeftArm,  text::PartRightArm,
                                        text::PartLeftLeg, text::PartRightLeg, text::PartBody};
    for (int i = 0; i < BodyPartCount; ++i) {
        auto* label = new QLabel(fromSjis(parts[i]), this);
        label->setFixedHeight(RowHeight);
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        grid->addWidget(label, i, 0);
    }
    ImageP1 = new QLabel(this);
    ImageP1->setObjectName("ImageP1");
    ImageP1->setFixedSize(bars_.size());
    ImageP1->setPixmap(bars_);
    grid->addWidget(ImageP1, 0, 1, BodyPartCount, 1, Qt::AlignTop | Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    top->addLayout(grid);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName("ListView1");
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setHeaderLabels({fromSjis(text::ColumnNo), fromSjis(text::ColumnWeapon),
                                fromSjis(text::ColumnAmmo), fromSjis(text::ColumnArmor)});
    ListView1->header()->setSectionsClickable(false);
    ListView1->setColumnWidth(0, 30);
    ListView1->setColumnWidth(1, 100);
    ListView1->setColumnWidth(2, 40);
    ListView1->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    ListView1->headerItem()->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    top->addWidget(ListView1, 1);
    resize(260, 300);

    placement_ = modes::format(modes::modeInfo(modes::ModeKind::Versus).ExtraWindow, side_);
    placeRestored_ = plat::ui::LoadWindowPosition(placement_, this);
    plat::ui::LoadWindowSize(placement_, this);
}

StatusPlaces statusWindowPlaces(const QRect& matchFrame, const QSize& statusFrame, const QRect& area,
                                bool matchMovable) {
    const int w = statusFrame.width();
    const int h = statusFrame.height();
    if (auto row = plat::ui::besideOwner(matchFrame, QSize(2 * w, h), area))
        return {matchFrame.topLeft(), {*row, *row + QPoint(w, 0)}};
    const BesidePlaces pile = plat::ui::besidePlaces(matchFrame, QSize(w, 2 * h), area, matchMovable);
    // The second one stays inside the area even where the first did not
    // leave room below it.
    const QPoint first = pile.Window;
    const int second = std::min(first.y() + h, std::max(area.top(), area.bottom() + 1 - h));
    return {pile.Owner, {first, QPoint(first.x(), second)}};
}

void TFormStatus::fitColumns() {
    // The designed widths of "No", "武装名" and "残弾"; "装甲値" has none.
    const int designed[4] = {30, 100, 40, 0};
    int total = 0;
    for (int i = 0; i < 4; ++i) {
        ListView1->resizeColumnToContents(i); // the heading's and the cells' width
        const int w = std::max(designed[i], ListView1->columnWidth(i));
        ListView1->setColumnWidth(i, w);
        total += w;
    }
    // The list shows every column in full, a vertical scroll bar included.
    ListView1->setMinimumWidth(plat::ui::scrolledWidth(ListView1, total));
    if (layout()) layout()->activate();
    const int least = std::max(minimumSizeHint().width(), plat::ui::captionWidth(windowTitle()));
    setFixedSize(std::max(width(), least), std::max(height(), minimumSizeHint().height()));
}

TFormStatus::~TFormStatus() {
    savePlacement();
}

void TFormStatus::savePlacement() {
    if (saved_) return;
    saved_ = true;
    plat::ui::SaveWindowPosition(placement_, this);
    plat::ui::SaveWindowSize(placement_, this);
}

void TFormStatus::closeEvent(QCloseEvent* event) {
    // Only the match window ends a status window.
    event->ignore();
}

void TFormStatus::drawBar(QPainter& painter, int row, int width, const std::string& text) {
    const int top = RowHeight * row;
    if (width > 0) painter.fillRect(QRect(0, top, width, BarHeight), plat::ui::colorFromRef(barColour_));
    painter.setPen(Qt::black);
    painter.drawText(QRect(TextX, top + 2, BarLength - TextX, BarHeight), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromLatin1(text.c_str()));
}

void TFormStatus::InitStatusWindow(const TArmoredKnight& ak, uint32_t colour) {
    barColour_ = colour;
    setWindowTitle(fromSjis(statusTitle(side_, ak)));
    bars_.fill(Qt::white);
    {
        QPainter painter(&bars_);
        QFont small = painter.font();
        small.setPixelSize(11);
        painter.setFont(small);
        const auto all = partBars(ak);
        for (int i = 0; i < BodyPartCount; ++i)
            drawBar(painter, i, BarLength, all[static_cast<size_t>(i)].Text);
    }
    ImageP1->setPixmap(bars_);
    FillWeaponList(ak);
    fitColumns();
}

void TFormStatus::UpdateStatusWindow(const TArmoredKnight& ak) {
    bars_.fill(Qt::white);
    {
        QPainter painter(&bars_);
        QFont small = painter.font();
        small.setPixelSize(11);
        painter.setFont(small);
        const auto all = partBars(ak);
        for (int i = 0; i < BodyPartCount; ++i) {
            const PartBar& bar = all[static_cast<size_t>(i)];
            drawBar(painter, i, bar.Width, bar.Text);
        }
    }
    ImageP1->setPixmap(bars_);
    FillWeaponList(ak);
}

void TFormStatus::FillWeaponList(const TArmoredKnight& ak) {
    ListView1->clear();
    for (const WeaponRow& row : weaponRows(ak)) {
        auto* item = new QTreeWidgetItem(ListView1);
        item->setText(0, fromSjis(row.No));
        item->setText(1, fromSjis(row.Name));
        item->setText(2, fromSjis(row.Ammo));
        item->setText(3, fromSjis(row.Armor));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
}

} // namespace versus::ui
