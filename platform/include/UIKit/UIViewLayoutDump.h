// A text-friendly picture of a view tree: every view's class, frame and text,
// so that layouts can be checked without looking at pixels.
#pragma once

#include <UIKit/UIView.h>
#include <platform/Export.h>

#include <optional>
#include <string>
#include <vector>

struct UIViewLayoutNode {
    std::string className; // the runtime class, "UILabel", "DGLTableViewCell", ...
    CGRect frame; // in the superview's coordinates
    CGRect frameInRoot; // where it appears, in the root view's bounds coordinates
    NSInteger tag = 0;
    bool hidden = false;
    std::optional<std::string> text; // what a label shows, after truncation
    std::vector<UIViewLayoutNode> subviews;
};

// Lays the tree out first, then describes it.
PLATFORM_EXPORT UIViewLayoutNode UIViewLayoutTree(UIView* root);
