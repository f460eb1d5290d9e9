// SpringBoard's controllers are view controllers. Until the platform's UIKit has
// UIViewController they stand on NSObject, through this one alias, so that moving
// them onto the real base class is a change of this line and nothing else.
#pragma once

#include <objc/runtime.h>

using HostViewController = NSObject;
