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

// The text being written, in a buffer on the stack; `Full` once it would
// not fit (the C library then writes it).
struct Out {
    char Bytes[1024];
    size_t Size = 0;
    bool Full = false;
    void put(std::string_view s) {
        if (s.empty()) return; // data() may be null
        if (Full || s.size() > sizeof Bytes - Size) {
            Full = true;
            return;
        }
        std::memcpy(Bytes + Size, s.data(), s.size());
        Size += s.size();
    }
    void fill(char c, size_t n) {
        if (Full || n > sizeof Bytes - Size) {
            Full = true;
            return;
        }
        std::memset(Bytes + Size, c, n);
        Size += n;
    }
};

// The body `text` (a sign before it) in a field of `width`, as printf pads.
void putField(Out& out, const Spec& spec, size_t width, std::string_view sign, std::string_view text) {
    size_t length = sign.size() + text.size();
    size_t pad = width > length ? width - length : 0;
    if (spec.Left) {
        out.put(sign);
        out.put(text);
        out.fill(' ', pad);
    } else if (spec.Zero && spec.Conversion != 's') {
        out.put(sign);
        out.fill('0', pad);
        out.put(text);
    } else {
        out.fill(' ', pad);
        out.put(sign);
        out.put(text);
    }
}

// Writes the format directly; false at the first directive it leaves to
// vsnprintf (the arguments read so far are then to be read again).
bool putDirect(Out& out, const char* format, std::va_list args) {
    const char* f = format;
    for (const char* pct = std::strchr(f, '%'); pct; pct = std::strchr(f, '%')) {
        out.put(std::string_view(f, static_cast<size_t>(pct - f)));
        Spec spec;
        f = parseSpec(pct + 1, spec);
        if (!f) return false;
        if (spec.Conversion == '%') {
            out.put("%");
            continue;
        }
        int width = spec.StarWidth ? va_arg(args, int) : spec.Width;
        if (width < 0) {
            spec.Left = true;
            width = -width;
        }
        size_t w = static_cast<size_t>(width);
        if (spec.Conversion == 's') {
            const char* s = va_arg(args, const char*);
            putField(out, spec, w, {}, s ? std::string_view(s) : std::string_view("(null)"));
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
        putField(out, spec, w, sign, std::string_view(p, static_cast<size_t>(end - p)));
    }
    out.put(f);
    return true;
}

} // namespace

std::string FormatText(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    Out direct;
    bool done = putDirect(direct, format, args) && !direct.Full;
    va_end(args);
    std::string out;
    if (done) {
        out.assign(direct.Bytes, direct.Size);
    } else {
        // One pass for the usual short text; a longer one is formatted again
        // into a buffer of its size.
        std::va_list last;
        va_copy(last, again);
        char small[512];
        int n = std::vsnprintf(small, sizeof small, format, again);
        if (n > 0 && static_cast<size_t>(n) < sizeof small) {
            out.assign(small, static_cast<size_t>(n));
        } else if (n > 0) {
            out.assign(static_cast<size_t>(n), '\0');
            std::vsnprintf(out.data(), out.size() + 1, format, last);
        }
        va_end(last);
    }
    va_end(again);
    return out;
}

} // namespace cv
