#include "ItemParser.h"

#include "CalendarText.h"
#include "ErrorOr.h"
#include "TextCleaning.h"
#include "TextEncoding.h"
#include "TimeZones.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>

namespace eventkit {
namespace {

// An item the store cannot use, and why.
StoreError malformed(std::string why)
{
    return { StoreError::Kind::Malformed, std::move(why) };
}

StoreError unpaired()
{
    return { StoreError::Kind::Unpaired, "its BEGIN and END lines do not pair up (is it cut short?)" };
}

// Properties whose loss makes an item wrong rather than just poorer.
constexpr const char* essentialProperties[]
    = { "DTSTART", "DTEND", "DURATION", "RRULE", "RDATE", "EXDATE", "RECURRENCE-ID" };

std::optional<std::string> xProperty(icalcomponent* component, std::string_view name)
{
    for (icalproperty* property = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); property;
         property = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        const char* propertyName = icalproperty_get_x_name(property);
        const char* value = icalproperty_get_x(property);
        if (propertyName && value && name == propertyName)
            return std::string(value);
    }
    return std::nullopt;
}

std::optional<std::string> textProperty(icalcomponent* component, icalproperty_kind kind)
{
    icalproperty* property = icalcomponent_get_first_property(component, kind);
    const char* value = property ? icalvalue_get_text(icalproperty_get_value(property)) : nullptr;
    if (!value)
        return std::nullopt;
    return cleanText(value);
}

bool isReadableRule(const std::string& text)
{
    return icalrecurrencetype_from_string(text.c_str()).freq != ICAL_NO_RECURRENCE;
}

// The parts of a rule that can be read: each part that reads beside the
// frequency, and of a COUNT and an UNTIL together (which RFC 5545 forbids) the
// UNTIL. Nothing when the frequency itself cannot be read.
std::optional<std::string> readableRule(const std::string& written)
{
    std::vector<std::string> parts;
    for (std::size_t from = 0; from <= written.size();) {
        const std::size_t end = std::min(written.find(';', from), written.size());
        if (end > from)
            parts.push_back(written.substr(from, end - from));
        from = end + 1;
    }
    const auto frequency
        = std::find_if(parts.begin(), parts.end(), [](const std::string& part) { return part.starts_with("FREQ="); });
    if (frequency == parts.end() || !isReadableRule(*frequency))
        return std::nullopt;
    std::string kept = *frequency;
    std::string withoutCount = kept;
    for (const std::string& part : parts) {
        if (&part == &*frequency || !isReadableRule(*frequency + ";" + part))
            continue;
        kept += ";" + part;
        if (!part.starts_with("COUNT="))
            withoutCount += ";" + part;
    }
    return isReadableRule(kept) ? kept : withoutCount;
}

long durationSeconds(const icaldurationtype& duration)
{
    return duration.hours * 3600L + duration.minutes * 60L + duration.seconds;
}

class FileParser {
public:
    FileParser(const std::string& path, ParseLimits limits)
        : path_(path)
        , limits_(limits)
        , fileName_(std::make_shared<const std::string>(path))
        , stem_(std::filesystem::path(path).stem().string())
    {
    }

    ParsedFile parse(std::string_view text);

private:
    void readPieces(const CalendarText& text);
    void readCalendar(icalcomponent* calendar);
    void readCalendarProperties(icalcomponent* calendar);
    void readCalendarZone(icalcomponent* calendar);
    const icaltimezone* knownZone(const std::string& tzid, icalcomponent* calendar);
    void readEvent(icalcomponent* event, icalcomponent* calendar);
    ErrorOr<Series> readSeries(icalcomponent* event, icalcomponent* calendar);
    ErrorOr<ItemRecord> readItem(icalcomponent* event, icalcomponent* calendar);
    ErrorOr<std::shared_ptr<const RecurrenceRules>> readRecurrence(
        icalcomponent* event, icalcomponent* calendar, std::vector<std::string> rules);
    std::vector<std::string> salvagedRules(icalcomponent* event);
    ErrorOr<ItemDuration> readDuration(icalcomponent* event, icalcomponent* calendar, const ItemTime& start);
    ItemTime readTime(icalproperty* property, icaltimetype value, icalcomponent* calendar);
    std::string recurrenceIdText(const ItemTime& time) const;
    ErrorOr<void> checkParseErrors(icalcomponent* event) const;
    void readRevision(icalcomponent* event, ItemRecord& item) const;
    void groupSeries(std::vector<Series> items);

