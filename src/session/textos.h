#pragma once

// Brimcor2's text and value routines that need nothing but QtCore and the
// platform's values: trimming, padding, replacing, numbers read from texts,
// paths cut in two and the scrambling of stored passwords. They live apart
// from the rest of the library (dialogs, windows, the shared database) so
// that the readers of outside input that use them can be built and fuzzed
// on their own. Callers include session/brimcor2.h, which includes this.

#include "platform/value.h"

#include <QString>

#include <cstdint>

namespace kl::Brimcor2 {

// The folder with the platform's separator at its end (added only when it is
// missing). An empty folder stays empty: it means the current folder, and
// turning it into the root would send files there.
QString AgregaBarra(const QString& folder);

// The value as text; Null and Empty give "".
QString ValorNoNulo(const Value& value);

// The text without any of the given characters, taken whole: removing one
// emoji leaves every other character intact.
QString QuitaCaracteres(const QString& text, const QString& characters);
// Every `oldChar` becomes `newChar`.
QString ReemplazaCaracter(const QString& text, QChar oldChar, QChar newChar);
// Every `oldText` becomes `newText`; an empty `oldText` changes nothing.
QString Reemplaza(const QString& text, const QString& oldText, const QString& newText,
                  Qt::CaseSensitivity cs = Qt::CaseSensitive);

// The text, trimmed, padded with blanks on the left to `width`. A longer
// text comes back whole (trimmed): cutting it would make a code match
// another one. No width (0) gives the trimmed text.
QString AlineaDerecha(const QString& text, int width = 0);

// True when the whole text, blanks around it allowed, is a number ("." or
// "," as decimal separator, sign, exponent). An empty text is not.
bool EsNumerico(const QString& text);
// The leading number of the text as a currency value (four decimals, halves
// to even); a text without a number gives 0.
Value ValorMoneda(const QString& text);
// The leading number of the text rounded to an integer, halves to even.
std::int64_t ValorLong(const QString& text);
// The number of blank-separated words.
int CuentaPalabras(const QString& text);

// A path cut at its last separator ("/" or "\"): the folder, separator
// included, and the file name, so that carpeta + archivo is the path.
struct PartesRuta {
    QString carpeta;
    QString archivo;
};
PartesRuta DivideRuta(const QString& path);

// A reversible scrambling for passwords kept in shared text files. It only
// keeps them from being read at a glance; it is NOT encryption. Every
// Windows-1252 text round-trips; the output uses only letters, digits, "-"
// and "_" (no blanks, commas, quotes, separators or line breaks), so it fits
// any field of the module's files and command lines. Characters outside
// Windows-1252 come back as "?".
QString CodificaTexto(const QString& text);
// Blanks around the encoded text are ignored; "" for a text CodificaTexto
// cannot have written.
QString DecodificaTexto(const QString& encoded);

// The progress text shown when a task names none.
QString TextoPorDefecto();
// The voucher letter shown after a voucher number: a blank and the letter in
// capitals, cut or padded to `cantidad` characters; no letter gives "".
QString TextoLetra(const QString& letra, int cantidad);

}  // namespace kl::Brimcor2
