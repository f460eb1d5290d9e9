// The footer of the notification list's last section, which carries the event
// list's container. Its reuse identifier is its class name.
#pragma once

#include "listview/DGLEventTable.h"

#include <UIKit/UICollectionReusableView.h>

class DGLCollectionFooterView : public objc::Subclass<DGLCollectionFooterView, UICollectionReusableView> {
public:
    static Class classObject();
    static NSString* reuseIdentifier();

    // A plain strong property, reachable by selector too. The footer code
    // attaches the table through the container and never sets it.
    DGLEventTable* dglEventTable() const { return dglEventTable_.get(); }
    void setDglEventTable(DGLEventTable* table) { dglEventTable_ = table; }

private:
    Ref<DGLEventTable> dglEventTable_;
};
