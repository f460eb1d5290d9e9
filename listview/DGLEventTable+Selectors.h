// The selectors by which code outside the extension reaches an event table, as
// SpringBoard's placement code and the dayglass command do: the initialisers,
// the setters of the display settings, whether it groups by day, building the view, loading, and the row texts and
// images.
#pragma once

#include <objc/runtime.h>

void addEventTableSelectors(Class cls);
