#include <Foundation/NSDateFormatter.h>

#include "IcuDates.h"

#include <platform/Environment.h>

namespace {

// A word as a literal of an ICU pattern.
std::string quotedLiteral(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        quoted.push_back(c);
        if (c == '\'')
            quoted.push_back('\'');
    }
    quoted.push_back('\'');
    return quoted;
}

// Fills a "{1}, {0}" glue with the date part ({1}) and the time part ({0}).
std::string joinDateAndTime(const std::string& glue, const std::string& date, const std::string& time)
{
    std::string joined;
    for (size_t i = 0; i < glue.size(); ++i) {
        const bool placeholder = glue[i] == '{' && i + 2 < glue.size() && glue[i + 2] == '}';
        if (placeholder && (glue[i + 1] == '0' || glue[i + 1] == '1')) {
            joined += glue[i + 1] == '1' ? date : time;
            i += 2;
        } else {
            joined.push_back(glue[i]);
        }
    }
    return joined;
}

// Calendar days from the local day of `from` to the local day of `to`.
int dayDistance(dates::IcuSession& icu, const std::string& zone, UDate from, UDate to)
{
    icu::Calendar& calendar = icu.calendar(zone);
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(from, status);
    const int32_t fromDay = calendar.get(UCAL_JULIAN_DAY, status);
    calendar.setTime(to, status);
    const int32_t toDay = calendar.get(UCAL_JULIAN_DAY, status);
    return U_SUCCESS(status) ? toDay - fromDay : 0;
}

} // namespace

Class NSDateFormatter::classObject()
{
    return objc::registeredClass<NSDateFormatter>("NSDateFormatter");
}

NSDateFormatter::NSDateFormatter()
    : locale_(NSLocale::currentLocale())
    , calendar_(NSCalendar::currentCalendar())
    , timeZone_(NSTimeZone::defaultTimeZone())
{
}

Ref<NSString> NSDateFormatter::dateFormatFromTemplate(const NSString* dateTemplate, NSUInteger, const NSLocale* locale)
{
    if (!dateTemplate)
        return nil;
    const Ref<NSString> identifier
        = locale ? locale->localeIdentifier() : NSLocale::currentLocale()->localeIdentifier();
    dates::IcuSession icu;
    return NSString::string(icu.bestPattern(identifier->UTF8String(), dateTemplate->UTF8String()));
}

void NSDateFormatter::setDateStyle(NSDateFormatterStyle style)
{
    if (style == dateStyle_ && !fixedFormat_)
        return;
    dateStyle_ = style;
    fixedFormat_.reset();
}

void NSDateFormatter::setTimeStyle(NSDateFormatterStyle style)
{
    if (style == timeStyle_ && !fixedFormat_)
        return;
    timeStyle_ = style;
    fixedFormat_.reset();
}

void NSDateFormatter::setDoesRelativeDateFormatting(bool relative)
{
    doesRelativeDateFormatting_ = relative;
}

Ref<NSString> NSDateFormatter::dateFormat() const
{
    if (fixedFormat_)
        return NSString::string(*fixedFormat_);
    dates::IcuSession icu;
    return NSString::string(icu.stylePattern(locale_->localeIdentifier()->UTF8String(), dateStyle_, timeStyle_));
}

void NSDateFormatter::setDateFormat(const NSString* format)
{
    if (format)
        fixedFormat_ = format->UTF8String();
    else
        fixedFormat_.reset();
}

void NSDateFormatter::setLocale(NSLocale* locale)
{
    if (locale == locale_.get())
        return;
    locale_ = locale ? Ref<NSLocale>(locale) : NSLocale::currentLocale();
}

void NSDateFormatter::setCalendar(NSCalendar* calendar)
{
    if (calendar == calendar_.get())
        return;
    calendar_ = calendar ? Ref<NSCalendar>(calendar) : NSCalendar::currentCalendar();
}

void NSDateFormatter::setTimeZone(NSTimeZone* timeZone)
{
    if (timeZone == timeZone_.get())
        return;
    timeZone_ = timeZone ? Ref<NSTimeZone>(timeZone) : NSTimeZone::defaultTimeZone();
}

Ref<NSString> NSDateFormatter::stringFromDate(const NSDate* date) const
{
    if (!date)
        return nil;
    const std::string& locale = locale_->localeIdentifier()->UTF8String();
    const std::string& zone = timeZone_->name()->UTF8String();
    const UDate when = dates::toUDate(date);
    dates::IcuSession icu;
    if (fixedFormat_)
        return NSString::string(icu.format(locale, *fixedFormat_, zone, when));
    if (doesRelativeDateFormatting_ && dateStyle_ != NSDateFormatterNoStyle) {
        // ICU's own relative formatting counts from the system clock; the day
        // offset must count from the host's "now".
        const UDate now = platform::currentUnixTime() * 1000.0;
        const std::string& word = icu.relativeDayName(locale, dayDistance(icu, zone, now, when));
        if (!word.empty()) {
            std::string pattern = quotedLiteral(word);
            if (timeStyle_ != NSDateFormatterNoStyle)
                pattern = joinDateAndTime(
                    icu.dateTimeGlue(locale), pattern, icu.stylePattern(locale, NSDateFormatterNoStyle, timeStyle_));
            return NSString::string(icu.format(locale, pattern, zone, when));
        }
    }
    return NSString::string(icu.format(locale, icu.stylePattern(locale, dateStyle_, timeStyle_), zone, when));
}
