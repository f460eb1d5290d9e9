// Everything of the stand-in UIKit.
#pragma once

#include <CoreGraphics/CGContext.h>
#include <UIKit/CALayer.h>
#include <UIKit/NSIndexPath.h>
#include <UIKit/NSParagraphStyle.h>
#include <UIKit/NSText.h>
#include <UIKit/UIApplication.h>
#include <UIKit/UICollectionReusableView.h>
#include <UIKit/UICollectionView.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <UIKit/UIGraphics.h>
#include <UIKit/UIImage.h>
#include <UIKit/UIImageView.h>
#include <UIKit/UILabel.h>
#include <UIKit/UIScreen.h>
#include <UIKit/UIScrollView.h>
#include <UIKit/UIStringDrawing.h>
#include <UIKit/UITableView.h>
#include <UIKit/UITableViewCell.h>
#include <UIKit/UIView.h>
#include <UIKit/UIViewController.h>
#include <UIKit/UIViewControllerTransitionCoordinator.h>
#include <UIKit/UIViewLayoutDump.h>
