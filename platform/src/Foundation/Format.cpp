#include "Format.h"

#include <objc/NSObject.h>

#include <cstdio>
#include <cstring>
#include <string_view>

namespace platform {
namespace {

enum class Length { None, Char, Short, Long, LongLong, Size, PtrDiff, IntMax, LongDouble };

Length parseLength(const char*& p)
{
    switch (*p) {
    case 'h':
        ++p;
        if (*p == 'h') {
            ++p;
            return Length::Char;
        }
        return Length::Short;
    case 'l':
        ++p;
        if (*p == 'l') {
            ++p;
            return Length::LongLong;
        }
        return Length::Long;
    case 'q':
        ++p;
        return Length::LongLong;
    case 'z':
        ++p;
        return Length::Size;
    case 't':
        ++p;
        return Length::PtrDiff;
    case 'j':
        ++p;
        return Length::IntMax;
    case 'L':
        ++p;
        return Length::LongDouble;
    default:
        return Length::None;
    }
}

template <typename T> void appendFormatted(std::string& out, const std::string& directive, T value)
{
    char buffer[128];
    int needed = std::snprintf(buffer, sizeof buffer, directive.c_str(), value);
    if (needed < 0)
        return;
    if (static_cast<size_t>(needed) < sizeof buffer) {
        out.append(buffer, static_cast<size_t>(needed));
        return;
    }
    std::string big(static_cast<size_t>(needed) + 1, '\0');
    std::snprintf(big.data(), big.size(), directive.c_str(), value);
    out.append(big.data(), static_cast<size_t>(needed));
}

void appendSigned(std::string& out, std::string directive, Length length, va_list& args)
{
    // Normalise every length to long long so one snprintf call serves them all.
    long long value;
    switch (length) {
    case Length::Long:
        value = va_arg(args, long);
        break;
    case Length::LongLong:
    case Length::IntMax:
        value = va_arg(args, long long);
        break;
    case Length::Size:
    case Length::PtrDiff:
        value = va_arg(args, std::ptrdiff_t);
        break;
    case Length::Char:
        value = static_cast<signed char>(va_arg(args, int));
        break;
    case Length::Short:
        value = static_cast<short>(va_arg(args, int));
        break;
    default:
        value = va_arg(args, int);
    }
    directive.insert(directive.size() - 1, "ll");
    appendFormatted(out, directive, value);
}

void appendUnsigned(std::string& out, std::string directive, Length length, va_list& args)
{
    unsigned long long value;
    switch (length) {
    case Length::Long:
        value = va_arg(args, unsigned long);
        break;
    case Length::LongLong:
    case Length::IntMax:
        value = va_arg(args, unsigned long long);
        break;
    case Length::Size:
    case Length::PtrDiff:
        value = va_arg(args, size_t);
        break;
    case Length::Char:
        value = static_cast<unsigned char>(va_arg(args, unsigned));
        break;
    case Length::Short:
        value = static_cast<unsigned short>(va_arg(args, unsigned));
        break;
    default:
        value = va_arg(args, unsigned);
    }
    directive.insert(directive.size() - 1, "ll");
    appendFormatted(out, directive, value);
}

} // namespace

std::string formatObjC(const char* format, va_list arguments)
{
    va_list args;
    va_copy(args, arguments);
    std::string out;
    if (!format)
        format = "(null)";
    for (const char* p = format; *p;) {
        if (*p != '%') {
            const char* next = std::strchr(p, '%');
            const size_t run = next ? static_cast<size_t>(next - p) : std::strlen(p);
            out.append(p, run);
            p += run;
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            out += '%';
            ++p;
            continue;
        }
        // Flags, width and precision go to snprintf as written; '*' takes an int argument.
        std::string directive(1, '%');
        while (*p && std::strchr("-+ #0'", *p))
            directive += *p++;
        auto copyNumberOrStar = [&](bool precision) {
            if (*p == '*') {
                ++p;
                const int value = va_arg(args, int);
                // A negative precision from the arguments means none at all.
                if (precision && value < 0)
                    directive.pop_back();
                else
                    directive += std::to_string(value);
            }
            while (*p >= '0' && *p <= '9')
                directive += *p++;
        };
        copyNumberOrStar(false);
        if (*p == '.') {
            directive += *p++;
            copyNumberOrStar(true);
        }
        const Length length = parseLength(p);
        const char conversion = *p ? *p++ : '\0';
        switch (conversion) {
        case 'd':
        case 'i':
            appendSigned(out, directive + conversion, length, args);
            break;
        case 'u':
        case 'x':
        case 'X':
        case 'o':
            appendUnsigned(out, directive + conversion, length, args);
            break;
        case 'c':
            appendFormatted(out, directive + 'c', va_arg(args, int));
            break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            if (length == Length::LongDouble)
                appendFormatted(out, directive + "L" + conversion, va_arg(args, long double));
            else
                appendFormatted(out, directive + conversion, va_arg(args, double));
            break;
        case 's': {
            const char* text = va_arg(args, const char*);
            appendFormatted(out, directive + 's', text ? text : "(null)");
            break;
        }
        case 'p':
            appendFormatted(out, directive + 'p', va_arg(args, void*));
            break;
        case '@': {
            const NSObject* object = va_arg(args, const NSObject*);
            const std::string text = object ? object->description() : "(null)";
            appendFormatted(out, directive + 's', text.c_str());
            break;
        }
        default:
            // An unknown conversion is printed as written rather than guessed at.
            out.append(start, static_cast<size_t>(p - start));
        }
    }
    va_end(args);
    return out;
}

} // namespace platform
