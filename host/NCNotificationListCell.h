// A notification as the lock screen shows it: a translucent rounded platter with
// the application's icon, its name and the time in a header line, then the title
// and up to four lines of the message.
#pragma once

#include <host/Export.h>
#include <host/NCNotificationRequest.h>

#include <UIKit/UICollectionViewCell.h>
#include <UIKit/UIImageView.h>
#include <UIKit/UILabel.h>

class HOST_EXPORT NCNotificationListCell : public objc::Subclass<NCNotificationListCell, UICollectionViewCell> {
public:
    static Class classObject();
    static NSString* reuseIdentifier();

    NCNotificationListCell();

    // Shows the request, its time told relative to `now` (seconds since 1970).
    void configure(const NCNotificationRequest* request, double now);
    // The height the request needs at this width.
    static CGFloat heightForRequest(const NCNotificationRequest* request, CGFloat width);

    UIView* platter() const { return platter_.get(); }
    UILabel* appNameLabel() const { return appName_.get(); }
    UILabel* titleLabel() const { return title_.get(); }
    UILabel* messageLabel() const { return message_.get(); }

    void layoutSubviews() override;

private:
    NonNullRef<UIView> platter_;
    NonNullRef<UIImageView> icon_;
    NonNullRef<UILabel> appName_;
    NonNullRef<UILabel> time_;
    NonNullRef<UILabel> title_;
    NonNullRef<UILabel> message_;
};
