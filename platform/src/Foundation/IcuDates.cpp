#include "IcuDates.h"

#include <Foundation/NSLog.h>
#include <platform/Environment.h>

#include <unicode/dtptngen.h>
#include <unicode/gregocal.h>
#include <unicode/reldatefmt.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <array>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace dates {
namespace {

// Keyed ICU objects. Keys are few in practice (a handful of locales, patterns and
// zones); a cache that somehow grows past the limit starts over rather than grow
// without bound.
template <typename Value> class Cache {
public:
    template <typename Make> Value& get(const std::string& key, Make&& make)
    {
        if (auto found = entries_.find(key); found != entries_.end())
            return found->second;
        if (entries_.size() >= limit)
            entries_.clear();
        return entries_.emplace(key, make()).first->second;
    }

private:
    static constexpr size_t limit = 256;
    std::unordered_map<std::string, Value> entries_;
};

// Relative day names for offsets −2 … 2.
constexpr int relativeDayReach = 2;
using RelativeDayNames = std::array<std::string, 2 * relativeDayReach + 1>;

// A formatter with a calendar of its own to format through: ICU's format of a
// bare date makes and deletes a copy of the formatter's calendar (and its zone)
// every time.
struct Formatter {
    std::unique_ptr<icu::SimpleDateFormat> format;
    std::unique_ptr<icu::Calendar> calendar;
};

struct Caches {
    std::mutex lock;
    std::string defaultZone;
    Cache<std::unique_ptr<icu::Calendar>> calendars;
    Cache<Formatter> formatters;
    Cache<std::unique_ptr<icu::DateTimePatternGenerator>> generators;
    Cache<std::string> bestPatterns;
    Cache<std::string> stylePatterns;
    Cache<std::string> glues;
    Cache<RelativeDayNames> relativeDayNames;
};

// Kept until the process ends: formatting may still happen while statics are
// being destroyed.
Caches& caches()
{
    static auto* instance = new Caches;
    return *instance;
}

icu::UnicodeString fromUtf8(const std::string& text)
{
    return icu::UnicodeString::fromUTF8(text);
}

// Every date class here is Gregorian, also for locales whose default calendar
// is another one.
icu::Locale gregorianLocale(const std::string& identifier)
{
    icu::Locale locale(identifier.c_str());
    UErrorCode status = U_ZERO_ERROR;
    locale.setKeywordValue("calendar", "gregorian", status);
    return locale;
}

std::string key(const std::string& a, const std::string& b, const std::string& c = {})
{
    std::string joined;
    joined.reserve(a.size() + b.size() + c.size() + 2);
    joined.append(a).push_back('\x1f');
    joined.append(b).push_back('\x1f');
    joined.append(c);
    return joined;
}

icu::DateFormat::EStyle icuStyle(NSUInteger style)
{
    switch (style) {
    case 1:
        return icu::DateFormat::kShort;
    case 2:
        return icu::DateFormat::kMedium;
    case 3:
        return icu::DateFormat::kLong;
    case 4:
        return icu::DateFormat::kFull;
    default:
        return icu::DateFormat::kNone;
    }
}

// Null when ICU cannot make one for the locale.
icu::DateTimePatternGenerator* generator(Caches& c, const std::string& locale)
{
    auto& cached = c.generators.get(locale, [&] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::DateTimePatternGenerator> made(
            icu::DateTimePatternGenerator::createInstance(gregorianLocale(locale), status));
        if (U_FAILURE(status))
            made.reset();
        return made;
    });
    return cached.get();
}

RelativeDayNames makeRelativeDayNames(const std::string& locale)
{
    RelativeDayNames names;
    UErrorCode status = U_ZERO_ERROR;
    icu::RelativeDateTimeFormatter formatter(
        gregorianLocale(locale), nullptr, UDAT_STYLE_LONG, UDISPCTX_CAPITALIZATION_FOR_BEGINNING_OF_SENTENCE, status);
    if (U_FAILURE(status))
        return names;
    constexpr UDateDirection directions[] = { UDAT_DIRECTION_LAST_2, UDAT_DIRECTION_LAST, UDAT_DIRECTION_THIS,
        UDAT_DIRECTION_NEXT, UDAT_DIRECTION_NEXT_2 };
    for (size_t i = 0; i < names.size(); ++i) {
        icu::UnicodeString word;
        status = U_ZERO_ERROR;
        formatter.format(directions[i], UDAT_ABSOLUTE_DAY, word, status);
        if (U_SUCCESS(status))
            names[i] = toUtf8(word);
    }
    return names;
}

struct HostZone {
    std::mutex lock;
    std::string hostName;
    std::string resolvedName;
    std::unordered_set<std::string> reportedUnknown;
};

} // namespace

std::string toUtf8(const icu::UnicodeString& text)
{
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

bool isKnownTimeZone(std::string_view name)
{
    const std::unique_ptr<icu::TimeZone> zone(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(icu::StringPiece(name.data(), name.size()))));
    return zone && *zone != icu::TimeZone::getUnknown();
}

