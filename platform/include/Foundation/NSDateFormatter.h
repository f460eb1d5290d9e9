// NSDateFormatter: dates as text in a locale, a calendar and a time zone, by
// date and time styles (with optional relative day names) or by a fixed pattern.
// ICU does the work; its formatters are kept and shared underneath, so making
// and configuring NSDateFormatter objects is cheap.
#pragma once

#include <Foundation/NSCalendar.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSLocale.h>
#include <Foundation/NSString.h>
#include <Foundation/NSTimeZone.h>
#include <platform/Export.h>

#include <optional>
#include <string>

enum NSDateFormatterStyle : NSUInteger {
    NSDateFormatterNoStyle = 0,
    NSDateFormatterShortStyle = 1,
    NSDateFormatterMediumStyle = 2,
    NSDateFormatterLongStyle = 3,
    NSDateFormatterFullStyle = 4,
};

class PLATFORM_EXPORT NSDateFormatter : public objc::Subclass<NSDateFormatter, NSObject> {
public:
    static Class classObject();

    // Starts with the current locale, the current calendar and the default time
    // zone, both styles NSDateFormatterNoStyle.
    NSDateFormatter();

    // The locale's pattern for a template of pattern letters ("EEEEMMMMd" gives
    // "EEEE, MMMM d" in en_US, "EEEE, d. MMMM" in de_DE; "j" gives the locale's
    // hour, "h a" or "HH"). Options are reserved: pass 0. A nil locale means the
    // current one; nil for a nil template.
    static Ref<NSString> dateFormatFromTemplate(
        const NSString* dateTemplate, NSUInteger options, const NSLocale* locale);

    NSDateFormatterStyle dateStyle() const { return dateStyle_; }
    // Setting a style drops a fixed pattern set before.
    void setDateStyle(NSDateFormatterStyle style);
    NSDateFormatterStyle timeStyle() const { return timeStyle_; }
    void setTimeStyle(NSDateFormatterStyle style);

    // With a date style, names the days the locale has words for (today,
    // tomorrow, yesterday, and in some locales the days after and before those)
    // instead of printing the date, counted from the host's "now" in this
    // formatter's time zone: "Tomorrow, 2:05 PM", "Morgen, 14:05".
    bool doesRelativeDateFormatting() const { return doesRelativeDateFormatting_; }
    void setDoesRelativeDateFormatting(bool relative);

    // The fixed pattern, or the pattern that the styles give in this locale.
    Ref<NSString> dateFormat() const;
    // A fixed ICU pattern ("EEE, h:mm a"); it stays when the locale changes. Nil
    // goes back to the styles.
    void setDateFormat(const NSString* format);

    // Nil sets the current locale, calendar or the default zone.
    Ref<NSLocale> locale() const { return locale_; }
    void setLocale(NSLocale* locale);
    Ref<NSCalendar> calendar() const { return calendar_; }
    void setCalendar(NSCalendar* calendar);
    Ref<NSTimeZone> timeZone() const { return timeZone_; }
    void setTimeZone(NSTimeZone* timeZone);

    // Nil for a nil date; an empty string when both styles are
    // NSDateFormatterNoStyle and there is no fixed pattern.
    Ref<NSString> stringFromDate(const NSDate* date) const;

private:
    NSDateFormatterStyle dateStyle_ = NSDateFormatterNoStyle;
    NSDateFormatterStyle timeStyle_ = NSDateFormatterNoStyle;
    bool doesRelativeDateFormatting_ = false;
    std::optional<std::string> fixedFormat_;
    Ref<NSLocale> locale_;
    Ref<NSCalendar> calendar_;
    Ref<NSTimeZone> timeZone_;
};
