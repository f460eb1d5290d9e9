// Everything of the stand-in UIKit.
#pragma once

#include <CoreGraphics/CGContext.h>
#include <UIKit/NSParagraphStyle.h>
#include <UIKit/NSText.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIImage.h>
#include <UIKit/UIStringDrawing.h>
