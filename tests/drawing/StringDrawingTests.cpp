#include "ImagePixels.h"

#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIStringDrawing.h>

#include <gtest/gtest.h>

using testing_support::drawImage;
using testing_support::inkBounds;

namespace {

Ref<UIImage> drawText(std::string_view text, CGSize canvas, CGRect box, NSLineBreakMode mode, NSTextAlignment alignment,
    const UIColor& color = *UIColor::blackColor(), Ref<UIFont> font = UIFont::fontWithName("HelveticaNeue", 12))
{
    return drawImage(canvas, [&] {
        color.set();
        NSStringDrawInRect(text, box, font.get(), mode, alignment);
    });
}

bool contains(CGRect outer, CGRect inner)
{
    return CGRectGetMinX(inner) >= CGRectGetMinX(outer) && CGRectGetMinY(inner) >= CGRectGetMinY(outer)
        && CGRectGetMaxX(inner) <= CGRectGetMaxX(outer) && CGRectGetMaxY(inner) <= CGRectGetMaxY(outer);
}

} // namespace

TEST(StringMeasure, WidthGrowsWithTheTextAndHeightIsOneLine)
{
    Ref<UIFont> font = UIFont::fontWithName("HelveticaNeue", 13);
    const CGSize one = NSStringSizeWithFont("AAAAAAAAAAA", font.get());
    const CGSize two = NSStringSizeWithFont("AAAAAAAAAAAAAAAAAAAAAA", font.get());
    EXPECT_GT(one.width, 11 * 0.5 * 13);
    EXPECT_NEAR(two.width, 2 * one.width, 0.01);
    EXPECT_DOUBLE_EQ(one.height, font->lineHeight());
    EXPECT_DOUBLE_EQ(NSStringSizeWithFont("two\nlines", font.get()).height, font->lineHeight());
    EXPECT_EQ(NSStringSizeWithFont("x", nullptr), CGSizeZero);
}

TEST(StringMeasure, TruncatingTailKeepsTheLongestStartThatFits)
{
    Ref<UIFont> font = UIFont::fontWithName("HelveticaNeue", 13);
    const std::string title = "Quarterly planning meeting with the whole team";
    EXPECT_EQ(NSStringTruncatingTail(title, font.get(), 1000), title);

    for (CGFloat width : { 40.0, 80.0, 150.0 }) {
        SCOPED_TRACE(width);
        const std::string cut = NSStringTruncatingTail(title, font.get(), width);
        ASSERT_GT(cut.size(), 3u);
        const std::string kept = cut.substr(0, cut.size() - 3);
        EXPECT_EQ(cut.substr(kept.size()), "\u2026");
        EXPECT_EQ(title.rfind(kept, 0), 0u) << cut;
        EXPECT_NE(kept.back(), ' ');
        EXPECT_LE(NSStringSizeWithFont(cut, font.get()).width, width);
        // One more character would not fit.
        const std::string longer = title.substr(0, kept.size() + 1) + "\u2026";
        EXPECT_GT(NSStringSizeWithFont(longer, font.get()).width, width);
    }
    EXPECT_EQ(NSStringTruncatingTail(title, font.get(), 2), "");
}

TEST(StringMeasure, TruncationNeverSplitsACharacter)
{
    Ref<UIFont> font = UIFont::fontWithName("HelveticaNeue", 13);
    const std::string text = "Überraschungsfeier für Jürgen";
    for (CGFloat width = 10; width < 150; width += 3) {
        const std::string cut = NSStringTruncatingTail(text, font.get(), width);
        const std::size_t kept = cut.empty() ? 0 : cut.size() - 3;
        // The next byte of the original starts a character: it is no continuation byte.
        EXPECT_NE(static_cast<unsigned char>(text[kept]) & 0xC0, 0x80) << width << ": " << cut;
    }
}

TEST(StringDrawing, ClippedTextStaysInsideItsBoxAndIsCutAtBothEdges)
{
    const CGRect box = CGRectMake(20, 10, 40, 30);
    Ref<UIImage> image
        = drawText("Wednesday Wednesday", CGSizeMake(100, 60), box, NSLineBreakByClipping, NSTextAlignmentCenter);
    const CGRect ink = inkBounds(*image);
    ASSERT_FALSE(CGRectIsEmpty(ink));
    EXPECT_TRUE(contains(box, ink));
    // Centred and wider than the box: the box is inked from edge to edge.
    EXPECT_EQ(CGRectGetMinX(ink), 20);
    EXPECT_EQ(CGRectGetMaxX(ink), 60);
    // Not wrapped: everything lies on the first line.
    EXPECT_LE(CGRectGetMaxY(ink), 10 + UIFont::fontWithName("HelveticaNeue", 12)->lineHeight() + 1);
}

