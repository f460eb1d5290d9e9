#include "listview/DGLEventTable+Selectors.h"

#include "listview/DGLEventTable.h"

#include <objc/accessors.h>
#include <schema/SettingsTable.h>

using objc::Getter;
using objc::Setter;

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

// The settings createEventTable copies in, and what else a host hands a new table.
void addSetters(Class c)
{
#define DAYGLASS_ADD_SETTER(setter, symbol) objc::addMethod(c, #setter ":", &Setter<&DGLEventTable::setter>::imp);
    DAYGLASS_EVENT_TABLE_SETTINGS(DAYGLASS_ADD_SETTER)
#undef DAYGLASS_ADD_SETTER
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
