#include "main/splash.h"

#include "main/theme.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "platform/version.h"
#include "sjis/main.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

namespace vell {

namespace {

// Room between the window's margin and the title and version.
constexpr int TextIndent = 12;

void colourLabel(QLabel* label, uint32_t colorref) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, plat::ui::colorFromRef(colorref));
    label->setPalette(pal);
}

} // namespace

TFormSplash::TFormSplash(const std::string& programFolder)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(plat::ui::fromSjis(mt::AppTitle));

    // 1. Version texts of the program.
    plat::RcVersion version("Vell.exe");
    const char* fileVersion = "";
    const char* copyright = "";
    version.FileVersion(&fileVersion);
    version.LegalCopyright(&copyright);

    plat::IniFile ini = OpenThemeIni(programFolder);

    // 2. Picture; the window takes its size.
    picture_ = new QLabel(this);
    picture_->setAlignment(Qt::AlignCenter);
    std::string pic =
        resolveThemeName(programFolder, ini.readString("Images", "Splash", "vlstitle.bmp"), "Images\\");
    QPixmap pixmap;
    if (!pic.empty() && plat::isRegularFile(pic)) {
        if (auto os = plat::toOsPath(pic)) pixmap.load(QString::fromUtf8(os->c_str()));
    }
    if (!pixmap.isNull()) {
        picture_->setPixmap(pixmap);
        picture_->setGeometry(0, 0, pixmap.width(), pixmap.height());
        setFixedSize(pixmap.size());
    } else {
        // No picture: the labels on a plain dark window.
        setFixedSize(400, 240);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(32, 32, 48));
        setPalette(pal);
        setAutoFillBackground(true);
    }

    // 3. Timer.
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(splashTimer(ini));
    connect(timer_, &QTimer::timeout, this, [this] { Timer1Timer(); });

    // 4. Labels and their colours. The title and the version stand on the
    // left three fifths of the window, clear of the picture's figure on the
    // right; a title too wide for that room gets a smaller font.
    title_ = new QLabel(plat::ui::fromSjis(mt::AppTitle), this);
    version_ = new QLabel(QStringLiteral("Version %1").arg(plat::ui::fromSjis(fileVersion)), this);
    copyright_ = new QLabel(plat::ui::fromSjis(copyright), this);
    auto* layout = new QVBoxLayout(this);
    const int textRoom = width() * 3 / 5 - layout->contentsMargins().left() - TextIndent;
    QFont titleFont = title_->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(QFontInfo(title_->font()).pixelSize() * 2);
    while (titleFont.pixelSize() > 8 && QFontMetrics(titleFont).horizontalAdvance(title_->text()) > textRoom)
        titleFont.setPixelSize(titleFont.pixelSize() - 1);
    title_->setFont(titleFont);
    colourLabel(title_, themeColor(ini, "Splash_Title"));
    colourLabel(version_, themeColor(ini, "Splash_Version"));
    colourLabel(copyright_, themeColor(ini, "Splash_Copyright"));
    layout->addStretch(3);
    for (QLabel* label : {title_, version_}) {
        auto* row = new QHBoxLayout;
        row->addSpacing(TextIndent);
        row->addWidget(label, 0, Qt::AlignLeft);
        row->addStretch(1);
        layout->addLayout(row);
    }
    layout->addStretch(1);
    layout->addWidget(copyright_, 0, Qt::AlignRight | Qt::AlignBottom);
    picture_->lower();

    // 5. Start sound.
    std::string sound = resolveThemeName(programFolder, ini.readString("Sound", "Splash", ""), "Sound\\");
    if (!sound.empty() && plat::isRegularFile(sound) &&
        player_.open(plat::desktop::MediaWaveAudio, sound) == 0)
        player_.play();

    plat::ui::centreOnScreen(this);
    timer_->start();
}

TFormSplash::~TFormSplash() = default;

int TFormSplash::timerInterval() const {
    return timer_->interval();
}

void TFormSplash::Timer1Timer() {
    timer_->stop();
    player_.close();
    close(); // deletes the window (WA_DeleteOnClose)
}

} // namespace vell