    const std::string& path_;
    ParseLimits limits_;
    std::shared_ptr<const std::string> fileName_;
    std::string stem_;
    ParsedFile result_;
    std::vector<Series> items_;
    bool warnedZone_ = false;
    // The zone the calendar being read names with X-WR-TIMEZONE, if known.
    const icaltimezone* calendarZone_ = nullptr;
    int eventCount_ = 0;
};

ParsedFile FileParser::parse(std::string_view text)
{
    result_.name = path_;
    if (auto calendars = splitCalendars(text, limits_.maxValuesPerItem)) {
        std::size_t events = 0;
        for (const CalendarText& calendar : *calendars)
            events += calendar.events.size();
        items_.reserve(events);
        for (const CalendarText& calendar : *calendars)
            readPieces(calendar);
        groupSeries(std::move(items_));
        return std::move(result_);
    }
    // Left whole to libical, a broken file must be small enough to be one tree.
    if (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) > limits_.maxValuesPerItem) {
        result_.problems.push_back("EventKit: skipping " + path_
            + ": its BEGIN and END lines do not pair up, and it is too large to read as it is");
        result_.skipped = unpaired();
        return std::move(result_);
    }
    ComponentHandle root = parseComponent(text);
    const icalcomponent_kind kind = root ? icalcomponent_isa(root.get()) : ICAL_NO_COMPONENT;
    if (kind == ICAL_VCALENDAR_COMPONENT) {
        readCalendar(root.get());
    } else if (kind == ICAL_XROOT_COMPONENT) {
        for (icalcomponent* calendar : childComponents(root.get(), ICAL_VCALENDAR_COMPONENT))
            readCalendar(calendar);
    } else {
        result_.problems.push_back("EventKit: skipping " + path_ + ": not a complete iCalendar file");
        // One that starts as iCalendar is most often cut short, as an interrupted write or copy leaves it.
        result_.skipped = text.find("BEGIN:VCALENDAR") == std::string_view::npos
            ? StoreError { StoreError::Kind::NotICalendar, "it is not an iCalendar file" }
            : unpaired();
    }
    groupSeries(std::move(items_));
    return std::move(result_);
}

// One event's tree at a time, beside its calendar's properties and zones.
void FileParser::readPieces(const CalendarText& text)
{
    ComponentHandle calendar = parseComponent(text.frame);
    if (!calendar || icalcomponent_isa(calendar.get()) != ICAL_VCALENDAR_COMPONENT)
        calendar.reset(icalcomponent_new_vcalendar());
    readCalendarProperties(calendar.get());
    readCalendarZone(calendar.get());
    if (text.leftOut > 0)
        result_.problems.push_back("EventKit: leaving out " + std::to_string(text.leftOut)
            + " calendar properties or VTIMEZONEs of " + path_ + " past " + std::to_string(limits_.maxValuesPerItem)
            + " lines");
    for (const EventText& eventText : text.events) {
        if (eventText.values > limits_.maxValuesPerItem) {
            ++eventCount_;
            result_.problems.push_back("EventKit: skipping an item of " + path_ + ": it holds "
                + std::to_string(eventText.values) + " properties and values, more than "
                + std::to_string(limits_.maxValuesPerItem));
            continue;
        }
        ComponentHandle event = parseComponent(eventText.text);
        if (event && icalcomponent_isa(event.get()) == ICAL_VEVENT_COMPONENT)
            readEvent(event.get(), calendar.get());
    }
}

void FileParser::readCalendar(icalcomponent* calendar)
{
    readCalendarProperties(calendar);
    readCalendarZone(calendar);
    for (icalcomponent* event : childComponents(calendar, ICAL_VEVENT_COMPONENT))
        readEvent(event, calendar);
}

