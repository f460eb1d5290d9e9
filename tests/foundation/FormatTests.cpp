// NSLog and stringWithFormat: printf conversions plus %@.
#include <CoreGraphics/CGGeometry.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSValue.h>
#include <platform/Log.h>

#include <gtest/gtest.h>

namespace {

template <typename... Args> std::string format(platform::FormatFor<Args...> pattern, const Args&... arguments)
{
    return NSString::stringWithFormat(pattern, arguments...)->UTF8String();
}

using platform::FormatFault;

template <typename... Args> constexpr FormatFault::Kind faultOf(std::string_view pattern)
{
    return platform::findFormatFault<Args...>(pattern).kind;
}

// What a literal format is checked for when the call is compiled.
static_assert(faultOf<int, unsigned long, long long, std::size_t, double, char, const char*, NSString*, Ref<NSString>,
                  void*, std::nullptr_t>("%d %lu %lld %zu %.1f %c %s %@ %@ %p %@")
    == FormatFault::None);
static_assert(faultOf<NSInteger>("%d") == FormatFault::ArgumentDoesNotFit);
static_assert(faultOf<double>("%d") == FormatFault::ArgumentDoesNotFit);
static_assert(faultOf<int>("%f") == FormatFault::ArgumentDoesNotFit);
static_assert(faultOf<long long>("%ld") == FormatFault::ArgumentDoesNotFit);
static_assert(faultOf<const char*>("%@") == FormatFault::ArgumentDoesNotFit);
static_assert(faultOf<NSString*>("%s") == FormatFault::ArgumentDoesNotFit);
static_assert(faultOf<std::size_t, int>("%.*d") == FormatFault::ArgumentDoesNotFit);
static_assert(faultOf<int>("%d and %d") == FormatFault::MissingArgument);
static_assert(faultOf<int, int>("%d") == FormatFault::UnusedArgument);
static_assert(faultOf<>("%k") == FormatFault::UnknownConversion);
static_assert(faultOf<>("100%% sure") == FormatFault::None);
static_assert(platform::findFormatFault<int, double>("%d %d").argument == 1);
static_assert(!platform::Formattable<std::string> && !platform::Formattable<std::string_view>
    && !platform::Formattable<CGRect>);

} // namespace

TEST(Format, PrintfConversions)
{
    EXPECT_EQ(format("%d|%5d|%-4d|%03d", -7, 42, 1, 5), "-7|   42|1   |005");
    EXPECT_EQ(format("%lu %ld %lld %zu", 18446744073709551615UL, -3L, 1LL << 40, sizeof(int)),
        "18446744073709551615 -3 1099511627776 4");
    EXPECT_EQ(format("%f %.1f %.0f %g", 1.5, 0.25, 2.5, 0.0001), "1.500000 0.2 2 0.0001");
    EXPECT_EQ(format("%x %X %o %c", 255u, 255u, 8u, 'A'), "ff FF 10 A");
    EXPECT_EQ(format("%s|%.2s|%6s", "abc", "abc", "ab"), "abc|ab|    ab");
    EXPECT_EQ(format("%hhd %hd", 300, 70000), "44 4464");
    EXPECT_EQ(format("100%% sure"), "100% sure");
}

TEST(Format, StarTakesWidthAndPrecisionFromTheArguments)
{
    EXPECT_EQ(format("[%*d]", 4, 7), "[   7]");
    EXPECT_EQ(format("[%-*d]", 3, 7), "[7  ]");
    EXPECT_EQ(format("[%.*f]", 2, 3.14159), "[3.14]");
    // A negative precision counts as none.
    EXPECT_EQ(format("[%.*s]", -1, "whole"), "[whole]");
}

TEST(Format, ObjectsPrintTheirDescription)
{
    auto title = "Dentist"_ns;
    auto number = NSNumber::numberWithLongLong(3);
    EXPECT_EQ(format("%@ at %@", title.get(), number.get()), "Dentist at 3");
    EXPECT_EQ(format("%@", static_cast<NSObject*>(nullptr)), "(null)");
    EXPECT_EQ(format("%s", static_cast<const char*>(nullptr)), "(null)");
    EXPECT_EQ(format("[%8@]", title.get()), "[ Dentist]");
    auto list = NSArray::array({ "a"_ns, NSNumber::numberWithLongLong(1) });
    EXPECT_EQ(format("%@", list.get()), "(\n    a,\n    1\n)");
}

TEST(Format, EventLinkAndCalendarLinkShapes)
{
    EXPECT_EQ(format("x-apple-calevent://%@?o=%.1f", "ABC-123"_ns.get(), 510667200.0),
        "x-apple-calevent://ABC-123?o=510667200.0");
    EXPECT_EQ(format("fantastical2://show?date=%lu-%lu-%lu", 2017UL, 3UL, 5UL), "fantastical2://show?date=2017-3-5");
}

TEST(Format, UnknownConversionIsPrintedAsWritten)
{
    EXPECT_EQ(format(platform::runtimeFormat("%k and %d"), 5), "%k and 5");
}

TEST(Format, RuntimeFormatPrintsAConversionWithoutItsArgumentAsWritten)
{
    // A double where %d takes an int, then nothing left for the last %d.
    EXPECT_EQ(format(platform::runtimeFormat("%d|%s|%@|%d"), 2.5, "a", "b"_ns), "%d|a|b|%d");
}

TEST(NSLog, LinesGoToTheLogInOrder)
{
    platform::clearLog();
    NSLog("DGL: unable to load preferences.");
    NSLog("DGL2: %@ rows, %d sections, %@", "12"_ns.get(), 3, static_cast<NSObject*>(nullptr));
    EXPECT_EQ(platform::loggedLines(),
        (std::vector<std::string> { "DGL: unable to load preferences.", "DGL2: 12 rows, 3 sections, (null)" }));
    platform::clearLog();
    EXPECT_TRUE(platform::loggedLines().empty());
}
