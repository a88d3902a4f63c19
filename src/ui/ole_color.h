#pragma once

#include <QRgb>

#include <cstdint>
#include <optional>

namespace kl {

// A colour as the module's windows store it: 0x00bbggrr for an RGB value,
// or the high bit set and a system colour's index in the low bits
// (0x8000000F is the button face).
using OleColor = std::uint32_t;

inline constexpr OleColor kButtonFaceColor = 0x8000000F;

// The RGB value of an OLE colour: an RGB value as given, a system colour as
// the application palette has it now. Any other value (an unknown system
// colour, a palette index) has none.
std::optional<QRgb> translateOleColor(OleColor color);

}  // namespace kl
