#include "session/textos.h"

#include "platform/conversions.h"
#include "platform/textfile.h"

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QStringView>

#include <array>

namespace kl::Brimcor2 {

namespace {

bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

// Scrambling: each byte is shifted by a key byte and by the previous
// scrambled byte, so repeated characters do not show as repeated output;
// base64url then keeps the result to letters, digits, "-" and "_".
constexpr std::array<unsigned char, 16> kScrambleKey = {
    0x4B, 0x9E, 0x23, 0xD1, 0x6C, 0x05, 0xB7, 0x38, 0xE2, 0x71, 0x1A, 0xC9, 0x54, 0x8F, 0x36, 0xAD};
constexpr unsigned char kScrambleSeed = 0x5A;
constexpr auto kScrambleAlphabet = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

// The text's characters, whole: a surrogate pair (an emoji, a rare CJK
// ideograph) is one character; a lone surrogate stands for itself.
QList<QStringView> wholeCharacters(QStringView text) {
    QList<QStringView> characters;
    characters.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        characters.append(text.mid(i, length));
        i += length;
    }
    return characters;
}

}  // namespace

QString AgregaBarra(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(u'/') || folder.endsWith(QDir::separator())) {
        return folder;
    }
    return folder + QDir::separator();
}

QString ValorNoNulo(const Value& value) {
    return value.toString();
}

QString QuitaCaracteres(const QString& text, const QString& characters) {
    const QList<QStringView> unwanted = wholeCharacters(characters);
    QString result;
    result.reserve(text.size());
    for (const QStringView c : wholeCharacters(text)) {
        if (!unwanted.contains(c)) result += c;
    }
    return result;
}

QString ReemplazaCaracter(const QString& text, QChar oldChar, QChar newChar) {
    QString result = text;
    return result.replace(oldChar, newChar);
}

QString Reemplaza(const QString& text, const QString& oldText, const QString& newText,
                  Qt::CaseSensitivity cs) {
    if (oldText.isEmpty()) return text;
    QString result = text;
    return result.replace(oldText, newText, cs);
}

QString AlineaDerecha(const QString& text, int width) {
    return text.trimmed().rightJustified(width, u' ');
}

bool EsNumerico(const QString& text) {
    return conv::isNumber(text);
}

Value ValorMoneda(const QString& text) {
    return Value::currency(conv::leadingNumber(text));
}

std::int64_t ValorLong(const QString& text) {
    return conv::roundHalfEvenToInt(conv::leadingNumber(text));
}

int CuentaPalabras(const QString& text) {
    int words = 0;
    bool inWord = false;
    for (const QChar c : text) {
        const bool blank = c.isSpace();
        if (!blank && !inWord) ++words;
        inWord = !blank;
    }
    return words;
}

PartesRuta DivideRuta(const QString& path) {
    qsizetype cut = path.size();
    while (cut > 0 && !isSeparator(path[cut - 1])) --cut;
    return {path.left(cut), path.mid(cut)};
}

QString CodificaTexto(const QString& text) {
    const QByteArray plain = cp1252::encode(text);
    QByteArray scrambled(plain.size(), Qt::Uninitialized);
    unsigned char previous = kScrambleSeed;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        previous = static_cast<unsigned char>(static_cast<unsigned char>(plain[i]) +
                                              kScrambleKey[i % kScrambleKey.size()] + previous);
        scrambled[i] = static_cast<char>(previous);
    }
    return QString::fromLatin1(scrambled.toBase64(kScrambleAlphabet));
}

QString DecodificaTexto(const QString& encoded) {
    // The encoded form holds no blanks; those around it come from a
    // hand-edited file and are not part of it.
    const QByteArray ascii = encoded.trimmed().toLatin1();
    const auto decoded = QByteArray::fromBase64Encoding(
        ascii, kScrambleAlphabet | QByteArray::AbortOnBase64DecodingErrors);
    // Only the exact text CodificaTexto writes for some input is accepted;
    // anything else (a hand-edited field, a stray character) reads as "".
    if (!decoded || decoded.decoded.toBase64(kScrambleAlphabet) != ascii) return QString();
    const QByteArray& scrambled = decoded.decoded;
    QByteArray plain(scrambled.size(), Qt::Uninitialized);
    unsigned char previous = kScrambleSeed;
    for (qsizetype i = 0; i < scrambled.size(); ++i) {
        const auto current = static_cast<unsigned char>(scrambled[i]);
        plain[i] = static_cast<char>(current - kScrambleKey[i % kScrambleKey.size()] - previous);
        previous = current;
    }
    return cp1252::decode(plain);
}

QString TextoPorDefecto() {
    return QStringLiteral("Procesando...");
}

QString TextoLetra(const QString& letra, int cantidad) {
    const QString letter = letra.trimmed().toUpper();
    if (letter.isEmpty() || cantidad <= 0) return QString();
    return u' ' + letter.leftJustified(cantidad, u' ', true);
}

}  // namespace kl::Brimcor2
