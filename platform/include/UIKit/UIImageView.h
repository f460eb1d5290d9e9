// UIImageView: shows an image placed by the view's content mode over its
// background.
#pragma once

#include <UIKit/UIImage.h>
#include <UIKit/UIView.h>
#include <platform/Export.h>

class PLATFORM_EXPORT UIImageView : public objc::Subclass<UIImageView, UIView> {
public:
    static Class classObject();

    explicit UIImageView(CGRect frame = CGRectZero);
    // initWithImage: a view as large as the image.
    explicit UIImageView(UIImage* image);

    UIImage* image() const { return image_.get(); }
    void setImage(UIImage* image) { image_ = image; }

    // Where the image lands in the bounds under the content mode.
    CGRect imageRect() const;

    // The image's size; zero without one.
    CGSize sizeThatFits(CGSize size) override;
    void drawRect(CGRect rect) override;

private:
    Ref<UIImage> image_;
};
