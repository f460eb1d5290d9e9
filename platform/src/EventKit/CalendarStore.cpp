#include "CalendarStore.h"

#include "CalendarCache.h"

#include <stdexcept>

namespace eventkit {

std::shared_ptr<CalendarStore> makeCalendarStore(EKCalendarStorage storage)
{
    switch (storage) {
    case EKCalendarStorage::Memory:
        return std::make_shared<CalendarCache>();
    }
    throw std::invalid_argument("unknown calendar storage");
}

} // namespace eventkit
