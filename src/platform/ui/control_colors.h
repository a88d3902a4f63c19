#pragma once

// The colours the program gives a control, whatever skin is in force. A skin
// is a style sheet (skin.h), and a style sheet's colours win over a
// palette's: under every shipped skin the lookup's cyan search box stayed
// white. So a colour the program sets goes both into the control's palette
// (read without a skin, and by code that asks for it) and into the
// control's own sheet, which wins over the skin's:
//
//     setControlColor(*caja, QPalette::Base, QColor(0, 255, 255));
//     // caja->styleSheet() == "QComboBox { background-color: #00ffff }"
//
// What the control's own sheet held before is kept. A box inside another
// control (a combo box's or a spin box's text) is painted by that control
// under a sheet: colour the outer one.

#include <QColor>
#include <QPalette>

class QWidget;

namespace kl {

// Roles with a style-sheet counterpart: Base, Window and Button (the
// background), Text, WindowText and ButtonText (the text), Highlight and
// HighlightedText (the selection). Any other role only goes to the palette.
void setControlColor(QWidget& control, QPalette::ColorRole role, const QColor& color);

}  // namespace kl
