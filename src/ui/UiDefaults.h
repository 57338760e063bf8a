#pragma once

#include <chrono>

namespace korvane {

// Design-time defaults of the widget model, in one place. Forms override them per control.

// The font every control uses unless its form or itself says otherwise; the Qt peers fall back
// to the desktop's sans-serif when this family is not installed.
inline constexpr const char* DefaultFontName = "Tahoma";
inline constexpr int DefaultFontHeight = 11;  // pixels

// A timer fires once a second unless its interval is changed.
inline constexpr std::chrono::milliseconds DefaultTimerInterval{1000};

// Status bars sit at the bottom of their form at this height.
inline constexpr int DefaultStatusBarHeight = 19;

// One bevel (raised or lowered edge) of a panel takes this many pixels on every side.
inline constexpr int PanelBevelWidth = 1;

// A group box's frame takes this many pixels on every side, plus its caption's height on top.
inline constexpr int GroupBoxFrameWidth = 2;

// Up-down controls step by one unless told otherwise.
inline constexpr int DefaultUpDownIncrement = 1;

}  // namespace korvane
