#pragma once

// What the typing filters of the configuration's text boxes promise for any
// text whatever, typed or pasted, checked by the fuzz target and by the
// tests' runs of its seeds. The input's first byte chooses capitals-only
// typing (bit 0), a date box (bit 1) and where the caret stands; the rest is
// the text, UTF-8. The check gives an empty text when the promise holds and
// says what broke otherwise.

#include "config/filtro_teclas.h"
#include "session/brimcor2.h"

#include <QByteArray>
#include <QKeyEvent>
#include <QLineEdit>
#include <QString>

namespace kl::config::properties {

// What a box of its kind may hold: no Enter, in a date box digits, "/",
// "-", "." and control codes only, under capitals-only typing no small
// letter the rule raises.
inline bool admitido(QChar c, bool fecha, bool soloMayusculas) {
    if (c == u'\r') return false;
    if (fecha && c >= u' ' && !(c.isDigit() && c <= u'9') && c != u'/' && c != u'-' && c != u'.')
        return false;
    return !(soloMayusculas && ((c >= u'a' && c <= u'z') || c == QChar(0xF1)));
}

inline QString checkFiltros(QLineEdit& caja, const QByteArray& bytes) {
    if (bytes.isEmpty()) return QString();
    const int opciones = static_cast<unsigned char>(bytes[0]);
    const bool soloMayusculas = opciones & 1;
    const bool fecha = opciones & 2;
    const QString texto = QString::fromUtf8(bytes.mid(1));
    caja.setProperty(Brimcor2::kTag, fecha ? QStringLiteral("FECHA") : QString());

    const QString filtrado = FiltraTexto(&caja, texto, soloMayusculas);
    if (filtrado.size() > texto.size()) return QStringLiteral("the filters grew the text");
    for (const QChar c : filtrado) {
        if (!admitido(c, fecha, soloMayusculas))
            return QStringLiteral("U+%1 kept").arg(c.unicode(), 4, 16, QChar(u'0'));
    }
    if (FiltraTexto(&caja, filtrado, soloMayusculas) != filtrado)
        return QStringLiteral("a filtered text changes when filtered again");

    // A paste: the box ends with the filtered text, the caret among the
    // characters kept before it.
    caja.setText(texto);
    const QString puesto = caja.text();
    caja.setCursorPosition(int((opciones >> 2) % (puesto.size() + 1)));
    const int antes = caja.cursorPosition();
    FiltraEdicion(caja, soloMayusculas);
    if (caja.text() != FiltraTexto(&caja, puesto, soloMayusculas))
        return QStringLiteral("the pasted text was not filtered as typed");
    if (caja.cursorPosition() != FiltraTexto(&caja, puesto.left(antes), soloMayusculas).size())
        return QStringLiteral("the caret moved off its place");

    // A key: its character is refused, changed or taken as it is.
    if (!texto.isEmpty()) {
        caja.clear();
        const QKeyEvent tecla(QEvent::KeyPress, 0, Qt::NoModifier, texto.left(1));
        const bool manejada = FiltraPulsacion(caja, tecla, soloMayusculas);
        const QString esperado = FiltraTexto(&caja, texto.left(1), soloMayusculas);
        if (manejada ? caja.text() != esperado : esperado != texto.left(1))
            return QStringLiteral("the key did not go through the filters");
    }
    return QString();
}

}  // namespace kl::config::properties
