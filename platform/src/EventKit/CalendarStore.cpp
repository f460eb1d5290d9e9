#include "CalendarStore.h"

#include "CalendarCache.h"
#include "IndexedCalendarStore.h"

#include <stdexcept>

namespace eventkit {

std::shared_ptr<CalendarStore> makeCalendarStore(EKCalendarStorage storage)
{
    switch (storage) {
    case EKCalendarStorage::Memory:
        return std::make_shared<CalendarCache>();
    case EKCalendarStorage::Index:
        return std::make_shared<IndexedCalendarStore>();
    }
    throw std::invalid_argument("unknown calendar storage");
}

} // namespace eventkit
