#include <host/LockScreenStrings.h>

#include <unicode/locid.h>
#include <unicode/numberformatter.h>
#include <unicode/reldatefmt.h>

#include <cmath>
#include <memory>

namespace host {

namespace {

struct HintTexts {
    // A language, with the script or the region where the phone tells them apart.
    std::string_view language;
    std::string_view unlock;
    std::string_view open;
};

// The languages the phone speaks; the first is the one for all others.
constexpr HintTexts hintTexts[] = {
    { "en", "Press home to unlock", "Press home to open" },
    { "ar", "اضغط على زر الشاشة الرئيسية لإلغاء القفل", "اضغط على زر الشاشة الرئيسية للفتح" },
    { "ca", "Prem el botó d’inici per desbloquejar", "Prem el botó d’inici per obrir" },
    { "cs", "Odemkněte stisknutím tlačítka plochy", "Otevřete stisknutím tlačítka plochy" },
    { "da", "Tryk på hjem for at låse op", "Tryk på hjem for at åbne" },
    { "de", "Zum Entsperren Home drücken", "Zum Öffnen Home drücken" },
    { "el", "Πατήστε Αφετηρία για ξεκλείδωμα", "Πατήστε Αφετηρία για άνοιγμα" },
    { "es", "Pulsa el botón de inicio para desbloquear", "Pulsa el botón de inicio para abrir" },
    { "fi", "Avaa lukitus painamalla kotipainiketta", "Avaa painamalla kotipainiketta" },
    { "fr", "Appuyez sur le bouton principal pour déverrouiller", "Appuyez sur le bouton principal pour ouvrir" },
    { "he", "יש ללחוץ על כפתור הבית לביטול הנעילה", "יש ללחוץ על כפתור הבית לפתיחה" },
    { "hi", "अनलॉक करने के लिए होम दबाएँ", "खोलने के लिए होम दबाएँ" },
    { "hr", "Pritisnite tipku Početna za otključavanje", "Pritisnite tipku Početna za otvaranje" },
    { "hu", "A feloldáshoz nyomja meg a Főgombot", "A megnyitáshoz nyomja meg a Főgombot" },
    { "id", "Tekan tombol utama untuk membuka kunci", "Tekan tombol utama untuk membuka" },
    { "it", "Premi il tasto Home per sbloccare", "Premi il tasto Home per aprire" },
    { "ja", "ホームボタンを押してロック解除", "ホームボタンを押して開く" },
    { "ko", "잠금 해제하려면 홈 버튼을 누르십시오", "열려면 홈 버튼을 누르십시오" },
    { "ms", "Tekan butang utama untuk buka kunci", "Tekan butang utama untuk buka" },
    { "nb", "Trykk på Hjem for å låse opp", "Trykk på Hjem for å åpne" },
    { "nl", "Druk op de thuisknop om te ontgrendelen", "Druk op de thuisknop om te openen" },
    { "pl", "Naciśnij przycisk Początek, aby odblokować", "Naciśnij przycisk Początek, aby otworzyć" },
    { "pt", "Pressione o botão de Início para desbloquear", "Pressione o botão de Início para abrir" },
    { "pt-PT", "Prima o botão principal para desbloquear", "Prima o botão principal para abrir" },
    { "ro", "Apăsați butonul principal pentru deblocare", "Apăsați butonul principal pentru deschidere" },
    { "ru", "Нажмите «Домой» для разблокировки", "Нажмите «Домой», чтобы открыть" },
    { "sk", "Odomknite stlačením tlačidla plochy", "Otvorte stlačením tlačidla plochy" },
    { "sv", "Tryck på hemknappen för att låsa upp", "Tryck på hemknappen för att öppna" },
    { "th", "กดปุ่มโฮมเพื่อปลดล็อก", "กดปุ่มโฮมเพื่อเปิด" },
    { "tr", "Kilidi açmak için ana ekran düğmesine basın", "Açmak için ana ekran düğmesine basın" },
    { "uk", "Натисніть «Додому», щоб розблокувати", "Натисніть «Додому», щоб відкрити" },
    { "vi", "Nhấn nút home để mở khóa", "Nhấn nút home để mở" },
    { "zh-Hans", "按下主屏幕按钮以解锁", "按下主屏幕按钮以打开" },
    { "zh-Hant", "按下主畫面按鈕來解鎖", "按下主畫面按鈕來打開" },
};

// The row for the locale: its language with the script ("zh-Hant" for zh_TW) or
// with the region ("pt-PT") where the table has such a row, else the language.
const HintTexts& hintTextsFor(const std::string& localeIdentifier)
{
    const icu::Locale locale(localeIdentifier.c_str());
    icu::Locale likely(locale);
    UErrorCode status = U_ZERO_ERROR;
    likely.addLikelySubtags(status);
    std::string language = locale.getLanguage();
    // Norwegian without more is Bokmål, as on the phone.
    if (language == "no")
        language = "nb";
    for (const std::string& name :
        { language + "-" + likely.getScript(), language + "-" + likely.getCountry(), language }) {
        for (const HintTexts& row : hintTexts) {
            if (row.language == name)
                return row;
        }
    }
    return hintTexts[0];
}

std::string utf8(const icu::UnicodeString& text)
{
    std::string result;
    text.toUTF8String(result);
    return result;
}

// The relative formatters of one locale, made once while the locale stays.
struct AgeFormatters {
    explicit AgeFormatters(const std::string& localeIdentifier)
        : locale(localeIdentifier)
    {
        const icu::Locale icuLocale(localeIdentifier.c_str());
        UErrorCode status = U_ZERO_ERROR;
        narrow = std::make_unique<icu::RelativeDateTimeFormatter>(
            icuLocale, nullptr, UDAT_STYLE_NARROW, UDISPCTX_CAPITALIZATION_NONE, status);
        brief = std::make_unique<icu::RelativeDateTimeFormatter>(
            icuLocale, nullptr, UDAT_STYLE_SHORT, UDISPCTX_CAPITALIZATION_NONE, status);
    }

