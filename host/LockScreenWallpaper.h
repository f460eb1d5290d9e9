// The picture behind everything on the lock screen: the user's own image, filling
// the screen and cut to it, or the built-in one, a dusk gradient of blue into violet
// with a soft glow, dark enough everywhere for white text.
#pragma once

#include <UIKit/UIImage.h>
#include <UIKit/UIView.h>
#include <host/Export.h>

class HOST_EXPORT LockScreenWallpaper : public UIView {
public:
    explicit LockScreenWallpaper(CGRect frame);

    // Nil goes back to the built-in picture.
    const UIImage* image() const { return image_.get(); }
    void setImage(UIImage* image) { image_ = image; }

    void drawRect(CGRect rect) override;

private:
    void drawImage(CGSize size) const;

    Ref<UIImage> image_;
};
