#include "ui/ole_color.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace kl {

namespace {

struct SystemColor {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr auto kActive = QPalette::Active;
constexpr auto kInactive = QPalette::Inactive;
constexpr auto kDisabled = QPalette::Disabled;

// The Windows system colours by index, each with the palette colour that
// plays its part in a Qt window. Index 25 is unused on Windows too.
constexpr std::array<std::optional<SystemColor>, 31> kSystemColors{{
    SystemColor{kActive, QPalette::Button},             // 0 scroll bar
    SystemColor{kActive, QPalette::Dark},               // 1 desktop
    SystemColor{kActive, QPalette::Highlight},          // 2 active caption
    SystemColor{kInactive, QPalette::Highlight},        // 3 inactive caption
    SystemColor{kActive, QPalette::Window},             // 4 menu
    SystemColor{kActive, QPalette::Base},               // 5 window
    SystemColor{kActive, QPalette::Shadow},             // 6 window frame
    SystemColor{kActive, QPalette::WindowText},         // 7 menu text
    SystemColor{kActive, QPalette::Text},               // 8 window text
    SystemColor{kActive, QPalette::HighlightedText},    // 9 caption text
    SystemColor{kActive, QPalette::Button},             // 10 active border
    SystemColor{kInactive, QPalette::Button},           // 11 inactive border
    SystemColor{kActive, QPalette::Dark},               // 12 application workspace
    SystemColor{kActive, QPalette::Highlight},          // 13 highlight
    SystemColor{kActive, QPalette::HighlightedText},    // 14 highlighted text
    SystemColor{kActive, QPalette::Button},             // 15 button face
    SystemColor{kActive, QPalette::Dark},               // 16 button shadow
    SystemColor{kDisabled, QPalette::Text},             // 17 grey text
    SystemColor{kActive, QPalette::ButtonText},         // 18 button text
    SystemColor{kInactive, QPalette::HighlightedText},  // 19 inactive caption text
    SystemColor{kActive, QPalette::Light},              // 20 button highlight
    SystemColor{kActive, QPalette::Shadow},             // 21 3D dark shadow
    SystemColor{kActive, QPalette::Midlight},           // 22 3D light
    SystemColor{kActive, QPalette::ToolTipText},        // 23 tooltip text
    SystemColor{kActive, QPalette::ToolTipBase},        // 24 tooltip background
    std::nullopt,                                       // 25
    SystemColor{kActive, QPalette::Link},               // 26 hot-tracked item
    SystemColor{kActive, QPalette::Highlight},          // 27 active caption gradient
    SystemColor{kInactive, QPalette::Highlight},        // 28 inactive caption gradient
    SystemColor{kActive, QPalette::Highlight},          // 29 menu highlight
    SystemColor{kActive, QPalette::Window},             // 30 menu bar
}};

constexpr OleColor kSystemColorFlag = 0x80000000;
constexpr OleColor kTypeMask = 0xFF000000;

// Windows keeps colours as 0x00bbggrr.
QRgb fromBgr(OleColor bgr) {
    return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

}  // namespace

std::optional<QRgb> translateOleColor(OleColor color) {
    if ((color & kTypeMask) == 0) return fromBgr(color);
    if ((color & kTypeMask) != kSystemColorFlag) return std::nullopt;
    const OleColor index = color & ~kTypeMask;
    if (index >= kSystemColors.size() || !kSystemColors[index]) return std::nullopt;
    const SystemColor& system = *kSystemColors[index];
    return QGuiApplication::palette().color(system.group, system.role).rgb();
}

}  // namespace kl
