#pragma once

#include <span>

namespace tovalo {

// Where the keyboard focus is must show as clearly as a control's border:
// the mark stands out from every colour next to it by at least 3:1.
inline constexpr double kFocusMarkMinContrast = 3.0;

// The two inks a focus mark is drawn in, as desktop colour values
// (0x00BBGGRR). Any colour stands out by more than 4:1 from one of them.
inline constexpr long kFocusInkLight = 0xFFFFFF;
inline constexpr long kFocusInkDark = 0x201814;

// The ink for the part of a focus mark that lies next to `neighbours`
// (desktop colour values): the light or the dark one, whichever stands out
// more from the least different of them. With no neighbours, the dark ink.
long focusInk(std::span<const long> neighbours);

}  // namespace tovalo
