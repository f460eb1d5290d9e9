// A finger on the lock screen's event list, as a person moves it: a row pulled
// sideways, the list dragged up or down. Each is a real drag of the scroll view
// under the finger, so the list sees exactly what it would see on a phone.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <UIKit/UIView.h>

#include <optional>

namespace simulation {

// Pulls the row's content `distance` points to the right of its rest and lets it
// go there: the finger travels as far as the bounce demands. Answers the content
// offset at release. Raises std::runtime_error for a row that is not on screen
// or that cannot be pulled that far.
CGPoint pullRow(UIView* eventTable, int section, int row, double distance);

// Moves a finger on the list `distance` points down (up when negative) and lets
// go. Answers the content offset at release, or nothing for a list that does
// not scroll (a short one).
std::optional<CGPoint> dragList(UIView* eventTable, double distance);

} // namespace simulation
