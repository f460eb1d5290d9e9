// Numbers and numeric strings read through boolValue, intValue and integerValue
// the way Foundation reads them.
#include <Foundation/NSValue.h>
#include <objc/message.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

Ref<NSString> text(const char* value)
{
    return NSString::string(value);
}

} // namespace

TEST(StringValue, IntegersSkipLeadingSpaceAndStopAtTheFirstNonDigit)
{
    EXPECT_EQ(text(" 12abc")->integerValue(), 12);
    EXPECT_EQ(text(" 12abc")->intValue(), 12);
    EXPECT_EQ(text("\t\n-7 days")->integerValue(), -7);
    EXPECT_EQ(text("+15")->intValue(), 15);
    EXPECT_EQ(text("007")->intValue(), 7);
    EXPECT_EQ(text("3.9")->integerValue(), 3);
    EXPECT_EQ(text("abc12")->integerValue(), 0);
    EXPECT_EQ(text("")->intValue(), 0);
    EXPECT_EQ(text("- 5")->intValue(), 0);
    EXPECT_EQ(text("0x1F")->intValue(), 0);
}

TEST(StringValue, IntValueSaturatesWhereIntegerValueDoesNot)
{
    EXPECT_EQ(text("2147483647")->intValue(), INT_MAX);
    EXPECT_EQ(text("2147483648")->intValue(), INT_MAX);
    EXPECT_EQ(text("-2147483648")->intValue(), INT_MIN);
    EXPECT_EQ(text("-99999999999")->intValue(), INT_MIN);
    EXPECT_EQ(text("99999999999")->integerValue(), 99999999999L);
    EXPECT_EQ(text("9223372036854775807")->integerValue(), LONG_MAX);
    EXPECT_EQ(text("9223372036854775808")->integerValue(), LONG_MAX);
    EXPECT_EQ(text("-9223372036854775808")->integerValue(), LONG_MIN);
    EXPECT_EQ(text("-99999999999999999999")->longLongValue(), LLONG_MIN);
}

TEST(StringValue, BoolValueLooksAtTheFirstSignificantCharacter)
{
    for (const char* yes :
        { "YES", "yes", "true", "True", "y", "t", "1", " 1", "+1", "-1", "0001", "9 lives", "  Yes" })
        EXPECT_TRUE(text(yes)->boolValue()) << '"' << yes << '"';
    for (const char* no : { "no", "NO", "0", "", "false", "000", " ", "n", "-0", "abc", "on", "x1" })
        EXPECT_FALSE(text(no)->boolValue()) << '"' << no << '"';
}

TEST(StringValue, DoubleValueReadsDecimalTextOnly)
{
    EXPECT_DOUBLE_EQ(text(" 2.5kg")->doubleValue(), 2.5);
    EXPECT_DOUBLE_EQ(text("-.5")->doubleValue(), -0.5);
    EXPECT_DOUBLE_EQ(text("1e3x")->doubleValue(), 1000.0);
    EXPECT_DOUBLE_EQ(text("4e")->doubleValue(), 4.0);
    EXPECT_DOUBLE_EQ(text("0x10")->doubleValue(), 0.0);
    EXPECT_DOUBLE_EQ(text("inf")->doubleValue(), 0.0);
    EXPECT_DOUBLE_EQ(text(".")->doubleValue(), 0.0);
    EXPECT_EQ(text("1e999")->doubleValue(), HUGE_VAL);
}

TEST(NumberValue, IntValueKeepsTheLow32Bits)
{
    EXPECT_EQ(NSNumber::numberWithLongLong(4294967297LL)->intValue(), 1);
    EXPECT_EQ(NSNumber::numberWithLongLong(2147483648LL)->intValue(), INT_MIN);
    EXPECT_EQ(NSNumber::numberWithLongLong(-1)->intValue(), -1);
    EXPECT_EQ(NSNumber::numberWithLongLong(4294967297LL)->integerValue(), 4294967297L);
}

TEST(NumberValue, DoublesTruncateTowardZero)
{
    EXPECT_EQ(NSNumber::numberWithDouble(3.99)->integerValue(), 3);
    EXPECT_EQ(NSNumber::numberWithDouble(-3.99)->integerValue(), -3);
    EXPECT_EQ(NSNumber::numberWithDouble(12.7)->intValue(), 12);
    EXPECT_EQ(NSNumber::numberWithDouble(-12.7)->intValue(), -12);
    EXPECT_EQ(NSNumber::numberWithDouble(3e9)->intValue(), INT_MAX);
    EXPECT_EQ(NSNumber::numberWithDouble(-3e9)->intValue(), INT_MIN);
    EXPECT_EQ(NSNumber::numberWithDouble(1e30)->integerValue(), LONG_MAX);
    EXPECT_EQ(NSNumber::numberWithDouble(std::nan(""))->integerValue(), 0);
    EXPECT_TRUE(NSNumber::numberWithDouble(0.25)->boolValue());
    EXPECT_FALSE(NSNumber::numberWithDouble(0.0)->boolValue());
}

TEST(NumberValue, BooleansAreOneAndZero)
{
    EXPECT_EQ(NSNumber::numberWithBool(true)->integerValue(), 1);
    EXPECT_EQ(NSNumber::numberWithBool(false)->intValue(), 0);
    EXPECT_TRUE(NSNumber::numberWithLongLong(2)->boolValue());
    EXPECT_TRUE(NSNumber::numberWithBool(true)->isEqual(NSNumber::numberWithLongLong(1).get()));
}

TEST(NumberValue, DescriptionIsTheShortestExactText)
{
    EXPECT_EQ(NSNumber::numberWithDouble(0.1)->description(), "0.1");
    EXPECT_EQ(NSNumber::numberWithDouble(13)->description(), "13");
    EXPECT_EQ(NSNumber::numberWithLongLong(-42)->description(), "-42");
    EXPECT_EQ(NSNumber::numberWithBool(true)->description(), "1");
}

TEST(ValueMessages, StringsAndNumbersAnswerTheSameSelectors)
{
    // Preference values are read through `id`: a number and a numeric string serve alike.
    for (Ref<NSObject> value : { Ref<NSObject>(text("13")), Ref<NSObject>(NSNumber::numberWithLongLong(13)) }) {
        EXPECT_EQ(objc_msgSend<int>(value.get(), "intValue"), 13);
        EXPECT_EQ(objc_msgSend<NSInteger>(value.get(), "integerValue"), 13);
        EXPECT_TRUE(objc_msgSend<BOOL>(value.get(), "boolValue"));
        EXPECT_DOUBLE_EQ(objc_msgSend<double>(value.get(), "doubleValue"), 13.0);
    }
}
