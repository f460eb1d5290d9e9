#include "ImagePixels.h"

#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIStringDrawing.h>

#include <gtest/gtest.h>

TEST(Font, KnownNamesResolveToThePinnedFaces)
{
    Ref<UIFont> regular = UIFont::fontWithName("HelveticaNeue", 13);
    Ref<UIFont> light = UIFont::fontWithName("HelveticaNeue-Light"_ns.get(), 40);
    Ref<UIFont> system = UIFont::systemFontOfSize(17);
    ASSERT_TRUE(regular && light && system);

    EXPECT_EQ(regular->faceName(), "Liberation Sans");
    EXPECT_EQ(light->faceName(), "Roboto Light");
    EXPECT_EQ(system->faceName(), "Inter");
}

TEST(Font, NameAndSizeAreKeptAndUnknownNamesAreNil)
{
    Ref<UIFont> font = UIFont::fontWithName("HelveticaNeue", 13);
    EXPECT_EQ(font->fontName()->UTF8String(), "HelveticaNeue");
    EXPECT_EQ(font->pointSize(), 13);

    Ref<UIFont> larger = font->fontWithSize(20);
    EXPECT_EQ(larger->fontName()->UTF8String(), "HelveticaNeue");
    EXPECT_EQ(larger->pointSize(), 20);
    EXPECT_EQ(font->pointSize(), 13);
    EXPECT_TRUE(font->fontWithSize(13)->isEqual(font.get()));

    EXPECT_EQ(UIFont::fontWithName("Comic Sans MS", 13), nullptr);
    EXPECT_EQ(UIFont::fontWithName("HelveticaNeue", 0), nullptr);
    EXPECT_EQ(UIFont::fontWithName(static_cast<const NSString*>(nullptr), 13), nullptr);
}

TEST(Font, MetricsAreThoseOfALineAndScaleWithSize)
{
    for (Ref<UIFont> font : { UIFont::fontWithName("HelveticaNeue", 13),
             UIFont::fontWithName("HelveticaNeue-Light", 13), UIFont::systemFontOfSize(13) }) {
        SCOPED_TRACE(font->description());
        EXPECT_GT(font->ascender(), 0.7 * 13);
        EXPECT_LT(font->descender(), -0.1 * 13);
        EXPECT_DOUBLE_EQ(font->lineHeight(), font->ascender() - font->descender());
        EXPECT_GT(font->lineHeight(), 1.05 * 13);
        EXPECT_LT(font->lineHeight(), 1.3 * 13);
        EXPECT_NEAR(font->fontWithSize(26)->lineHeight(), 2 * font->lineHeight(), 0.01);
        // A line of text measures exactly what the font says a line is.
        EXPECT_DOUBLE_EQ(NSStringSizeWithFont("Agenda", font.get()).height, font->lineHeight());
    }
}

TEST(Font, LightFaceIsLighterThanRegular)
{
    auto inkOf = [](const char* name) {
        Ref<UIFont> font = UIFont::fontWithName(name, 40);
        return testing_support::inkAmount(*testing_support::drawImage(CGSizeMake(120, 50), [&] {
            UIColor::blackColor()->set();
            NSStringDrawInRect(
                "2805", CGRectMake(0, 0, 120, 50), font.get(), NSLineBreakByClipping, NSTextAlignmentLeft);
        }));
    };
    const double regular = inkOf("HelveticaNeue");
    const double light = inkOf("HelveticaNeue-Light");
    EXPECT_GT(light, 0);
    EXPECT_LT(light, 0.85 * regular);
}