void FileParser::readCalendarProperties(icalcomponent* calendar)
{
    if (!result_.calendarName) {
        if (auto name = xProperty(calendar, "X-WR-CALNAME"))
            result_.calendarName = cleanText(*name);
    }
    if (!result_.calendarColor) {
        if (auto apple = xProperty(calendar, "X-APPLE-CALENDAR-COLOR"))
            result_.calendarColor = parseColor(*apple);
    }
    if (!result_.calendarColor) {
        icalproperty* color = icalcomponent_get_first_property(calendar, ICAL_COLOR_PROPERTY);
        if (const char* value = color ? icalproperty_get_color(color) : nullptr)
            result_.calendarColor = parseColor(value);
    }
}

// Google's and Apple's exports name the zone their floating times were meant
// in, outside RFC 5545; most calendar programs read them in it.
void FileParser::readCalendarZone(icalcomponent* calendar)
{
    const std::optional<std::string> name = xProperty(calendar, "X-WR-TIMEZONE");
    calendarZone_ = name && !name->empty() ? knownZone(*name, calendar) : nullptr;
}

void FileParser::readEvent(icalcomponent* event, icalcomponent* calendar)
{
    ++eventCount_;
    ErrorOr<Series> series = readSeries(event, calendar);
    if (series)
        items_.push_back(std::move(series).value());
    else
        result_.problems.push_back("EventKit: skipping an item of " + path_ + ": " + series.error().message);
}

ErrorOr<Series> FileParser::readSeries(icalcomponent* event, icalcomponent* calendar)
{
    std::vector<std::string> rules = salvagedRules(event);
    Series series;
    series.master = TRY(readItem(event, calendar));
    if (!series.master.recurrenceId)
        series.recurrence = TRY(readRecurrence(event, calendar, std::move(rules)));
    series.fileName = fileName_;
    return series;
}

ErrorOr<void> FileParser::checkParseErrors(icalcomponent* event) const
{
    for (icalproperty* property = icalcomponent_get_first_property(event, ICAL_XLICERROR_PROPERTY); property;
         property = icalcomponent_get_next_property(event, ICAL_XLICERROR_PROPERTY)) {
        const std::string message = icalproperty_get_xlicerror(property) ? icalproperty_get_xlicerror(property) : "";
        for (const char* name : essentialProperties) {
            if (message.find(std::string(" in ") + name + " property") != std::string::npos)
                return malformed(cleanText(message));
        }
    }
    return {};
}

ErrorOr<ItemRecord> FileParser::readItem(icalcomponent* event, icalcomponent* calendar)
{
    TRY(checkParseErrors(event));
    ItemRecord item;
    icalproperty* start = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    const icaltimetype startValue = start ? icalproperty_get_dtstart(start) : icaltime_null_time();
    if (icaltime_is_null_time(startValue) || !icaltime_is_valid_time(startValue))
        return malformed("it has no valid DTSTART");
    item.start = readTime(start, startValue, calendar);
    item.duration = TRY(readDuration(event, calendar, item.start));

    const std::string uid = textProperty(event, ICAL_UID_PROPERTY).value_or("");
    item.uid = !uid.empty() ? uid : eventCount_ == 1 ? stem_ : stem_ + "-" + std::to_string(eventCount_);
    item.title = textProperty(event, ICAL_SUMMARY_PROPERTY);
    item.location = textProperty(event, ICAL_LOCATION_PROPERTY);
    icalproperty* status = icalcomponent_get_first_property(event, ICAL_STATUS_PROPERTY);
    item.cancelled = status && icalproperty_get_status(status) == ICAL_STATUS_CANCELLED;

    if (icalproperty* rid = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY)) {
        const icaltimetype value = icalproperty_get_recurrenceid(rid);
        if (icaltime_is_null_time(value) || !icaltime_is_valid_time(value))
            return malformed("its RECURRENCE-ID is not a valid time");
        item.recurrenceId = readTime(rid, value, calendar);
        item.recurrenceIdText = recurrenceIdText(*item.recurrenceId);
        icalparameter* range = icalproperty_get_first_parameter(rid, ICAL_RANGE_PARAMETER);
        item.thisAndFuture = range && icalparameter_get_range(range) == ICAL_RANGE_THISANDFUTURE;
    }
    readRevision(event, item);
    return item;
}

