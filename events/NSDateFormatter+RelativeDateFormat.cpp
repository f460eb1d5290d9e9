#include "events/NSDateFormatter+RelativeDateFormat.h"

#include <dispatch/dispatch.h>

// A day has a relative name exactly when a short date printed with relative
// formatting differs from the same short date printed without it. Every header
// title asks this, so the two formatters that answer it are made once and then
// only pointed at each receiver's locale, calendar and zone, and only when those
// are other objects than last time.

namespace {

struct SharedFormatters {
    Ref<NSDateFormatter> relative;
    Ref<NSDateFormatter> absolute;
};

Ref<NSDateFormatter> makeShortDateFormatter(bool relative)
{
    auto formatter = makeRef<NSDateFormatter>();
    formatter->setDateStyle(NSDateFormatterShortStyle);
    formatter->setTimeStyle(NSDateFormatterNoStyle);
    formatter->setDoesRelativeDateFormatting(relative);
    return formatter;
}

// Made on first use and kept until the process ends.
SharedFormatters& sharedFormatters()
{
    static dispatch_once_t once;
    static SharedFormatters* shared = nullptr;
    dispatch_once(&once, [] {
        shared = new SharedFormatters { makeShortDateFormatter(true), makeShortDateFormatter(false) };
    });
    return *shared;
}

void followReceiver(SharedFormatters& shared, const NSDateFormatter& receiver)
{
    if (receiver.locale().get() != shared.relative->locale().get()) {
        shared.relative->setLocale(receiver.locale().get());
        shared.absolute->setLocale(receiver.locale().get());
    }
    if (receiver.calendar().get() != shared.relative->calendar().get()) {
        shared.relative->setCalendar(receiver.calendar().get());
        shared.absolute->setCalendar(receiver.calendar().get());
    }
    // The day a date falls on depends on the zone as much as on the calendar,
    // and the formatters keep the zone they were made in.
    if (receiver.timeZone().get() != shared.relative->timeZone().get()) {
        shared.relative->setTimeZone(receiver.timeZone().get());
        shared.absolute->setTimeZone(receiver.timeZone().get());
    }
}

} // namespace

Ref<NSString> relativeStringFromDateIfPossible(const NSDateFormatter* formatter, const NSDate* date)
{
    if (!formatter || !date)
        return nil;
    SharedFormatters& shared = sharedFormatters();
    followReceiver(shared, *formatter);
    Ref<NSString> relative = shared.relative->stringFromDate(date);
    if (relative->isEqualToString(shared.absolute->stringFromDate(date).get()))
        return formatter->stringFromDate(date);
    return relative;
}
