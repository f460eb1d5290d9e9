// The stand-in EventKit: calendars and events read from iCalendar files.
#pragma once

#include <EventKit/EKCalendar.h>
#include <EventKit/EKEvent.h>
#include <EventKit/EKEventStore.h>
#include <EventKit/EKPersistentEvent.h>
#include <EventKit/EKPredicate.h>
#include <EventKit/EKTypes.h>
