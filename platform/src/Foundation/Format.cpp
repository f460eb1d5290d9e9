#include <Foundation/FormatString.h>

#include <objc/NSObject.h>

#include <cstdio>
#include <string_view>

namespace platform {
namespace {

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

// An integer read back as the type the length names, as va_arg would read it,
// then widened so that one snprintf call serves every length.
template <typename Signed, typename Unsigned> void appendInteger(
    std::string& out, std::string directive, char conversion, unsigned long long bits)
{
    directive += "ll";
    directive += conversion;
    if (conversion == 'd' || conversion == 'i')
        appendFormatted(out, directive, static_cast<long long>(static_cast<Signed>(bits)));
    else
        appendFormatted(out, directive, static_cast<unsigned long long>(static_cast<Unsigned>(bits)));
}

void appendInteger(std::string& out, const std::string& directive, const FormatDirective& conversion,
    unsigned long long bits)
{
    using enum FormatLength;
    const char c = conversion.conversion;
    switch (conversion.length) {
    case Long:
        return appendInteger<long, unsigned long>(out, directive, c, bits);
    case LongLong:
    case IntMax:
        return appendInteger<long long, unsigned long long>(out, directive, c, bits);
    case Size:
    case PtrDiff:
        return appendInteger<std::ptrdiff_t, std::size_t>(out, directive, c, bits);
    case Char:
        return appendInteger<signed char, unsigned char>(out, directive, c, bits);
    case Short:
        return appendInteger<short, unsigned short>(out, directive, c, bits);
    default:
        return appendInteger<int, unsigned>(out, directive, c, bits);
    }
}

// Hands out the arguments in order; null once they run out.
class ArgumentReader {
public:
    explicit ArgumentReader(std::span<const FormatArgument> arguments)
        : arguments_(arguments)
    {
    }

    const FormatArgument* next() { return next_ < arguments_.size() ? &arguments_[next_++] : nullptr; }

private:
    std::span<const FormatArgument> arguments_;
    std::size_t next_ = 0;
};

// A width or precision taken from the arguments; null when it is missing or not an int.
const FormatArgument* starArgument(ArgumentReader& arguments)
{
    const FormatArgument* argument = arguments.next();
    return argument && argument->type() == FormatArgumentType::Int ? argument : nullptr;
}

void appendConversion(std::string& out, const std::string& directive, const FormatDirective& d,
    const FormatArgument& argument)
{
    switch (d.kind()) {
    case FormatConversion::Integer:
        appendInteger(out, directive, d, argument.integer());
        break;
    case FormatConversion::Character:
        appendFormatted(out, directive + 'c', static_cast<int>(argument.integer()));
        break;
    case FormatConversion::Real:
        if (d.length == FormatLength::LongDouble)
            appendFormatted(out, directive + 'L' + d.conversion, argument.longReal());
        else
            appendFormatted(out, directive + d.conversion, argument.real());
        break;
    case FormatConversion::CString:
        appendFormatted(out, directive + 's', argument.text() ? argument.text() : "(null)");
        break;
    case FormatConversion::Pointer:
        appendFormatted(out, directive + 'p', argument.pointer());
        break;
    case FormatConversion::Object: {
        const std::string text = argument.object() ? argument.object()->description() : "(null)";
        appendFormatted(out, directive + 's', text.c_str());
        break;
    }
    case FormatConversion::Unknown:
        break;
    }
}

// Appends one directive's output, taking its arguments; false when it is to be
// printed as written: an unknown conversion, or an argument missing or not fitting.
bool appendDirective(std::string& out, const FormatDirective& d, ArgumentReader& arguments)
{
    // Flags, width and precision go to snprintf as written; a * takes an int argument.
    std::string directive(1, '%');
    directive += d.flags;
    bool complete = true;
    if (d.widthFromArgument) {
        const FormatArgument* width = starArgument(arguments);
        complete = width != nullptr;
        if (width)
            directive += std::to_string(static_cast<int>(width->integer()));
    }
    directive += d.width;
    if (d.hasPrecision) {
        directive += '.';
        if (d.precisionFromArgument) {
            const FormatArgument* precision = starArgument(arguments);
            complete = complete && precision;
            // A negative precision from the arguments means none at all.
            if (precision && static_cast<int>(precision->integer()) < 0)
                directive.pop_back();
            else if (precision)
                directive += std::to_string(static_cast<int>(precision->integer()));
        }
        directive += d.precision;
    }
    if (!d.isKnown())
        return false;
    const FormatArgument* argument = arguments.next();
    if (!complete || !argument || !conversionTakes(d, argument->type()))
        return false;
    appendConversion(out, directive, d, *argument);
    return true;
}

} // namespace

std::string formatObjC(const char* format, std::span<const FormatArgument> arguments)
{
    const std::string_view text = format ? format : "(null)";
    ArgumentReader reader(arguments);
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t percent = text.find('%', at);
        out.append(text.substr(at, percent - at));
        if (percent == std::string_view::npos)
            break;
        at = percent;
        const FormatDirective directive = parseFormatDirective(text, at);
        if (directive.isPercentSign)
            out += '%';
        else if (!appendDirective(out, directive, reader))
            out.append(directive.text);
    }
    return out;
}

} // namespace platform
