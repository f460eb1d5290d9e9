#include <host/LockScreenScene.h>

#include <UIKit/UIColor.h>

LockScreenScene::LockScreenScene(const host::DeviceModel& model, host::Orientation orientation)
    : wallpaper_(makeNonNullRef<LockScreenWallpaper>(CGRectZero))
    , chrome_(makeNonNullRef<LockScreenChrome>(model, orientation))
{
    addSubview(wallpaper_.get());
    addSubview(chrome_.get());
    setDevice(model, orientation);
}

void LockScreenScene::setContent(UIView* content)
{
    if (content_ == content)
        return;
    if (content_)
        content_->removeFromSuperview();
    content_ = content;
    if (content_)
        addSubview(content_.get());
}

void LockScreenScene::setDevice(const host::DeviceModel& model, host::Orientation orientation)
{
    const CGSize size = host::screenSize(model, orientation);
    const CGRect screen = CGRectMake(0, 0, size.width, size.height);
    setFrame(screen);
    wallpaper_->setFrame(screen);
    chrome_->setDevice(model, orientation);
}

void LockScreenScene::setScreenOn(bool on)
{
    setBackgroundColor(on ? nullptr : UIColor::blackColor().get());
    wallpaper_->setHidden(!on);
    chrome_->setHidden(!on);
}

void LockScreenScene::setLockScreenShown(bool shown)
{
    chrome_->setHidden(!shown || wallpaper_->isHidden());
}

void LockScreenScene::setLaunchPending(bool pending)
{
    chrome_->showHint(pending ? host::LockScreenHint::Open : host::LockScreenHint::Unlock);
}

Ref<UIImage> LockScreenScene::snapshot(CGFloat scale)
{
    layoutIfNeeded();
    return UIViewRenderImage(this, scale);
}
