// NSURL: a URL parsed from text. URLWithString answers nil for text that is not
// a valid URL (a space, a character outside RFC 3986, a broken percent escape).
#pragma once

#include <Foundation/NSString.h>
#include <platform/Export.h>

class PLATFORM_EXPORT NSURL : public objc::Subclass<NSURL, NSObject> {
public:
    static Class classObject();

    static Ref<NSURL> URLWithString(const NSString* text);
    static Ref<NSURL> URLWithString(std::string_view text);

    const NSString* absoluteString() const { return text_.get(); }
    // The part before the first ':', or empty for a relative URL.
    std::string scheme() const;
    Ref<NSURL> copy() const;

    std::string description() const override { return text_->UTF8String(); }
    bool isEqual(const NSObject* other) const override;
    std::size_t hash() const override { return text_->hash(); }

    explicit NSURL(Ref<NSString> text);

private:
    Ref<NSString> text_;
};
