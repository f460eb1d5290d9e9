#include "ImagePixels.h"
#include "PinnedHost.h"

#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIStringDrawing.h>
#include <platform/Log.h>

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

namespace {

Ref<UIImage> drawLine(std::string_view text, CGFloat size = 13)
{
    return testing_support::drawImage(CGSizeMake(30 * size, 2 * size), [&] {
        UIColor::blackColor()->set();
        NSStringDrawInRect(text, CGRectMake(0, 0, 30 * size, 2 * size), UIFont::fontWithName("HelveticaNeue", size).get(),
            NSLineBreakByClipping, NSTextAlignmentLeft);
    });
}

bool samePixels(const UIImage& a, const UIImage& b)
{
    if (a.pixelWidth() != b.pixelWidth() || a.pixelHeight() != b.pixelHeight())
        return false;
    for (std::size_t y = 0; y < a.pixelHeight(); ++y) {
        for (std::size_t x = 0; x < a.pixelWidth(); ++x) {
            if (!(a.pixelAt(x, y) == b.pixelAt(x, y)))
                return false;
        }
    }
    return true;
}

} // namespace

TEST(FontFallback, EveryWritingSystemDrawsAndACharacterNoFontHasIsLoggedOncePerText)
{
    const std::size_t mark = platform::logLinesWritten();
    for (std::string_view text : { "팀 회의", "会議の準備", "项目会议 简报", "專案會議 簡報", "ประชุมทีม", "टीम बैठक",
             "দলের সভা", "اجتماع الفريق", "פגישת צוות", "Встреча команды", "Lunch 🍕🥗 👨‍👩‍👧 🇩🇪" }) {
        drawLine(text);
    }
    EXPECT_EQ(platform::loggedLinesSince(mark), std::vector<std::string> {});

    // Unassigned and private code points: no face has them. A text of its own for
    // each run, since a text is reported once for the life of the process.
    static int run = 0;
    const std::string text = "Plan " + std::to_string(++run) + " \u0378 und \U0010FFFD \u0378";
    drawLine(text);
    drawLine(text);
    EXPECT_EQ(platform::loggedLinesSince(mark),
        std::vector<std::string> { "UIKit: no installed font draws U+0378 U+10FFFD, shown as boxes in \"" + text + "\"" });
}

TEST(FontFallback, TheDeviceLanguageChoosesTheFormsOfSharedCharacters)
{
    // 骨 is drawn differently in simplified Chinese, traditional Chinese and Japanese.
    auto drawnIn = [](const std::string& locale, std::string_view text) {
        dates_testing::PinnedHost device(locale, "UTC");
        return drawLine(text, 40);
    };
    const Ref<UIImage> simplified = drawnIn("zh_CN", "骨");
    const Ref<UIImage> traditional = drawnIn("zh_Hant_TW", "骨");
    const Ref<UIImage> japanese = drawnIn("ja_JP", "骨");
    EXPECT_FALSE(samePixels(*simplified, *traditional));
    EXPECT_FALSE(samePixels(*simplified, *japanese));
    EXPECT_FALSE(samePixels(*traditional, *japanese));
    EXPECT_TRUE(samePixels(*drawnIn("zh_TW", "骨"), *traditional));
    EXPECT_TRUE(samePixels(*drawnIn("en_US", "骨"), *simplified)) << "other languages take the simplified forms";

    // Latin text draws the same whatever the language.
    const Ref<UIImage> latin = drawnIn("en_US", "Quarterly review, 9:30\u202FAM");
    for (const char* locale : { "ja_JP", "ko_KR", "th_TH", "ar_EG" })
        EXPECT_TRUE(samePixels(*drawnIn(locale, "Quarterly review, 9:30\u202FAM"), *latin)) << locale;
}
