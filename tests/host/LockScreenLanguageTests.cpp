#include "PinnedHost.h"

#include <host/LockScreenChrome.h>
#include <host/LockScreenStrings.h>

#include <UIKit/UIStringDrawing.h>

#include <gtest/gtest.h>

using host::LockScreenHint;

TEST(LockScreenLanguage, TheHintIsInTheDevicesLanguageAndShrinksToFitTheSmallestScreen)
{
    const host::DeviceModel& smallest = *host::findDeviceModel("iphonese");
    for (const char* locale : { "fr_FR", "ru_RU", "de_DE", "en_US" }) {
        SCOPED_TRACE(locale);
        dates_testing::PinnedHost device(locale, "UTC");
        LockScreenChrome chrome(smallest, host::Orientation::Portrait);
        UILabel* hint = chrome.hintLabel();
        const std::string text = hint->text()->UTF8String();
        EXPECT_EQ(text, host::lockScreenHintText(LockScreenHint::Unlock, locale));
        EXPECT_EQ(hint->displayedText(), text) << "shrunk, not cut";
        EXPECT_LE(NSStringSizeWithFont(text, hint->displayedFont().get()).width, hint->bounds().size.width);
        EXPECT_LT(CGRectGetMaxX(hint->frame()), smallest.portraitSize.width) << "clear of the edge";
        // French is far wider than the screen; English fits at the hint's own size.
        const CGFloat shown = hint->displayedFont()->pointSize();
        if (std::string_view(locale) == "fr_FR") {
            EXPECT_LT(shown, 0.9 * hint->font()->pointSize());
        } else if (std::string_view(locale) == "en_US") {
            EXPECT_EQ(shown, hint->font()->pointSize());
        }

        chrome.showHint(LockScreenHint::Open);
        EXPECT_EQ(hint->text()->UTF8String(), host::lockScreenHintText(LockScreenHint::Open, locale));
    }
}

TEST(LockScreenLanguage, TheHintTableMatchesLanguageScriptAndRegion)
{
    auto unlock = [](const std::string& locale) { return host::lockScreenHintText(LockScreenHint::Unlock, locale); };
    EXPECT_EQ(unlock("it_IT"), "Premi il tasto Home per sbloccare");
    EXPECT_EQ(unlock("zh_CN"), "按下主屏幕按钮以解锁");
    EXPECT_EQ(unlock("zh_TW"), "按下主畫面按鈕來解鎖");
    EXPECT_EQ(unlock("zh_HK"), unlock("zh_TW"));
    EXPECT_EQ(unlock("pt_PT"), "Prima o botão principal para desbloquear");
    EXPECT_EQ(unlock("pt_BR"), unlock("pt"));
    EXPECT_EQ(unlock("no_NO"), unlock("nb"));
    EXPECT_EQ(unlock("kl_GL"), "Press home to unlock") << "a language the phone does not speak";
}

TEST(LockScreenLanguage, ANotificationsAgeComesFromIcuInTheDevicesLanguage)
{
    EXPECT_EQ(host::notificationAgeText(59, "en_US"), "now");
    EXPECT_EQ(host::notificationAgeText(60, "en_US"), "1m ago");
    EXPECT_EQ(host::notificationAgeText(3 * 3600 + 59 * 60, "en_US"), "3h ago");
    EXPECT_EQ(host::notificationAgeText(30, "ja_JP"), "今");
    EXPECT_EQ(host::notificationAgeText(5 * 60, "ja_JP"), "5分前");
    EXPECT_EQ(host::notificationAgeText(2 * 3600, "ja_JP"), "2時間前");
    // French writes its narrowest past as a signed number; the phone says it in words.
    EXPECT_EQ(host::notificationAgeText(5 * 60, "fr_FR"), "il y a 5\u00A0min");
}

TEST(LockScreenLanguage, TheStatusBarWritesTheChargeAsTheLocaleDoesAndMirrorsForRightToLeft)
{
    EXPECT_EQ(host::chargeText(1, "tr_TR"), "%100");

    auto carrierMidX = [](const std::string& locale) {
        dates_testing::PinnedHost device(locale, "UTC");
        LockScreenStatusBar bar(CGRectMake(0, 0, 375, 20));
        bar.layoutSubviews();
        for (const Ref<UIView>& view : bar.subviews()) {
            auto* label = dynamicCast<UILabel>(view.get());
            if (label && label->text()->UTF8String() == "Dayglass")
                return CGRectGetMidX(label->frame());
        }
        return CGFloat(-1);
    };
    EXPECT_LT(carrierMidX("en_US"), 375 / 2);
    EXPECT_GT(carrierMidX("he_IL"), 375 / 2);
}
