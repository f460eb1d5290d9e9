#include "listview/DGLEventTable.h"
#include "listview/DGLEventTable+Selectors.h"

namespace {

DGLEventTable* asTable(id self)
{
    return static_cast<DGLEventTable*>(self);
}

} // namespace

// The sectioned data are plain instance variables, not properties; they are
// registered by name so that the runtime can read them as it reads any
// class's ivars.
Class DGLEventTable::classObject()
{
    return objc::registeredClass<DGLEventTable>("DGLEventTable", [](Class c) {
        objc::addIvar(c, "calendarEvents", "@\"NSArray\"", 0,
            { [](id self) -> id { return asTable(self)->calendarEvents_.get(); },
                [](id self, id value) { asTable(self)->calendarEvents_ = dynamicCast<NSArray>(value); } });
        objc::addIvar(c, "sectionHeaders", "@\"NSMutableArray\"", 0,
            { [](id self) -> id { return asTable(self)->sectionHeaders_.get(); },
                [](id self, id value) { asTable(self)->sectionHeaders_ = dynamicCast<NSMutableArray>(value); } });
        addEventTableSelectors(c);
    });
}

DGLEventTable::DGLEventTable(CGRect frame)
    : Subclass(frame)
{
}
