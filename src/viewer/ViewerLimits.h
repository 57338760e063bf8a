#pragma once

#include <cstddef>
#include <cstdint>

// Every limit and fixed measure of the panorama viewer in one place.
namespace korvane::viewer {

// The largest picture the viewer decodes: its full-size RGB copy may take at most this many
// bytes (a 16384 x 8192 panorama takes 384 MiB). Bigger pictures are refused before anything
// is decoded, so a forged header cannot make the viewer allocate without bound.
inline constexpr std::uint64_t MaxDecodedPictureBytes = 1024ull * 1024 * 1024;
// Pictures narrower or lower than this hold no panorama worth looking at (a 1 x 1 JPEG, a
// strip one pixel high) and are refused with a message.
inline constexpr int MinPictureSide = 16;
// libjpeg's own memory cap while decoding one picture, for its work buffers (not the pixels);
// a progressive or multi-scan picture gets its coefficients on top (JpegWorkMemoryFor).
inline constexpr long MaxJpegWorkMemory = 64L * 1024 * 1024;

// The pyramid stops halving once a level's longer side is at most this many pixels.
inline constexpr int PyramidSmallestSide = 256;

// Field of view of the 360-degree view, in degrees across the window's width.
inline constexpr double MinFieldOfView = 30.0;
inline constexpr double MaxFieldOfView = 110.0;
inline constexpr double DefaultFieldOfView = 90.0;
inline constexpr double MaxPitch = 90.0;

// Zoom of the flat view, in screen pixels per picture pixel.
inline constexpr double MinFlatScale = 1.0 / 256;
inline constexpr double MaxFlatScale = 32.0;

// A missing tile of a task folder is shown as a grey chequer of squares this many pixels wide.
inline constexpr int ChequerSquare = 32;
inline constexpr std::uint8_t ChequerLight = 150;
inline constexpr std::uint8_t ChequerDark = 110;
// What lies outside a cropped panorama in the 360-degree view.
inline constexpr std::uint8_t OutsideGrey = 24;

}  // namespace korvane::viewer