ErrorOr<ItemDuration> FileParser::readDuration(icalcomponent* event, icalcomponent* calendar, const ItemTime& start)
{
    ItemDuration duration;
    icalproperty* end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY);
    icalproperty* length = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY);
    if (end) {
        const ItemTime endTime = readTime(end, icalproperty_get_dtend(end), calendar);
        if (start.isDate())
            duration.days = static_cast<int>(
                std::chrono::duration_cast<std::chrono::days>(endTime.local() - start.local()).count());
        else
            duration.seconds = static_cast<long>(distance(start, endTime).count());
    } else if (length) {
        const icaldurationtype value = icalproperty_get_duration(length);
        if (value.is_neg)
            return malformed("its DURATION is negative");
        duration.days = static_cast<int>(value.weeks * 7 + value.days);
        duration.seconds = start.isDate() ? 0 : durationSeconds(value);
    } else if (start.isDate()) {
        duration.days = 1;
    }
    if (duration.days < 0 || duration.seconds < 0)
        return malformed("it ends before it starts");
    // Some writers give an all-day item the same end as start: one day.
    if (start.isDate() && duration.days == 0)
        duration.days = 1;
    return duration;
}

ItemTime FileParser::readTime(icalproperty* property, icaltimetype value, icalcomponent* calendar)
{
    ItemTime time;
    time.wall = value;
    time.wall.zone = nullptr;
    if (value.is_date)
        return time;
    if (icaltime_is_utc(value)) {
        time.zone = TimeZoneRegistry::utc();
        return time;
    }
    icalparameter* parameter = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    const char* tzid = parameter ? icalparameter_get_tzid(parameter) : nullptr;
    time.zone = tzid ? knownZone(tzid, calendar) : calendarZone_;
    return time;
}

// The zone a name gives, else none (floating), with one line per file: most
// likely the writer meant the zone its user lives in, as other calendar
// programs read it too.
const icaltimezone* FileParser::knownZone(const std::string& tzid, icalcomponent* calendar)
{
    const icaltimezone* zone = TimeZoneRegistry::shared().zoneForTZID(tzid, calendar);
    if (!zone && !warnedZone_) {
        warnedZone_ = true;
        result_.problems.push_back("EventKit: unknown time zone \"" + cleanText(tzid) + "\" in " + path_
            + ", reading its times as floating in the device's zone");
    }
    return zone;
}

std::string FileParser::recurrenceIdText(const ItemTime& time) const
{
    if (!time.zone || time.isDate())
        return icalText(time.wall);
    icaltimetype utcWall = icalTimeIn(instantOf(time.wall, time.zone), nullptr);
    utcWall.zone = TimeZoneRegistry::utc();
    return icalText(utcWall);
}

void FileParser::readRevision(icalcomponent* event, ItemRecord& item) const
{
    if (icalproperty* sequence = icalcomponent_get_first_property(event, ICAL_SEQUENCE_PROPERTY))
        item.sequence = icalproperty_get_sequence(sequence);
    for (icalproperty_kind kind : { ICAL_DTSTAMP_PROPERTY, ICAL_LASTMODIFIED_PROPERTY }) {
        icalproperty* property = icalcomponent_get_first_property(event, kind);
        const icaltimetype value
            = property ? icalvalue_get_datetime(icalproperty_get_value(property)) : icaltime_null_time();
        if (!icaltime_is_null_time(value) && icaltime_is_valid_time(value))
            item.revised = std::max(item.revised, instantOf(value, TimeZoneRegistry::utc()));
    }
}

// An RRULE that libical refused as a whole (it removes the property and says
// so in an X-LIC-ERROR) keeps what can be read of it, with one line in the log.
std::vector<std::string> FileParser::salvagedRules(icalcomponent* event)
{
    static const std::string marker = "in RRULE property. Removing entire property: ";
    std::vector<icalproperty*> errors;
    for (icalproperty* property = icalcomponent_get_first_property(event, ICAL_XLICERROR_PROPERTY); property;
         property = icalcomponent_get_next_property(event, ICAL_XLICERROR_PROPERTY))
        errors.push_back(property);
    std::vector<std::string> rules;
    for (icalproperty* error : errors) {
        const char* message = icalproperty_get_xlicerror(error);
        const std::string text = message ? message : "";
        const auto at = text.find(marker);
        if (at == std::string::npos)
            continue;
        std::string written = text.substr(at + marker.size());
        std::erase(written, '\\');
        const std::optional<std::string> readable = readableRule(written);
        if (!readable)
            continue;
        result_.problems.push_back("EventKit: an item of " + path_ + " has an RRULE that cannot be read whole (\""
            + cleanText(written) + "\"); following \"" + *readable + "\" instead");
        // What is followed no longer makes the item unreadable.
        icalcomponent_remove_property(event, error);
        icalproperty_free(error);
        rules.push_back(*readable);
    }
    return rules;
}

