#pragma once

#include <cstdint>
#include <string>

#include "ui/UiDefaults.h"

namespace korvane {

// A colour: 0xRRGGBB for a fixed colour, or a system colour (SystemColorFlag set), which the
// peers map to the desktop's palette: the tooltip background, for one, differs per desktop.
using TColor = std::uint32_t;

inline constexpr TColor SystemColorFlag = 0x80000000u;
inline constexpr TColor clDefault = SystemColorFlag | 0;  // the desktop's colour for the control
inline constexpr TColor clWindowText = SystemColorFlag | 1;
inline constexpr TColor clWindow = SystemColorFlag | 2;
inline constexpr TColor clBtnFace = SystemColorFlag | 3;
inline constexpr TColor clInfoBk = SystemColorFlag | 4;  // tooltip background
inline constexpr TColor clInfoText = SystemColorFlag | 5;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0xFF0000;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clBlue = 0x0000FF;
inline constexpr TColor clNavy = 0x000080;

constexpr bool IsSystemColor(TColor color) {
  return (color & SystemColorFlag) != 0;
}

// A control's font. Height is the character height in pixels.
struct TFont {
  std::string Name = DefaultFontName;
  int Height = DefaultFontHeight;
  bool Bold = false;
  bool Underline = false;
  TColor Color = clWindowText;

  bool operator==(const TFont&) const = default;
};

// A rectangle in a parent's coordinates; Right and Bottom are exclusive.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

// Where a control sits in its parent: alNone keeps its own bounds; the others dock it to an
// edge (keeping its height for top/bottom, its width for left/right) or fill what is left.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TCursor { crDefault, crHandPoint };

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The edge of a panel: none, raised or lowered.
enum TBevelCut { bvNone, bvLowered, bvRaised };

// Frame of a control (bsNone, bsSingle) or a form (all four): bsDialog is a fixed dialog frame,
// bsSingle a fixed frame, bsSizeable a frame the user can resize.
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };

// Where a form appears when first shown.
enum TFormPosition { poDesigned, poScreenCenter, poMainFormCenter };

enum TFormStyle { fsNormal, fsStayOnTop };

// What closing a form does: caNone refuses, caHide hides it (and ends the application when it
// is the main form).
enum TCloseAction { caNone, caHide };

// The result of a modal showing.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;

}  // namespace korvane