std::string hostTimeZoneName()
{
    static auto* state = new HostZone;
    const std::string host = platform::currentTimeZoneIdentifier();
    bool firstSightOfUnknown = false;
    std::string resolved;
    {
        std::lock_guard guard(state->lock);
        if (state->resolvedName.empty() || state->hostName != host) {
            state->hostName = host;
            state->resolvedName = isKnownTimeZone(host) ? host : "UTC";
            firstSightOfUnknown = state->resolvedName != host && state->reportedUnknown.insert(host).second;
        }
        resolved = state->resolvedName;
    }
    // Logged outside the lock: the log may well format dates itself.
    if (firstSightOfUnknown)
        NSLog("Unknown time zone \"%s\", using UTC", host.c_str());
    return resolved;
}

IcuSession::IcuSession()
    : IcuSession(hostTimeZoneName())
{
}

IcuSession::IcuSession(std::string hostZone)
    : lock_(caches().lock)
{
    if (hostZone != caches().defaultZone) {
        icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(fromUtf8(hostZone)));
        caches().defaultZone = std::move(hostZone);
    }
}

icu::Calendar& IcuSession::calendar(const std::string& zone)
{
    auto& cached = caches().calendars.get(zone, [&] {
        UErrorCode status = U_ZERO_ERROR;
        auto made = std::make_unique<icu::GregorianCalendar>(
            icu::TimeZone::createTimeZone(fromUtf8(zone)), icu::Locale::getRoot(), status);
        // Foundation's choices: a skipped time moves forward by the gap (02:30 →
        // 03:30), a repeated one is the earlier of the two.
        made->setSkippedWallTimeOption(UCAL_WALLTIME_LAST);
        made->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
        return made;
    });
    return *cached;
}

namespace {

Formatter& formatter(const std::string& locale, const std::string& pattern, const std::string& zone)
{
    return caches().formatters.get(key(locale, pattern, zone), [&] {
        UErrorCode status = U_ZERO_ERROR;
        Formatter made { std::make_unique<icu::SimpleDateFormat>(fromUtf8(pattern), gregorianLocale(locale), status),
            nullptr };
        if (U_FAILURE(status))
            return Formatter {};
        made.format->adoptTimeZone(icu::TimeZone::createTimeZone(fromUtf8(zone)));
        made.calendar.reset(made.format->getCalendar()->clone());
        return made;
    });
}

} // namespace

std::string IcuSession::format(
    const std::string& locale, const std::string& pattern, const std::string& zone, UDate date)
{
    Formatter& made = formatter(locale, pattern, zone);
    if (!made.format || !made.calendar)
        return {};
    UErrorCode status = U_ZERO_ERROR;
    made.calendar->setTime(date, status);
    if (U_FAILURE(status))
        return {};
    icu::UnicodeString text;
    icu::FieldPosition ignored(icu::FieldPosition::DONT_CARE);
    made.format->format(*made.calendar, text, ignored);
    return toUtf8(text);
}

const std::string& IcuSession::bestPattern(const std::string& locale, const std::string& dateTemplate)
{
    Caches& c = caches();
    return c.bestPatterns.get(key(locale, dateTemplate), [&] {
        icu::DateTimePatternGenerator* made = generator(c, locale);
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString pattern = made ? made->getBestPattern(fromUtf8(dateTemplate), status) : "";
        return U_SUCCESS(status) ? toUtf8(pattern) : std::string();
    });
}

const std::string& IcuSession::stylePattern(const std::string& locale, NSUInteger dateStyle, NSUInteger timeStyle)
{
    const std::string styles { static_cast<char>('0' + std::min<NSUInteger>(dateStyle, 9)),
        static_cast<char>('0' + std::min<NSUInteger>(timeStyle, 9)) };
    return caches().stylePatterns.get(key(locale, styles), [&] {
        const auto date = icuStyle(dateStyle);
        const auto time = icuStyle(timeStyle);
        if (date == icu::DateFormat::kNone && time == icu::DateFormat::kNone)
            return std::string();
        const std::unique_ptr<icu::DateFormat> made(
            icu::DateFormat::createDateTimeInstance(date, time, gregorianLocale(locale)));
        auto* simple = dynamic_cast<icu::SimpleDateFormat*>(made.get());
        if (!simple)
            return std::string();
        icu::UnicodeString pattern;
        simple->toPattern(pattern);
        return toUtf8(pattern);
    });
}

const std::string& IcuSession::dateTimeGlue(const std::string& locale)
{
    Caches& c = caches();
    return c.glues.get(locale, [&] {
        icu::DateTimePatternGenerator* made = generator(c, locale);
        return made ? toUtf8(made->getDateTimeFormat()) : std::string("{1} {0}");
    });
}

const std::string& IcuSession::relativeDayName(const std::string& locale, int offset)
{
    static const std::string none;
    if (offset < -relativeDayReach || offset > relativeDayReach)
        return none;
    const RelativeDayNames& names = caches().relativeDayNames.get(locale, [&] { return makeRelativeDayNames(locale); });
    return names[static_cast<size_t>(offset + relativeDayReach)];
}

} // namespace dates
