#include "Occurrences.h"

#include "TimeZones.h"

#include <EventKit/EKEventStore.h>
#include <Foundation/NSLog.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace eventkit {
namespace {

using std::chrono::local_days;

Seconds period(icalrecurrencetype_frequency frequency)
{
    switch (frequency) {
    case ICAL_SECONDLY_RECURRENCE:
        return Seconds(1);
    case ICAL_MINUTELY_RECURRENCE:
        return Seconds(60);
    case ICAL_HOURLY_RECURRENCE:
        return Seconds(3600);
    case ICAL_DAILY_RECURRENCE:
        return oneDay;
    case ICAL_WEEKLY_RECURRENCE:
        return 7 * oneDay;
    case ICAL_MONTHLY_RECURRENCE:
        return 31 * oneDay;
    default:
        return 366 * oneDay;
    }
}

icaltimetype asDate(icaltimetype wall)
{
    wall.is_date = 1;
    wall.hour = wall.minute = wall.second = 0;
    return wall;
}

local_days dayOf(WallTime wall)
{
    return std::chrono::floor<std::chrono::days>(wall);
}

// The last day of an all-day series whose UNTIL is a UTC date-time, which RFC
// 5545 forbids and Exchange writes: the midnight that starts the last day on
// the writer's clock, in UTC. Read in the device's zone it names another date
// in each zone. Whatever the writer's zone from UTC-10 to UTC+13, that midnight
// lies from 13 hours before the day's UTC midnight to 10 hours after it, so the
// date 13 hours after it is the day the writer meant, the same in every zone.
local_days lastDayOfAllDayUntil(const icaltimetype& until)
{
    return dayOf(wallTimeOf(until) + std::chrono::hours(13));
}

Occurrence occurrenceOf(
    const ItemRecord& item, Instant start, const ItemDuration& duration, Instant end, Instant originalStart)
{
    return { start, end, originalStart, item.uid, item.recurrenceIdText, item.title, item.location, item.isAllDay(),
        !item.start.zone, duration };
}

// Expands one repeating series over a span.
class SeriesExpander {
public:
    SeriesExpander(const Series& series, Instant spanStart, Instant spanEnd, const icaltimezone* floatingZone)
        : series_(series)
        , master_(series.master)
        , spanStart_(spanStart)
        , spanEnd_(spanEnd)
        , floatingZone_(floatingZone)
        , zone_(zoneOf(master_.start, floatingZone))
        , firstStart_(instantOf(master_.start.wall, zone_))
    {
    }

    SeriesReach run(std::vector<Occurrence>& out);

private:
    struct Candidate {
        Instant start;
        const ItemDuration* duration;
        bool operator<(const Candidate& other) const { return start < other.start; }
    };

    // An override with RANGE=THISANDFUTURE: every occurrence from `from` on
    // (until a later one) moves by `shift` and takes the override's values.
    // The shift is the move of the override's own occurrence, its whole days
    // counted on the series' wall clock (RFC 5545 rescheduling "by the same
    // time difference", with days of nominal length), so that a later
    // occurrence across a daylight-saving change keeps its time of day.
    struct Range {
        Instant from;
        ItemDuration shift;
        const ItemRecord* change;
    };

    Instant replacedStart(const ItemTime& recurrenceId) const;
    const Range* rangeAt(Instant start) const;
    void collectExclusions();
    void expandRule(const std::string& text);
    icaltimetype untilFor(
        const icalrecurrencetype& rule, Instant iterationStart, bool& boundBinds, bool& spanBinds) const;
    bool isExcluded(Instant start) const;
    void addOccurrence(const ItemRecord& item, Instant start, const ItemDuration& duration, Instant originalStart,
        std::vector<Occurrence>& out);

