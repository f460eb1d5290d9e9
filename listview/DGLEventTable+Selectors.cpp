#include "listview/DGLEventTable+Selectors.h"

#include "events/RuntimeAccessors.h"
#include "listview/DGLEventTable.h"

using runtime_accessors::Getter;
using runtime_accessors::Setter;

namespace {

DGLEventTable* asTable(id self)
{
    return static_cast<DGLEventTable*>(self);
}

// An instance made by the runtime is already built; initialising only gives it
// its frame.
id init(id self, SEL)
{
    return self;
}

id initWithFrame(id self, SEL, CGRect frame)
{
    asTable(self)->setFrame(frame);
    return self;
}

void initView(id self, SEL)
{
    asTable(self)->initView();
}

id loadEvents(id self, SEL)
{
    return autoreleased(asTable(self)->loadEvents());
}

id createPrettyDateFromIsAllDay(id, SEL, id date, bool isAllDay)
{
    return autoreleased(DGLEventTable::createPrettyDateFrom(dynamicCast<NSDate>(date), isAllDay));
}

id createCalendarIconForDate(id, SEL, id date)
{
    return autoreleased(DGLEventTable::createCalendarIconForDate(dynamicCast<NSDate>(date)));
}

id drawColoredDotWithColorAndRadius(id, SEL, id color, CGFloat radius)
{
    return autoreleased(DGLEventTable::drawColoredDotWithColor(dynamicCast<UIColor>(color), radius));
}

void addSetters(Class c)
{
    objc::addMethod(c, "setDisplayLocation:", &Setter<&DGLEventTable::setDisplayLocation>::imp);
    objc::addMethod(c, "setIconType:", &Setter<&DGLEventTable::setIconType>::imp);
    objc::addMethod(c, "setTitleTextSize:", &Setter<&DGLEventTable::setTitleTextSize>::imp);
    objc::addMethod(c, "setTitleColor:", &Setter<&DGLEventTable::setTitleColor>::imp);
    objc::addMethod(c, "setSubtitleTextSize:", &Setter<&DGLEventTable::setSubtitleTextSize>::imp);
    objc::addMethod(c, "setSubtitleColor:", &Setter<&DGLEventTable::setSubtitleColor>::imp);
    objc::addMethod(c, "setDateTextSize:", &Setter<&DGLEventTable::setDateTextSize>::imp);
    objc::addMethod(c, "setDateColor:", &Setter<&DGLEventTable::setDateColor>::imp);
    objc::addMethod(c, "setSameHeightRows:", &Setter<&DGLEventTable::setSameHeightRows>::imp);
    objc::addMethod(c, "setShowsRowSeparators:", &Setter<&DGLEventTable::setShowsRowSeparators>::imp);
    objc::addMethod(
        c, "setTitleColorSameAsCalendarColor:", &Setter<&DGLEventTable::setTitleColorSameAsCalendarColor>::imp);
    objc::addMethod(c, "setDateIsRightAligned:", &Setter<&DGLEventTable::setDateIsRightAligned>::imp);
    objc::addMethod(c, "setDaysToDisplay:", &Setter<&DGLEventTable::setDaysToDisplay>::imp);
    objc::addMethod(c, "setMaxEventsToDisplay:", &Setter<&DGLEventTable::setMaxEventsToDisplay>::imp);
    objc::addMethod(c, "setSwipeAction:", &Setter<&DGLEventTable::setSwipeAction>::imp);
    objc::addMethod(c, "setGroupByDays:", &Setter<&DGLEventTable::setGroupByDays>::imp);
    objc::addMethod(c, "setOnlySelectedCalendars:", &Setter<&DGLEventTable::setOnlySelectedCalendars>::imp);
    objc::addMethod(
        c, "setSectionHeaderBackgroundColor:", &Setter<&DGLEventTable::setSectionHeaderBackgroundColor>::imp);
    objc::addMethod(c, "setSectionHeaderTextColor:", &Setter<&DGLEventTable::setSectionHeaderTextColor>::imp);
    objc::addMethod(c, "setCustomLaunchAppBundleID:", &Setter<&DGLEventTable::setCustomLaunchAppBundleID>::imp);
    objc::addMethod(c, "setHeaderTextSize:", &Setter<&DGLEventTable::setHeaderTextSize>::imp);
    objc::addMethod(c, "setBackgroundColor:", &Setter<&DGLEventTable::setBackgroundColor>::imp);
    objc::addMethod(c, "setHeaderIsUppercase:", &Setter<&DGLEventTable::setHeaderIsUppercase>::imp);
    objc::addMethod(c, "setLsApplicationWorkspace:", &Setter<&DGLEventTable::setLsApplicationWorkspace>::imp);
    objc::addMethod(c, "setOpenApplicationOptions:", &Setter<&DGLEventTable::setOpenApplicationOptions>::imp);
}

} // namespace

void addEventTableSelectors(Class c)
{
    objc::addMethod(c, "init", &init);
    objc::addMethod(c, "initWithFrame:", &initWithFrame);
    addSetters(c);
    // Whether the sections carry headers: readers consult `sectionHeaders` only then.
    constexpr auto groupsByDays = static_cast<bool (DGLEventTable::*)() const>(&DGLEventTable::groupByDays);
    objc::addMethod(c, "groupByDays", &Getter<groupsByDays>::imp);
    objc::addMethod(c, "initView", &initView);
    objc::addMethod(c, "loadEvents", &loadEvents);
    objc::addMethod(c, "createPrettyDateFrom:isAllDay:", &createPrettyDateFromIsAllDay);
    objc::addMethod(c, "createCalendarIconForDate:", &createCalendarIconForDate);
    objc::addMethod(c, "drawColoredDotWithColor:andRadius:", &drawColoredDotWithColorAndRadius);
}
