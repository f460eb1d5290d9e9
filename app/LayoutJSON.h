// A view tree as JSON, for --layout-json: every view's class, frame, tag and text,
// so that a layout can be checked without looking at the picture.
#pragma once

#include <UIKit/UIViewLayoutDump.h>

#include <nlohmann/json.hpp>

nlohmann::ordered_json rectJSON(CGRect rect);

// Each view with its frame in its superview and where it shows in the picture;
// `origin` is where the root view sits in the picture.
nlohmann::ordered_json layoutJSON(const UIViewLayoutNode& node, CGPoint origin);
