// The Qt edge of the system's Shift-JIS text, and the small conversions every
// window needs: colours kept as Windows COLORREF values, file-dialog filters
// in the "desc|pat;pat" form, edit limits counted in Shift-JIS bytes, and the
// display font.
#pragma once

#include "platform/export.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QValidator>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plat::ui {

// Shift-JIS bytes to a QString for display (undecodable bytes show as U+FFFD).
PLAT_API QString fromSjis(std::string_view cp932);
// A QString to Shift-JIS; nullopt when a character has no CP932 form.
PLAT_API std::optional<std::string> toSjis(const QString& text);

// COLORREF 0x00BBGGRR ↔ QColor. System colours (plat::isSystemColour) are
// shown through the palette where it has them, else in the standard
// scheme (plat::rgbOfColour), and kept unchanged when stored.
PLAT_API QColor colorFromRef(uint32_t colorref);
PLAT_API uint32_t colorRefFrom(const QColor& color);

// "説明|*.reg;*.txt|..." → "説明 (*.reg *.txt);;...".
PLAT_API QString qtFileFilter(std::string_view windowsFilterCp932);

// The font to show text in: the stored face when the machine has it, else a
// CJK monospace face of the same size. The stored name is never changed.
PLAT_API QFont displayFont(std::string_view storedFaceCp932, int pointSize);

// Limits an edit to a number of Shift-JIS bytes and refuses characters
// without a CP932 form.
class PLAT_API SjisByteValidator : public QValidator {
public:
    SjisByteValidator(int maxBytes, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;

private:
    int maxBytes_;
};

} // namespace plat::ui
