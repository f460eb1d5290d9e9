#include "EventTableFixture.h"

#include <UIKit/UIFont.h>

#include <cmath>

namespace table_testing {

Ref<DGLEKEVent> makeEvent(const std::string& title, const NSDate* start, const std::string& location, UIColor* color)
{
    auto event = makeRef<DGLEKEVent>();
    event->setTitle(NSString::string(title).get());
    event->setStartDate(start);
    event->setEndDate(start->dateByAddingTimeInterval(3600).get());
    if (!location.empty())
        event->setLocation(NSString::string(location).get());
    event->setCalendarColor((color ? Ref<UIColor>(color) : UIColor::colorWithRed(0.12, 0.53, 0.9, 1)).get());
    return event;
}

Ref<NSArray> makeSections(const std::vector<int>& rowsPerSection)
{
    const Ref<NSDate> start = NSDate::dateWithTimeIntervalSince1970(1'700'000'000);
    auto sections = NSMutableArray::array();
    for (std::size_t s = 0; s < rowsPerSection.size(); ++s) {
        auto events = NSMutableArray::array();
        for (int r = 0; r < rowsPerSection[s]; ++r)
            events->addObject(makeEvent("Event " + std::to_string(s) + "." + std::to_string(r), start.get(),
                r % 2 ? "Room " + std::to_string(r) : "")
                                  .get());
        sections->addObject(events.get());
    }
    return sections;
}

Ref<PreloadedEventTable> makeStyledTable(CGRect frame)
{
    auto table = makeRef<PreloadedEventTable>(frame);
    table->setTitleTextSize(14);
    table->setSubtitleTextSize(12);
    table->setDateTextSize(11);
    table->setHeaderTextSize(13);
    return table;
}

CGFloat systemLineHeight(CGFloat size)
{
    return std::ceil(UIFont::systemFontOfSize(size)->lineHeight());
}

} // namespace table_testing