TEST(StringDrawing, FirstLineIsDrawnWholeInAShortBox)
{
    Ref<UIFont> font = UIFont::fontWithName("HelveticaNeue", 12);
    Ref<UIImage> image = drawText(
        "Thursday", CGSizeMake(64, 30), CGRectMake(0, 5, 64, 10), NSLineBreakByClipping, NSTextAlignmentCenter);
    const CGRect ink = inkBounds(*image);
    EXPECT_GE(CGRectGetMinY(ink), 5);
    EXPECT_GT(CGRectGetMaxY(ink), 15) << "the descender of the y reaches below the box";
    EXPECT_LE(CGRectGetMaxY(ink), 5 + font->lineHeight() + 1);
}

TEST(StringDrawing, AlignmentPlacesTheLineInTheBox)
{
    const CGRect box = CGRectMake(10, 0, 100, 20);
    auto inkFor = [&](NSTextAlignment alignment) {
        return inkBounds(*drawText("Hi", CGSizeMake(120, 20), box, NSLineBreakByClipping, alignment));
    };
    const CGRect left = inkFor(NSTextAlignmentLeft);
    const CGRect centre = inkFor(NSTextAlignmentCenter);
    const CGRect right = inkFor(NSTextAlignmentRight);
    EXPECT_NEAR(CGRectGetMinX(left), 10, 2);
    EXPECT_NEAR(CGRectGetMinX(centre) + CGRectGetWidth(centre) / 2, 60, 1.5);
    EXPECT_NEAR(CGRectGetMaxX(right), 110, 2);
    EXPECT_NEAR(CGRectGetWidth(left), CGRectGetWidth(right), 1);
}

TEST(StringDrawing, TextTakesTheFillColor)
{
    Ref<UIImage> image = drawText("Mon", CGSizeMake(40, 20), CGRectMake(0, 0, 40, 20), NSLineBreakByClipping,
        NSTextAlignmentLeft, *UIColor::redColor());
    bool sawInk = false;
    for (std::size_t y = 0; y < 20; ++y) {
        for (std::size_t x = 0; x < 40; ++x) {
            const UIImagePixel p = image->pixelAt(x, y);
            if (p.alpha < 200)
                continue;
            sawInk = true;
            EXPECT_EQ(p, (UIImagePixel { 255, 0, 0, p.alpha }));
        }
    }
    EXPECT_TRUE(sawInk);
}

TEST(StringDrawing, TruncatingTailDrawsTheShortenedLine)
{
    Ref<UIFont> font = UIFont::fontWithName("HelveticaNeue", 12);
    const std::string title = "A rather long title that cannot fit";
    const CGRect box = CGRectMake(0, 0, 80, 20);
    Ref<UIImage> drawn = drawText(title, CGSizeMake(120, 20), box, NSLineBreakByTruncatingTail, NSTextAlignmentLeft);
    Ref<UIImage> expected = drawText(NSStringTruncatingTail(title, font.get(), 80), CGSizeMake(120, 20), box,
        NSLineBreakByClipping, NSTextAlignmentLeft);
    EXPECT_EQ(inkBounds(*drawn), inkBounds(*expected));
    EXPECT_DOUBLE_EQ(testing_support::inkAmount(*drawn), testing_support::inkAmount(*expected));
    EXPECT_TRUE(contains(box, inkBounds(*drawn)));
}

TEST(StringDrawing, WordWrappingBreaksIntoLinesWithinTheBox)
{
    Ref<UIFont> font = UIFont::fontWithName("HelveticaNeue", 12);
    const CGRect box = CGRectMake(0, 0, 60, 60);
    const CGRect ink = inkBounds(
        *drawText("one two three four", CGSizeMake(100, 80), box, NSLineBreakByWordWrapping, NSTextAlignmentLeft));
    EXPECT_GT(CGRectGetMaxY(ink), font->lineHeight() + 2);
    EXPECT_TRUE(contains(box, ink));
}

TEST(StringDrawing, NothingIsDrawnWithoutAContextOrFont)
{
    ASSERT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    EXPECT_EQ(NSStringDrawInRect("x", CGRectMake(0, 0, 10, 10), UIFont::systemFontOfSize(12).get(),
                  NSLineBreakByClipping, NSTextAlignmentLeft),
        CGSizeZero);
    const CGRect ink = inkBounds(*drawImage(CGSizeMake(10, 10), [] {
        NSStringDrawInRect("x", CGRectMake(0, 0, 10, 10), nullptr, NSLineBreakByClipping, NSTextAlignmentLeft);
    }));
    EXPECT_TRUE(CGRectIsEmpty(ink));
}
