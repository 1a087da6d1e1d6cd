// FormatText (queue.h): printf into a std::string. The conversions the
// texts of the game processor use (%s, %d, %i, %u, %x with the flags
// '-', '+', ' ', '0', a width or '*', and 'l') are appended directly, as
// printf would write them; a format with anything else goes to vsnprintf.
// The sheets and the status lines format thousands of texts per event, and
// the C library's printf costs more than the text it writes.
#include "core/queue.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace cv {

namespace {

struct Spec {
    bool Left = false;  // '-'
    bool Plus = false;  // '+'
    bool Space = false; // ' '
    bool Zero = false;  // '0'
    bool StarWidth = false;
    int Width = 0;
    bool Long = false; // 'l'
    char Conversion = 0;
};

// Reads the directive after a '%' at `f`; the end of it, or null when it is
// one the direct path leaves to vsnprintf.
const char* parseSpec(const char* f, Spec& spec) {
    for (;; ++f) {
        if (*f == '-')
            spec.Left = true;
        else if (*f == '+')
            spec.Plus = true;
        else if (*f == ' ')
            spec.Space = true;
        else if (*f == '0')
            spec.Zero = true;
        else
            break;
    }
    if (*f == '*') {
        spec.StarWidth = true;
        ++f;
    } else {
        while (*f >= '0' && *f <= '9') {
            if (spec.Width > 100000) return nullptr;
            spec.Width = spec.Width * 10 + (*f++ - '0');
        }
    }
    if (*f == 'l') {
        spec.Long = true;
        ++f;
    }
    char c = *f;
    bool number = c == 'd' || c == 'i' || c == 'u' || c == 'x';
    if (c == 's') {
        if (spec.Plus || spec.Space || spec.Zero || spec.Long) return nullptr;
    } else if (c == '%') {
        if (spec.Left || spec.Plus || spec.Space || spec.Zero || spec.StarWidth || spec.Width || spec.Long)
            return nullptr;
    } else if (!number) {
        return nullptr;
    }
    spec.Conversion = c;
    return f + 1;
}

// The body `text` (a sign or prefix `sign` before it) in a field of `width`.
void appendField(std::string& out, const Spec& spec, int width, std::string_view sign,
                 std::string_view text) {
    size_t length = sign.size() + text.size();
    size_t pad = width > 0 && static_cast<size_t>(width) > length ? static_cast<size_t>(width) - length : 0;
    bool left = spec.Left || width < 0;
    if (left) {
        out += sign;
        out += text;
        out.append(pad, ' ');
    } else if (spec.Zero && spec.Conversion != 's') {
        out += sign;
        out.append(pad, '0');
        out += text;
    } else {
        out.append(pad, ' ');
        out += sign;
        out += text;
    }
}

// The directives of a format, read once.
struct Directives {
    static constexpr int Max = 16;
    Spec Specs[Max];
    const char* At[Max];  // its '%'
    const char* End[Max]; // the byte after it
    int Count = 0;
};

// False when a directive is one the direct path leaves to vsnprintf.
bool readDirectives(const char* format, Directives& d) {
    for (const char* f = std::strchr(format, '%'); f; f = std::strchr(f, '%')) {
        if (d.Count == Directives::Max) return false;
        Spec& spec = d.Specs[d.Count];
        const char* end = parseSpec(f + 1, spec);
        if (!end) return false;
        d.At[d.Count] = f;
        d.End[d.Count] = end;
        ++d.Count;
        f = end;
    }
    return true;
}

void appendDirect(std::string& out, const char* format, const Directives& d, std::va_list args) {
    const char* f = format;
    for (int i = 0; i < d.Count; ++i) {
        out.append(f, static_cast<size_t>(d.At[i] - f));
        f = d.End[i];
        Spec spec = d.Specs[i];
        if (spec.Conversion == '%') {
            out += '%';
            continue;
        }
        int width = spec.StarWidth ? va_arg(args, int) : spec.Width;
        if (width < 0) {
            spec.Left = true;
            width = -width;
        }
        if (spec.Conversion == 's') {
            const char* s = va_arg(args, const char*);
            appendField(out, spec, width, {}, s ? std::string_view(s) : std::string_view("(null)"));
            continue;
        }
        char digits[24];
        char* end = digits + sizeof digits;
        char* p = end;
        std::string_view sign;
        if (spec.Conversion == 'd' || spec.Conversion == 'i') {
            long v = spec.Long ? va_arg(args, long) : va_arg(args, int);
            unsigned long m = v < 0 ? 0ul - static_cast<unsigned long>(v) : static_cast<unsigned long>(v);
            do {
                *--p = static_cast<char>('0' + m % 10);
                m /= 10;
            } while (m);
            sign = v < 0 ? "-" : spec.Plus ? "+" : spec.Space ? " " : "";
        } else {
            unsigned long v = spec.Long ? va_arg(args, unsigned long) : va_arg(args, unsigned);
            unsigned base = spec.Conversion == 'x' ? 16 : 10;
            do {
                *--p = "0123456789abcdef"[v % base];
                v /= base;
            } while (v);
        }
        appendField(out, spec, width, sign, std::string_view(p, static_cast<size_t>(end - p)));
    }
    out += f;
}

} // namespace

std::string FormatText(const char* format, ...) {
    std::string out;
    std::va_list args;
    va_start(args, format);
    Directives d;
    if (readDirectives(format, d)) {
        out.reserve(std::strlen(format) + 32 * static_cast<size_t>(d.Count));
        appendDirect(out, format, d, args);
        va_end(args);
        return out;
    }
    std::va_list again;
    va_copy(again, args);
    // One pass for the usual short text; a longer one is formatted again
    // into a buffer of its size.
    char small[512];
    int n = std::vsnprintf(small, sizeof small, format, args);
    if (n > 0 && static_cast<size_t>(n) < sizeof small) {
        out.assign(small, static_cast<size_t>(n));
    } else if (n > 0) {
        out.assign(static_cast<size_t>(n), '\0');
        std::vsnprintf(out.data(), out.size() + 1, format, again);
    }
    va_end(again);
    va_end(args);
    return out;
}

} // namespace cv
