// Building the event list for a place on the lock screen: the one routine both
// placements (the list's own page and the notification list's footer) use.
#pragma once

#include "listview/DGLEventTable.h"

#include <CoreGraphics/CGGeometry.h>

// The frame height given to the most recently built table; 0 before the first.
// The footer sizes itself by it.
extern CGFloat dglEventTableHeight;

// A new event table for the list frame SpringBoard suggests: inset 8 points at
// the sides and 70 at the bottom (an empty suggestion, logged, gives a 300 × 300
// table at (10, 200)), with the current settings copied in and its events loaded.
// Also records the frame's height in dglEventTableHeight.
Ref<DGLEventTable> createEventTable(CGRect suggestedFrame);

// A suggested list frame inset 8 points at the sides and 70 at the bottom, for
// the lock screen's own controls under the list. No lower bound: a suggestion
// under 70 points high gives a negative height.
CGRect insetEventTableFrame(CGRect suggestedFrame);

// The routine as class methods of DGLEventTable, for a host that reaches the
// extension only through the runtime, as the dayglass command does:
// `+createEventTable:` with the suggested frame answers the new table, and
// `+dglEventTableHeight` the height recorded.
void addEventTablePlacementMethods(Class tableClass);
