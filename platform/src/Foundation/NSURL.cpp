#include <Foundation/NSURL.h>

#include <cctype>
#include <cstring>

namespace {

bool isHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Unreserved and reserved characters of RFC 3986, plus well-formed %XX escapes.
bool isValidURLText(std::string_view text)
{
    if (text.empty())
        return false;
    static constexpr const char* allowed = "-._~:/?#[]@!$&'()*+,;=";
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2]))
                return false;
            i += 2;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || !(std::isalnum(byte) || std::strchr(allowed, c)))
            return false;
    }
    return true;
}

} // namespace

Class NSURL::classObject()
{
    return objc::registeredClass<NSURL>("NSURL");
}

NSURL::NSURL(Ref<NSString> text)
    : text_(std::move(text))
{
}

Ref<NSURL> NSURL::URLWithString(const NSString* text)
{
    if (!text || !isValidURLText(text->UTF8String()))
        return nullptr;
    return makeRef<NSURL>(text->copy());
}

Ref<NSURL> NSURL::URLWithString(std::string_view text)
{
    return URLWithString(NSString::string(text).get());
}

std::string NSURL::scheme() const
{
    const std::string& text = text_->UTF8String();
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return {};
    for (size_t i = 1; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return {};
    }
    return text.substr(0, colon);
}

Ref<NSURL> NSURL::copy() const
{
    return Ref<NSURL>(const_cast<NSURL*>(this));
}

bool NSURL::isEqual(const NSObject* other) const
{
    auto* url = dynamicCast<NSURL>(const_cast<NSObject*>(other));
    return url && url->text_->isEqual(text_.get());
}
