// A small class tree for the runtime tests: a base class with methods reachable
// by selector and one named instance variable, a subclass that defines one method
// of its own, and a sibling that defines none. Class methods: `+family` (Widget,
// Panel's own) and `+countFor:` (Widget).
#pragma once

#include <Foundation/NSString.h>
#include <objc/runtime.h>

#include <string>
#include <vector>

class Widget : public objc::Subclass<Widget, NSObject> {
public:
    static Class classObject();

    // What the implementations reached, in order ("Widget.viewWillAppear:" …).
    std::vector<std::string> calls;
    Ref<NSString> title = "untitled"_ns;
};

// Defines `name` and `kind` itself.
class Panel : public objc::Subclass<Panel, Widget> {
public:
    static Class classObject();
};

// Inherits everything.
class Label : public objc::Subclass<Label, Widget> {
public:
    static Class classObject();
};

// Counts live instances, to see when pools and associations release them.
class Tracked : public NSObject {
public:
    explicit Tracked(int* live)
        : live_(live)
    {
        ++*live_;
    }
    ~Tracked() override { --*live_; }

private:
    int* live_;
};
