#include <Foundation/NSDateComponents.h>

#include <bit>

namespace {

// The slot of a single-unit mask that NSDateComponents stores, or -1.
int slotOf(NSCalendarUnit unit, size_t slots)
{
    if (!std::has_single_bit(unit))
        return -1;
    const auto slot = static_cast<size_t>(std::countr_zero(unit));
    constexpr NSCalendarUnit stored = NSCalendarUnitEra | NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay
        | NSCalendarUnitHour | NSCalendarUnitMinute | NSCalendarUnitSecond | NSCalendarUnitWeekday;
    return slot < slots && (unit & stored) ? static_cast<int>(slot) : -1;
}

} // namespace

Class NSDateComponents::classObject()
{
    return objc::registeredClass<NSDateComponents>("NSDateComponents");
}

NSDateComponents::NSDateComponents()
{
    values_.fill(NSDateComponentUndefined);
}

NSInteger NSDateComponents::valueForComponent(NSCalendarUnit unit) const
{
    const int slot = slotOf(unit, values_.size());
    return slot < 0 ? NSDateComponentUndefined : values_[static_cast<size_t>(slot)];
}

void NSDateComponents::setValueForComponent(NSInteger value, NSCalendarUnit unit)
{
    if (const int slot = slotOf(unit, values_.size()); slot >= 0)
        values_[static_cast<size_t>(slot)] = value;
}
