// UICollectionReusableView: a view a collection view hands out again and again
// (a section footer, for instance), identified by its reuse identifier.
#pragma once

#include <Foundation/NSString.h>
#include <UIKit/UIView.h>
#include <platform/Export.h>

class PLATFORM_EXPORT UICollectionReusableView : public objc::Subclass<UICollectionReusableView, UIView> {
public:
    static Class classObject();

    explicit UICollectionReusableView(CGRect frame = CGRectZero);

    // Set by the collection view that makes the view.
    const NSString* reuseIdentifier() const { return reuseIdentifier_.get(); }
    void setReuseIdentifier(const NSString* identifier);

    // Called by the collection view just before it hands the view out again.
    virtual void prepareForReuse() { }

private:
    Ref<NSString> reuseIdentifier_;
};
