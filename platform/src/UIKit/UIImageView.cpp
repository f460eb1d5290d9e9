#include <UIKit/UIImageView.h>

#include <algorithm>

namespace {

// Positions a box of the given size in the bounds by the mode's edges.
CGRect place(CGSize size, CGRect bounds, UIViewContentMode mode)
{
    CGFloat x = bounds.origin.x + (bounds.size.width - size.width) / 2;
    CGFloat y = bounds.origin.y + (bounds.size.height - size.height) / 2;
    switch (mode) {
    case UIViewContentModeLeft:
    case UIViewContentModeTopLeft:
    case UIViewContentModeBottomLeft:
        x = bounds.origin.x;
        break;
    case UIViewContentModeRight:
    case UIViewContentModeTopRight:
    case UIViewContentModeBottomRight:
        x = CGRectGetMaxX(bounds) - size.width;
        break;
    default:
        break;
    }
    switch (mode) {
    case UIViewContentModeTop:
    case UIViewContentModeTopLeft:
    case UIViewContentModeTopRight:
        y = bounds.origin.y;
        break;
    case UIViewContentModeBottom:
    case UIViewContentModeBottomLeft:
    case UIViewContentModeBottomRight:
        y = CGRectGetMaxY(bounds) - size.height;
        break;
    default:
        break;
    }
    return CGRect { CGPointMake(x, y), size };
}

} // namespace

Class UIImageView::classObject()
{
    return objc::registeredClass<UIImageView>("UIImageView");
}

UIImageView::UIImageView(CGRect frame)
    : Subclass(frame)
{
}

UIImageView::UIImageView(UIImage* image)
    : UIImageView(image ? CGRect { CGPointZero, image->size() } : CGRectZero)
{
    image_ = image;
}

CGRect UIImageView::imageRect() const
{
    const CGRect area = bounds();
    if (!image_)
        return CGRectZero;
    const CGSize natural = image_->size();
    if (natural.width <= 0 || natural.height <= 0)
        return CGRectZero;
    switch (contentMode()) {
    case UIViewContentModeScaleToFill:
    case UIViewContentModeRedraw:
        return area;
    case UIViewContentModeScaleAspectFit:
    case UIViewContentModeScaleAspectFill: {
        const CGFloat sx = area.size.width / natural.width;
        const CGFloat sy = area.size.height / natural.height;
        const CGFloat s = contentMode() == UIViewContentModeScaleAspectFit ? std::min(sx, sy) : std::max(sx, sy);
        return place(CGSizeMake(natural.width * s, natural.height * s), area, UIViewContentModeCenter);
    }
    default:
        return place(natural, area, contentMode());
    }
}

CGSize UIImageView::sizeThatFits(CGSize)
{
    return image_ ? image_->size() : CGSizeZero;
}

void UIImageView::drawRect(CGRect)
{
    // Overflow (aspect fill, the unscaled modes) is cut only by the layer's
    // masksToBounds, as in UIKit.
    if (image_)
        image_->drawInRect(imageRect());
}