ErrorOr<std::shared_ptr<const RecurrenceRules>> FileParser::readRecurrence(
    icalcomponent* event, icalcomponent* calendar, std::vector<std::string> salvaged)
{
    auto rules = std::make_shared<RecurrenceRules>();
    rules->rules = std::move(salvaged);
    for (icalproperty* property = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); property;
         property = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
        icalrecurrencetype rule = icalproperty_get_rrule(property);
        if (rule.freq == ICAL_NO_RECURRENCE)
            return malformed("its RRULE cannot be read");
        char* text = icalrecurrencetype_as_string_r(&rule);
        rules->rules.emplace_back(text ? text : "");
        icalmemory_free_buffer(text);
    }
    for (icalproperty* property = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); property;
         property = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype value = icalproperty_get_rdate(property);
        RecurrenceDate date;
        if (!icaltime_is_null_time(value.period.start)) {
            date.time = readTime(property, value.period.start, calendar);
            ItemDuration length;
            if (!icaltime_is_null_time(value.period.end)) {
                const ItemTime end { value.period.end,
                    icaltime_is_utc(value.period.end) ? TimeZoneRegistry::utc() : date.time.zone };
                length.seconds = static_cast<long>(distance(date.time, end).count());
            } else
                length = { static_cast<int>(value.period.duration.weeks * 7 + value.period.duration.days),
                    durationSeconds(value.period.duration) };
            date.duration = length;
        } else if (!icaltime_is_null_time(value.time) && icaltime_is_valid_time(value.time)) {
            date.time = readTime(property, value.time, calendar);
        } else {
            return malformed("its RDATE cannot be read");
        }
        rules->dates.push_back(date);
    }
    for (icalproperty* property = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); property;
         property = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY))
        rules->exceptions.push_back(readTime(property, icalproperty_get_exdate(property), calendar));
    if (rules->rules.empty() && rules->dates.empty())
        return std::shared_ptr<const RecurrenceRules>();
    return std::shared_ptr<const RecurrenceRules>(std::move(rules));
}

// Overrides join the series of their UID in the same file; one without its
// series stands alone, after the series. Done in place: a large file's items
// are the largest thing the store keeps of it.
void FileParser::groupSeries(std::vector<Series> items)
{
    std::unordered_map<std::string_view, std::size_t> masters;
    for (std::size_t index = 0; index < items.size(); ++index) {
        if (!items[index].master.recurrenceId)
            masters.emplace(items[index].master.uid, index);
    }
    std::vector<bool> joined(items.size());
    bool alone = false;
    for (std::size_t index = 0; index < items.size(); ++index) {
        if (!items[index].master.recurrenceId)
            continue;
        auto master = masters.find(items[index].master.uid);
        if (master == masters.end()) {
            alone = true;
            continue;
        }
        items[master->second].overrides.push_back(std::move(items[index].master));
        joined[index] = true;
    }
    std::size_t kept = 0;
    for (std::size_t index = 0; index < items.size(); ++index) {
        if (joined[index])
            continue;
        if (kept != index)
            items[kept] = std::move(items[index]);
        ++kept;
    }
    items.resize(kept);
    if (alone)
        std::stable_partition(
            items.begin(), items.end(), [](const Series& series) { return !series.master.recurrenceId; });
    result_.series = std::move(items);
}

} // namespace

ParsedFile parseCalendarFile(std::string_view text, const std::string& path, ParseLimits limits)
{
    std::string converted;
    return FileParser(path, limits).parse(utf8Text(text, converted));
}

} // namespace eventkit
