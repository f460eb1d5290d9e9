// A finger on the lock screen, as a person moves it: a row of the event list
// pulled sideways, the list or the notifications dragged up or down. Each is a
// real drag of the scroll view under the finger, so the list sees exactly what
// it would see on a phone.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <UIKit/UIScrollView.h>

#include <optional>

namespace simulation {

// A finger on one scroll view, from the touch to letting go.
class Finger {
public:
    // Touches the view; nothing for a view that does not scroll.
    static std::optional<Finger> touch(UIScrollView* view);

    UIScrollView* view() const { return view_.get(); }
    // Moves the finger to `travel` from where it touched; the content follows.
    void moveTo(CGPoint travel);
    // Lets go; answers the content offset at that moment.
    CGPoint lift();

private:
    explicit Finger(UIScrollView* view);

    Ref<UIScrollView> view_;
    CGPoint travel_ {};
};

// The scroll view that holds the row's content, on screen. Raises
// std::runtime_error for a row the list lacks, one off the screen, and one
// that cannot be pulled.
UIScrollView* rowScrollView(UIView* eventTable, int section, int row);

// How far a finger travels to pull the row's content `distance` points right of
// its rest. std::runtime_error when no pull reaches that far.
CGPoint pullTravel(UIScrollView& row, double distance);

// What a vertical drag on the list moves: the list's own table view, or, when
// that does not scroll (the list in the notification list's footer), the
// nearest scroll view around it that does, as UIKit passes the touch on.
UIScrollView* listScrollView(UIView* eventTable);

} // namespace simulation