    std::string locale;
    std::unique_ptr<icu::RelativeDateTimeFormatter> narrow;
    std::unique_ptr<icu::RelativeDateTimeFormatter> brief;
};

AgeFormatters& ageFormatters(const std::string& localeIdentifier)
{
    static std::unique_ptr<AgeFormatters> formatters;
    if (!formatters || formatters->locale != localeIdentifier)
        formatters = std::make_unique<AgeFormatters>(localeIdentifier);
    return *formatters;
}

// Some locales' narrow form writes the past as a signed number ("-3 h"), a form
// for charts rather than for words.
bool isSignedNumber(const icu::UnicodeString& text)
{
    return text.startsWith(u"-") || text.startsWith(u"\u2212");
}

} // namespace

std::string_view lockScreenHintText(LockScreenHint hint, const std::string& localeIdentifier)
{
    const HintTexts& texts = hintTextsFor(localeIdentifier);
    return hint == LockScreenHint::Open ? texts.open : texts.unlock;
}

std::string notificationAgeText(double seconds, const std::string& localeIdentifier)
{
    AgeFormatters& formatters = ageFormatters(localeIdentifier);
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text;
    const long minutes = std::lround(std::floor(seconds / 60));
    if (minutes < 1) {
        formatters.narrow->format(UDAT_DIRECTION_PLAIN, UDAT_ABSOLUTE_NOW, text, status);
        return utf8(text);
    }
    const bool inHours = minutes >= 60;
    const double ago = -static_cast<double>(inHours ? minutes / 60 : minutes);
    const URelativeDateTimeUnit unit = inHours ? UDAT_REL_UNIT_HOUR : UDAT_REL_UNIT_MINUTE;
    formatters.narrow->formatNumeric(ago, unit, text, status);
    if (isSignedNumber(text)) {
        text.remove();
        formatters.brief->formatNumeric(ago, unit, text, status);
    }
    return utf8(text);
}

std::string chargeText(double fraction, const std::string& localeIdentifier)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::number::FormattedNumber number
        = icu::number::NumberFormatter::withLocale(icu::Locale(localeIdentifier.c_str()))
              .unit(icu::MeasureUnit::getPercent())
              .formatDouble(std::round(fraction * 100), status);
    return utf8(number.toString(status));
}

bool isRightToLeft(const std::string& localeIdentifier)
{
    return icu::Locale(localeIdentifier.c_str()).isRightToLeft();
}

} // namespace host
