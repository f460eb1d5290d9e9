#include "DeviceCalendars.h"

#include "ExtensionSettings.h"
#include "PreferenceFile.h"

#include <EventKit/EKEventStore.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <platform/Environment.h>

namespace {

std::set<std::string> identifiersIn(const NSArray* list)
{
    std::set<std::string> identifiers;
    if (list)
        for (const Ref<NSObject>& entry : *list)
            if (const auto* identifier = dynamicCast<NSString>(entry.get()))
                identifiers.insert(identifier->UTF8String());
    return identifiers;
}

CalendarShown shownBy(const CalendarChoice& choice, const std::string& identifier)
{
    if (!choice.chooses)
        return CalendarShown::NothingChosen;
    const bool named = choice.named.count(identifier) > 0;
    if (choice.fromCalendarList)
        return named ? CalendarShown::Yes : CalendarShown::NotInCalendarList;
    return named ? CalendarShown::DeselectedInCalendarApp : CalendarShown::Yes;
}

} // namespace

CalendarChoice readCalendarChoice()
{
    CalendarChoice choice;
    choice.fromCalendarList = !extensionSetting<setting::onlySelectedCalendars>();
    if (choice.fromCalendarList) {
        choice.file = platform::resolveDevicePath(calendarListFilePath);
        const Ref<NSArray> list = NSArray::arrayWithContentsOfFile(calendarListFilePath);
        choice.chooses = list && list->count() > 0;
        choice.named = identifiersIn(list.get());
    } else {
        choice.file = platform::resolveDevicePath(calendarAppPreferencesPath);
        const Ref<NSDictionary> preferences = NSDictionary::dictionaryWithContentsOfFile(calendarAppPreferencesPath);
        choice.chooses = preferences != nullptr;
        if (preferences)
            choice.named = identifiersIn(dynamicCast<NSArray>(preferences->objectForKey(deselectedCalendarsKey)));
    }
    return choice;
}

std::vector<DeviceCalendar> deviceCalendars(const CalendarChoice& choice, bool countEvents)
{
    const auto store = makeRef<EKEventStore>();
    std::vector<DeviceCalendar> found;
    const Ref<NSArray> all = store->calendars();
    for (const Ref<NSObject>& entry : *all) {
        const auto* calendar = dynamicCast<EKCalendar>(entry.get());
        if (!calendar)
            continue;
        const EKCalendarOrigin origin = store->originOfCalendar(calendar);
        const CGColor* color = calendar->CGColor();
        DeviceCalendar shown { .identifier = calendar->calendarIdentifier()->UTF8String(),
            .title = calendar->title()->UTF8String(),
            .color = { color->red(), color->green(), color->blue(), color->alpha() },
            .path = origin.path,
            .onDevice = origin.onDevice };
        if (countEvents)
            shown.events = store->eventCountOfCalendar(calendar);
        shown.shown = shownBy(choice, shown.identifier);
        found.push_back(std::move(shown));
    }
    return found;
}

std::string whyNotShown(const CalendarChoice& choice, CalendarShown shown)
{
    switch (shown) {
    case CalendarShown::Yes:
        break;
    case CalendarShown::NothingChosen:
        return choice.fromCalendarList ? "the calendar list is missing or empty"
                                       : "the calendar application's preferences cannot be read";
    case CalendarShown::DeselectedInCalendarApp:
        return "deselected in the calendar application";
    case CalendarShown::NotInCalendarList:
        return "not in the calendar list";
    }
    return "";
}

std::string choiceClause(const CalendarChoice& choice)
{
    return choice.fromCalendarList
        ? "the list shows the calendars in the calendar list " + choice.file + " (onlySelectedCalendars is NO)"
        : std::string("the list shows the calendars the calendar application shows (onlySelectedCalendars is YES)");
}

std::string choosesNothingClause(const CalendarChoice& choice)
{
    return choice.fromCalendarList ? ", which is missing or empty"
                                   : ", and its preferences " + choice.file + " cannot be read";
}
