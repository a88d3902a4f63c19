#include "config/filtro_teclas.h"

#include "config/claves_formulario.h"
#include "session/brimcor2.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace kl::config {

namespace {

int filtraCaracter(const QWidget* box, QChar typed, bool soloMayusculas) {
    return Brimcor2::FiltraTecla(box, FiltraMayusculas(typed.unicode(), soloMayusculas));
}

}  // namespace

QString FiltraTexto(const QWidget* box, const QString& text, bool soloMayusculas) {
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text) {
        if (const int code = filtraCaracter(box, c, soloMayusculas)) kept += QChar(code);
    }
    return kept;
}

bool FiltraPulsacion(QLineEdit& box, const QKeyEvent& key, bool soloMayusculas) {
    const QString typed = key.text();
    if (typed.size() != 1 || box.isReadOnly()) return false;
    const int code = filtraCaracter(&box, typed[0], soloMayusculas);
    // A NUL is refused as a paste refuses it, though it comes back unchanged.
    if (code != 0 && code == typed[0].unicode()) return false;
    if (code != 0) box.insert(QString(QChar(code)));
    return true;
}

void FiltraEdicion(QLineEdit& box, bool soloMayusculas) {
    const QString text = box.text();
    const QString filtered = FiltraTexto(&box, text, soloMayusculas);
    if (filtered == text) return;
    const int caret =
        static_cast<int>(FiltraTexto(&box, text.left(box.cursorPosition()), soloMayusculas).size());
    box.setText(filtered);
    box.setCursorPosition(caret);
}

}  // namespace kl::config
