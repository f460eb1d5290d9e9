// libical handles that free themselves, and the text of its times.
//
// libical keeps process-wide state (its zones' expanded transitions, its error
// code) without locks of its own; every call into it from the store happens
// under the calendar cache's lock.
#pragma once

#include <libical/ical.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace eventkit {

struct ComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using ComponentHandle = std::unique_ptr<icalcomponent, ComponentFree>;

struct IteratorFree {
    void operator()(icalrecur_iterator* iterator) const { icalrecur_iterator_free(iterator); }
};
using IteratorHandle = std::unique_ptr<icalrecur_iterator, IteratorFree>;

// The component tree of iCalendar text. libical's own string reader looks for
// the end of the line again for every 1 KB of it, so a long line took time
// growing with its square; this one reads each byte once. NUL bytes, which
// would end libical's reading of the whole text, are left out, and a content
// line (with its folds) is cut after maxContentLineBytes: libical keeps
// several copies of a line while it reads it. A date list that long holds
// more values than an item may have anyway.
constexpr std::size_t maxContentLineBytes = 256 * 1024;
ComponentHandle parseComponent(std::string_view text);

// The sub-components of one kind. libical's own first/next calls share one
// cursor per component, which a nested lookup (a zone's VTIMEZONE while walking
// the VEVENTs) would move; these cursors are the caller's own.
std::vector<icalcomponent*> childComponents(icalcomponent* parent, icalcomponent_kind kind);

// "20240305T080000Z", "20240305T090000" or "20240305".
std::string icalText(const icaltimetype& time);

} // namespace eventkit
