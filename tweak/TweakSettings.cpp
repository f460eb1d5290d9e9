#include <tweak/TweakSettings.h>

#include <Foundation/NSDictionary.h>
#include <Foundation/NSException.h>
#include <Foundation/NSLog.h>
#include <objc/accessors.h>
#include <objc/message.h>

#include <optional>

#define DAYGLASS_DEFINE_SETTING(symbol, key, kind, fallback) SettingVariable<SettingKind::kind> symbol;
DAYGLASS_SETTINGS(DAYGLASS_DEFINE_SETTING)
#undef DAYGLASS_DEFINE_SETTING

namespace {

DGLSwipeAction swipeActionFor(std::optional<NSInteger> code)
{
    if (!code || static_cast<NSUInteger>(*code) > DGLSwipeActionLaunchApplication)
        return DGLSwipeActionOpenEvent;
    return static_cast<DGLSwipeAction>(*code);
}

// The first three names in order; any other string is the calendar page.
DGLIconType iconTypeFor(const NSString* name)
{
    if (!name)
        return DGLIconTypeNone;
    for (NSInteger code = DGLIconTypeNone; code < DGLIconTypeCalendarPage; ++code)
        if (name->UTF8String() == iconTypeNames[code])
            return static_cast<DGLIconType>(code);
    return DGLIconTypeCalendarPage;
}

// One load's reading of the file. Numbers and numeric strings are read through the
// generic accessors, sent through the runtime. A value of another kind (a
// dictionary, an array, a date, …) does not answer them: it is logged and then
// treated as if its key were absent, so that no file can take the host down.
class PreferenceReader {
public:
    explicit PreferenceReader(const NSDictionary* values)
        : values_(values)
    {
    }

    std::optional<BOOL> boolValue(const char* key) const { return send<BOOL>(key, "boolValue"); }
    std::optional<NSInteger> integerValue(const char* key) const { return send<NSInteger>(key, "integerValue"); }
    // 32 bits, widened with the sign.
    std::optional<NSInteger> intValue(const char* key) const { return send<int>(key, "intValue"); }
    const NSString* stringValue(const char* key) const
    {
        NSObject* value = lookUp(key);
        auto* string = dynamicCast<NSString>(value);
        if (value && !string)
            reportWrongKind(key, value, "a string");
        return string;
    }

private:
    NSObject* lookUp(const char* key) const { return values_ ? values_->objectForKey(key) : nullptr; }

    template <typename R> std::optional<R> send(const char* key, const char* selector) const
    {
        NSObject* value = lookUp(key);
        if (!value)
            return std::nullopt;
        try {
            return objc_msgSend<R>(value, selector);
        } catch (const NSException&) {
            reportWrongKind(key, value, "a number or a string");
            return std::nullopt;
        }
    }

    static void reportWrongKind(const char* key, const NSObject* value, const char* expected)
    {
        NSLog("DGL: ignoring preference \"%s\": %s is not %s.", key, class_getName(object_getClass(value)), expected);
    }

    const NSDictionary* values_;
};

NSInteger boundedDayCount(const char* key, NSInteger days)
{
    if (days <= longestDayCount)
        return days;
    NSLog("DGL: preference \"%s\" asks for %ld days; looking %ld days ahead.", key, static_cast<long>(days),
        static_cast<long>(longestDayCount));
    return longestDayCount;
}

// One row of the settings table: the field from its key, or the fallback.
template <SettingKind kind, typename Fallback>
void loadSetting(SettingVariable<kind>& field, const PreferenceReader& file, const char* key, const Fallback& fallback)
{
    using enum SettingKind;
    if constexpr (kind == Switch)
        field = file.boolValue(key).value_or(fallback);
    else if constexpr (kind == Seconds)
        field = file.integerValue(key).value_or(fallback);
    else if constexpr (kind == TextSize || kind == EventCount)
        field = file.intValue(key).value_or(fallback);
    else if constexpr (kind == DayCount)
        field = boundedDayCount(key, file.intValue(key).value_or(fallback));
    else if constexpr (kind == Color || kind == TitleColor) {
        const std::optional<NSInteger> code = file.integerValue(key);
        // The title colour also decides whether titles take their calendar's
        // colour; an absent key leaves that choice as the previous load made it.
        if (kind == TitleColor && code)
            titleColorSameAsCalendarColor = *code == calendarColorCode;
        field = (code ? fallback.colorFor(*code) : fallback.absent()).get();
    } else if constexpr (kind == Text) {
        const NSString* stored = file.stringValue(key);
        field = stored ? const_cast<NSString*>(stored) : NSString::string(fallback).get();
    } else if constexpr (kind == SwipeAction)
        field = swipeActionFor(file.integerValue(key));
    else if constexpr (kind == IconType)
        field = iconTypeFor(file.stringValue(key));
    // FollowsTitleColor has no key: the title colour's row sets it.
}

// Back to zero, NO or nil, releasing an object held.
template <typename T> void resetSetting(T& field)
{
    field = T {};
}

template <typename T> void resetSetting(RetainedSlot<T>& field)
{
    field = nullptr;
}

// A field as a class property of the settings class, of the table's type.
template <SettingKind kind, auto& field> struct SettingProperty {
    using Value = SettingType<kind>;

    static objc::Wire<Value> get(Class, SEL) { return objc::toWire<Value>(field); }
    static void set(Class, SEL, objc::Wire<Value> value) { field = objc::fromWire<Value>(value); }
};

} // namespace

const NSString* preferencesChangedNotificationName()
{
    static const NSString* name = NSString::string(preferencesChangedNotification).leak();
    return name;
}

void loadPreferences()
{
    Ref<NSDictionary> values = NSDictionary::dictionaryWithContentsOfFile(preferencesFilePath);
    if (!values)
        NSLog("DGL: unable to load preferences.");
    const PreferenceReader file(values.get());

#define DAYGLASS_LOAD_SETTING(symbol, key, kind, fallback) loadSetting<SettingKind::kind>(symbol, file, key, fallback);
    DAYGLASS_SETTINGS(DAYGLASS_LOAD_SETTING)
#undef DAYGLASS_LOAD_SETTING
}

void resetTweakSettings()
{
#define DAYGLASS_RESET_SETTING(symbol, key, kind, fallback) resetSetting(symbol);
    DAYGLASS_SETTINGS(DAYGLASS_RESET_SETTING)
#undef DAYGLASS_RESET_SETTING
}

Class tweakSettingsClass()
{
    static Class cls = objc::registerClass({ settingsClassName, NSObject::classObject(), {} }, [](Class c) {
#define DAYGLASS_ADD_SETTING_PROPERTY(symbol, key, kind, fallback)                                                     \
    objc::addClassMethod(c, #symbol, &SettingProperty<SettingKind::kind, symbol>::get);                                \
    objc::addClassMethod(c, settingSetterName(#symbol).c_str(), &SettingProperty<SettingKind::kind, symbol>::set);
        DAYGLASS_SETTINGS(DAYGLASS_ADD_SETTING_PROPERTY)
#undef DAYGLASS_ADD_SETTING_PROPERTY
    });
    return cls;
}

void preferencesChangedCallback(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef)
{
    loadPreferences();
}
