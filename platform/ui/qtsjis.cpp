#include "platform/ui/qtsjis.h"

#include "platform/codec.h"
#include "platform/sjischar.h"
#include "platform/syscolour.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <QStringList>

namespace plat::ui {

QString fromSjis(std::string_view cp932) {
    if (auto u = cp932ToUtf8(cp932)) return QString::fromUtf8(u->data(), static_cast<qsizetype>(u->size()));
    // Invalid bytes: decode what can be decoded, byte by byte run.
    QString out;
    size_t i = 0;
    while (i < cp932.size()) {
        size_t len = sjisCharLen(cp932.data(), i, cp932.size());
        if (auto u = cp932ToUtf8(cp932.substr(i, len)))
            out += QString::fromUtf8(u->data(), static_cast<qsizetype>(u->size()));
        else
            out += QChar(0xFFFD);
        i += len;
    }
    return out;
}

std::optional<std::string> toSjis(const QString& text) {
    QByteArray u = text.toUtf8();
    return utf8ToCp932(std::string_view(u.constData(), static_cast<size_t>(u.size())));
}

QColor colorFromRef(uint32_t colorref) {
    if (plat::isSystemColour(colorref)) {
        // A system colour the palette has: shown through the palette.
        QPalette pal = QGuiApplication::palette();
        switch (plat::systemColourIndex(colorref)) {
        case 5: return pal.color(QPalette::Base);            // window background
        case 8: return pal.color(QPalette::Text);            // window text
        case 15: return pal.color(QPalette::Button);         // button face
        case 18: return pal.color(QPalette::ButtonText);     // button text
        case 13: return pal.color(QPalette::Highlight);      // selection
        case 14: return pal.color(QPalette::HighlightedText);
        default: break;                                      // the standard scheme's
        }
    }
    const uint32_t rgb = plat::rgbOfColour(colorref);
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

uint32_t colorRefFrom(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
           (static_cast<uint32_t>(color.blue()) << 16);
}

QString qtFileFilter(std::string_view windowsFilterCp932) {
    QStringList parts = fromSjis(windowsFilterCp932).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        QString desc = parts[i];
        // A description that already shows its patterns keeps them once.
        if (desc.contains('(')) desc = desc.left(desc.indexOf('(')).trimmed();
        filters << QStringLiteral("%1 (%2)").arg(desc, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

QFont displayFont(std::string_view storedFaceCp932, int pointSize) {
    QString face = fromSjis(storedFaceCp932);
    QFont f;
    if (!face.isEmpty() && QFontDatabase::families().contains(face)) {
        f.setFamily(face);
    } else {
        f.setFamilies({QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP"),
                       QStringLiteral("monospace")});
        f.setStyleHint(QFont::TypeWriter);
    }
    if (pointSize > 0) f.setPointSize(pointSize);
    return f;
}

SjisByteValidator::SjisByteValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State SjisByteValidator::validate(QString& input, int&) const {
    auto bytes = toSjis(input);
    if (!bytes) return Invalid;
    return static_cast<int>(bytes->size()) <= maxBytes_ ? Acceptable : Invalid;
}

} // namespace plat::ui
