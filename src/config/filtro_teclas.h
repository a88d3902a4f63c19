#pragma once

// What reaches a configuration text box, typed or pasted. Each character
// goes through FiltraMayusculas (capitals-only typing) and then the
// component's FiltraTecla for the box, so that a pasted word meets the same
// rule as the keys: a date box never holds "hola", whichever way it came.

class QKeyEvent;
class QLineEdit;
class QString;
class QWidget;

namespace kl::config {

// The text `box` takes from `text`: characters refused by the filters are
// dropped, the others changed as the filters say.
QString FiltraTexto(const QWidget* box, const QString& text, bool soloMayusculas);

// The typed character of `key` through the filters. True when the key was
// handled here (refused, or its changed character inserted); false lets the
// box take the key as it is.
bool FiltraPulsacion(QLineEdit& box, const QKeyEvent& key, bool soloMayusculas);

// Filters `box`'s text after an operator's edit that comes without a key
// press for each character (a paste, a drop, a middle click). The caret keeps
// its place among the characters kept.
void FiltraEdicion(QLineEdit& box, bool soloMayusculas);

}  // namespace kl::config