    const Series& series_;
    const ItemRecord& master_;
    Instant spanStart_, spanEnd_;
    const icaltimezone* floatingZone_;
    const icaltimezone* zone_;
    Instant firstStart_;
    std::vector<Candidate> candidates_;
    std::set<Instant> excludedStarts_;
    std::set<local_days> excludedDates_;
    std::vector<Range> ranges_; // by `from`
    // How far ranges move occurrences later, and earlier: the rule is followed
    // that much further either side of the span.
    Seconds movedLater_ {}, movedEarlier_ {};
    SeriesReach reach_;
    // A rule was cut short by the span or the bound, so the series may go on.
    bool open_ = false;
};

SeriesReach SeriesExpander::run(std::vector<Occurrence>& out)
{
    if (master_.cancelled)
        return reach_;
    collectExclusions();
    candidates_.push_back({ firstStart_, &master_.duration });
    if (series_.recurrence) {
        for (const std::string& rule : series_.recurrence->rules)
            expandRule(rule);
        for (const RecurrenceDate& date : series_.recurrence->dates)
            candidates_.push_back({ instantOf(date.time.wall, zoneOf(date.time, floatingZone_)),
                date.duration ? &*date.duration : &master_.duration });
    }
    std::sort(candidates_.begin(), candidates_.end());
    candidates_.erase(std::unique(candidates_.begin(), candidates_.end(),
                          [](const Candidate& a, const Candidate& b) { return a.start == b.start; }),
        candidates_.end());
    for (const Candidate& candidate : candidates_) {
        if (isExcluded(candidate.start))
            continue;
        const Range* range = rangeAt(candidate.start);
        if (!range)
            addOccurrence(master_, candidate.start, *candidate.duration, candidate.start, out);
        else if (!range->change->cancelled)
            addOccurrence(*range->change, occurrenceEnd(candidate.start, range->shift, zone_), range->change->duration,
                candidate.start, out);
    }
    // Whatever the exceptions, the series starts no earlier than its first start.
    reach_.earliest = std::min(reach_.earliest, firstStart_);
    for (const ItemRecord& change : series_.overrides) {
        if (change.cancelled)
            continue;
        const icaltimezone* zone = zoneOf(change.start, floatingZone_);
        addOccurrence(
            change, instantOf(change.start.wall, zone), change.duration, replacedStart(*change.recurrenceId), out);
    }
    if (open_)
        reach_.latest = endOfTime;
    return reach_;
}

// The occurrence an override replaces. Exports often name an all-day
// occurrence with a date-time: it is the occurrence of the same calendar date.
Instant SeriesExpander::replacedStart(const ItemTime& recurrenceId) const
{
    if (master_.isAllDay() && !recurrenceId.isDate())
        return resolve(dayOf(recurrenceId.local()), zone_);
    return instantOf(recurrenceId.wall, zoneOf(recurrenceId, floatingZone_));
}

const SeriesExpander::Range* SeriesExpander::rangeAt(Instant start) const
{
    auto after = std::upper_bound(
        ranges_.begin(), ranges_.end(), start, [](Instant at, const Range& range) { return at < range.from; });
    return after == ranges_.begin() ? nullptr : &*std::prev(after);
}

void SeriesExpander::collectExclusions()
{
    for (const ItemRecord& change : series_.overrides) {
        const Instant replaced = replacedStart(*change.recurrenceId);
        excludedStarts_.insert(replaced);
        if (!change.thisAndFuture)
            continue;
        const Instant moved = instantOf(change.start.wall, zoneOf(change.start, floatingZone_));
        const std::chrono::seconds wallShift = wallTimeIn(moved, zone_) - wallTimeIn(replaced, zone_);
        const auto days = std::chrono::duration_cast<std::chrono::days>(wallShift);
        const ItemDuration shift { static_cast<int>(days.count()), static_cast<long>((wallShift - days).count()) };
        ranges_.push_back({ replaced, shift, &change });
        // A day of the wall clock lasts an hour more or less across a change.
        const Seconds most = static_cast<double>(std::abs(days.count())) * (oneDay + std::chrono::hours(1))
            + Seconds(std::chrono::abs(wallShift - days));
        Seconds& movedFurthest = wallShift.count() >= 0 ? movedLater_ : movedEarlier_;
        movedFurthest = std::max(movedFurthest, most);
    }
    std::sort(ranges_.begin(), ranges_.end(), [](const Range& a, const Range& b) { return a.from < b.from; });
    if (!series_.recurrence)
        return;
    for (const ItemTime& exception : series_.recurrence->exceptions) {
        // A date excludes that whole day of a series of timed occurrences.
        if (exception.isDate() && !master_.isAllDay())
            excludedDates_.insert(dayOf(exception.local()));
        else
            excludedStarts_.insert(instantOf(exception.wall, zoneOf(exception, floatingZone_)));
    }
}

bool SeriesExpander::isExcluded(Instant start) const
{
    if (excludedStarts_.count(start))
        return true;
    return !excludedDates_.empty() && excludedDates_.count(dayOf(wallTimeIn(start, zone_)));
}

void SeriesExpander::expandRule(const std::string& text)
{
    icalrecurrencetype rule = icalrecurrencetype_from_string(text.c_str());
    if (rule.freq == ICAL_NO_RECURRENCE)
        return;
    // An occurrence that ends inside the span may start a little before it.
    const Seconds reach = master_.duration.days * oneDay + Seconds(master_.duration.seconds) + oneDay + movedLater_;
    const Instant earliest = spanStart_ - reach;
    // A rule that counts its occurrences must be followed from its first one.
    const bool fromFirst = rule.count > 0 || earliest <= firstStart_;
    const Instant iterationStart = fromFirst ? firstStart_ : earliest;

    bool boundBinds = false;
    bool spanBinds = false;
    rule.until = untilFor(rule, iterationStart, boundBinds, spanBinds);
    icaltimetype first = master_.start.wall;
    first.zone = nullptr;
    IteratorHandle iterator(icalrecur_iterator_new(rule, first));
    if (!iterator)
        return;
    if (!fromFirst) {
        const icaltimetype from = icalTimeIn(iterationStart, zone_);
        icalrecur_iterator_set_start(iterator.get(), first.is_date ? asDate(from) : from);
    }
    int steps = 0;
    for (; steps < EKEventStore::maxOccurrencesExamined; ++steps) {
        const icaltimetype next = icalrecur_iterator_next(iterator.get());
        if (icaltime_is_null_time(next))
            break;
        const Instant start = instantOf(next, zone_);
        if (start >= spanEnd_ + movedEarlier_) {
            spanBinds = true;
            break;
        }
        candidates_.push_back({ start, &master_.duration });
    }
    const bool countExhausted = rule.count > 0 && steps >= rule.count;
    open_ |= !countExhausted && (steps == EKEventStore::maxOccurrencesExamined || boundBinds || spanBinds);
    if (steps == EKEventStore::maxOccurrencesExamined || (boundBinds && !countExhausted)) {
        reach_.stoppedAtBound = true;
        NSLog("EventKit: recurrence of \"%s\" in %s stopped at the bound of %d occurrences examined",
            master_.uid.c_str(), series_.fileName ? series_.fileName->c_str() : "",
            EKEventStore::maxOccurrencesExamined);
    }
}

// The rule is never followed past the span, nor further than the bound allows:
// libical walks every period between two matches (every second for
// FREQ=SECONDLY), so only an UNTIL keeps a rule that rarely or never matches
// from running on for centuries.
icaltimetype SeriesExpander::untilFor(
    const icalrecurrencetype& rule, Instant iterationStart, bool& boundBinds, bool& spanBinds) const
{
    Instant ruleEnd = endOfTime;
    if (!icaltime_is_null_time(rule.until) && master_.isAllDay() && icaltime_is_utc(rule.until)) {
        ruleEnd = resolve(lastDayOfAllDayUntil(rule.until), zone_);
    } else if (!icaltime_is_null_time(rule.until)) {
        const icaltimezone* zone = icaltime_is_utc(rule.until) ? TimeZoneRegistry::utc() : zone_;
        ruleEnd = instantOf(rule.until, zone);
        // A date ends a series of timed occurrences at the end of that day.
        if (rule.until.is_date && !master_.isAllDay())
            ruleEnd += oneDay - Seconds(1);
    }
    const Instant spanLimit = spanEnd_ + oneDay + movedEarlier_;
    const Instant horizon
        = iterationStart + EKEventStore::maxOccurrencesExamined * std::max<short>(rule.interval, 1) * period(rule.freq);
    boundBinds = horizon < std::min(ruleEnd, spanLimit);
    spanBinds = spanLimit < ruleEnd;
    const icaltimetype until = icalTimeIn(std::min({ ruleEnd, spanLimit, horizon }), zone_);
    return master_.isAllDay() ? asDate(until) : until;
}

void SeriesExpander::addOccurrence(const ItemRecord& item, Instant start, const ItemDuration& duration,
    Instant originalStart, std::vector<Occurrence>& out)
{
    const Instant end = occurrenceEnd(start, duration, zoneOf(item.start, floatingZone_));
    reach_.earliest = std::min(reach_.earliest, start);
    reach_.latest = std::max(reach_.latest, end);
    if (overlaps(start, end, spanStart_, spanEnd_))
        out.push_back(occurrenceOf(item, start, duration, end, originalStart));
}

} // namespace

Instant occurrenceEnd(Instant start, const ItemDuration& duration, const icaltimezone* zone)
{
    const Seconds exact(duration.seconds);
    if (duration.days == 0)
        return start + exact;
    return resolve(wallTimeIn(start, zone) + std::chrono::days(duration.days), zone) + exact;
}

std::optional<Occurrence> singleOccurrence(const Series& series, const icaltimezone* floatingZone)
{
    const ItemRecord& item = series.master;
    if (item.cancelled)
        return std::nullopt;
    const icaltimezone* zone = zoneOf(item.start, floatingZone);
    const Instant start = instantOf(item.start.wall, zone);
    const Instant originalStart
        = item.recurrenceId ? instantOf(item.recurrenceId->wall, zoneOf(*item.recurrenceId, floatingZone)) : start;
    return occurrenceOf(item, start, item.duration, occurrenceEnd(start, item.duration, zone), originalStart);
}

SeriesReach expandSeries(const Series& series, Instant spanStart, Instant spanEnd, const icaltimezone* floatingZone,
    std::vector<Occurrence>& out)
{
    return SeriesExpander(series, spanStart, spanEnd, floatingZone).run(out);
}

} // namespace eventkit
