#pragma once

#include <QRgb>

// The colours of the charge pictures. Glass, the first mineral and the
// second mineral differ in lightness as well as hue (pale, dark, mid-tone),
// so students who do not tell red from green still tell them apart, and
// each crystal is rimmed in a darker shade of its own colour.
namespace charge::palette {

inline constexpr QRgb background = 0xFFF6F3EC;   // pale epoxy of the section mount
inline constexpr QRgb capsuleMetal = 0xFFABADB1; // polished platinum wall
inline constexpr QRgb capsuleWeld = 0xFF8D9095;  // the crimped, welded top
inline constexpr QRgb capsuleEdge = 0xFF55595F;
inline constexpr QRgb capsuleGlint = 0xFFE2E4E7;
inline constexpr QRgb glass = 0xFFDCEBF4;        // quenched melt: very pale blue-grey
inline constexpr QRgb firstMineral = 0xFF2F6B4F; // pyroxene-like: dark green
inline constexpr QRgb firstMineralEdge = 0xFF163828;
inline constexpr QRgb secondMineral = 0xFFE0A33C; // feldspar-like: mid-tone ochre
inline constexpr QRgb secondMineralEdge = 0xFF95621A;

} // namespace charge::palette
