#pragma once

// What the readers of outside input promise for any input whatever: the
// connection strings, INI files, Windows-1252 texts and typed dates and
// numbers. Checked by the fuzz targets and by the tests' runs of their
// seeds; each check gives an empty text when the promise holds and says
// what broke otherwise.

#include "platform/ado/connection_string.h"
#include "platform/conversions.h"
#include "platform/ini.h"
#include "platform/textfile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cmath>

namespace kl::properties {

// The input is a list of values separated by line breaks (the first 16: a
// connection string holds a handful of pairs, and each key is looked up
// through all of them). Written as the pairs "K0=<value>;K1=<value>;..."
// with connectionStringValue, every value
// reads back exactly, under its own key. The input read as a connection
// string itself must not break the reader either.
inline QString connectionStringViolation(const QString& input) {
    const QStringList values = input.split(u'\n').mid(0, 16);
    QString text;
    for (qsizetype i = 0; i < values.size(); ++i)
        text += QStringLiteral("K%1=").arg(i) + ado::connectionStringValue(values[i]) + u';';
    const auto read = ado::parseConnectionString(text);
    if (!read) return QStringLiteral("not read back: ") + text;
    if (read->pairs.size() != std::size_t(values.size()))
        return QStringLiteral("%1 pairs read back from %2").arg(read->pairs.size()).arg(text);
    for (qsizetype i = 0; i < values.size(); ++i) {
        const auto& [key, value] = read->pairs[std::size_t(i)];
        if (key != QStringLiteral("K%1").arg(i) || value != values[i])
            return QStringLiteral("pair %1 read back as [%2]=[%3] from %4")
                .arg(i)
                .arg(key, value, text);
    }
    if (const auto settings = ado::parseConnectionString(input)) {
        if (!settings->password.isEmpty() && !settings->secrets().contains(settings->password))
            return QStringLiteral("the password is not among the secrets");
    }
    return QString();
}

// Any byte read from a shared file is written back unchanged, and every
// text that Windows-1252 holds comes back from its bytes unchanged.
inline QString windows1252Violation(const QByteArray& bytes) {
    const QString text = cp1252::decode(bytes);
    if (text.size() != bytes.size()) return QStringLiteral("decoding changed the length");
    if (!cp1252::canEncode(text)) return QStringLiteral("a decoded text cannot be encoded");
    if (cp1252::encode(text) != bytes) return QStringLiteral("bytes not written back unchanged");
    const QString unicode = QString::fromUtf8(bytes);
    const QByteArray encoded = cp1252::encode(unicode);
    if (encoded.size() > unicode.size()) return QStringLiteral("encoding grew the text");
    if (cp1252::canEncode(unicode) && cp1252::decode(encoded) != unicode)
        return QStringLiteral("an encodable text did not come back");
    return QString();
}

// The file's own lines never break the reader, and whatever it answers
// stands in the file (or is the default). A section appended after them
// is found, its value unquoted, unless the text already opened one of that
// name.
inline QString iniViolation(const QString& path, const QByteArray& content) {
    const QString text = cp1252::decode(content);
    const QString defaultValue = QStringLiteral("\x01ninguno");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return QStringLiteral("no file");
    file.write(content);
    file.close();
    for (const QString& line : text.split(u'\n').mid(0, 4)) {
        const QString key = line.section(u'=', 0, 0);
        const QString found = LeeIni(path, QStringLiteral("a"), key, defaultValue);
        if (found != defaultValue && !text.contains(found))
            return QStringLiteral("[%1] read as [%2], not in the file").arg(key, found);
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return QStringLiteral("no file");
    file.write(content + "\r\n[ klfuzz ]\r\n Clave = \"valor leido\" \r\n");
    file.close();
    const QString found = LeeIni(path, QStringLiteral("KLFUZZ"), QStringLiteral("clave"));
    if (!text.contains(QStringLiteral("klfuzz"), Qt::CaseInsensitive) && found != u"valor leido")
        return QStringLiteral("the appended key read as [%1]").arg(found);
    return QString();
}

// Every date the typed text gives is shown as dd/mm/yyyy and that text
// gives the same date again; a date and time likewise. A text that is a
// number gives the number it starts with, whatever follows it.
inline QString conversionsViolation(const QString& text) {
    if (const auto date = conv::parseDate(text)) {
        if (!date->isValid()) return QStringLiteral("an invalid date");
        const QString shown = conv::formatDate(*date);
        if (date->year() >= 1000 && date->year() <= 9999 && conv::parseDate(shown) != date)
            return QStringLiteral("%1 shown as %2 reads back otherwise").arg(text, shown);
    }
    if (const auto moment = conv::parseDateTime(text)) {
        const QString shown = conv::formatDateTime(*moment);
        if (moment->date().year() >= 1000 && moment->date().year() <= 9999 &&
            conv::parseDateTime(shown) != moment)
            return QStringLiteral("%1 shown as %2 reads back otherwise").arg(text, shown);
    }
    const double number = conv::leadingNumber(text);
    if (std::isnan(number)) return QStringLiteral("%1 gives NaN").arg(text);
    if (conv::isNumber(text)) {
        const double followed = conv::leadingNumber(QString(text.trimmed() + u'x'));
        if (followed != number && !(std::isnan(followed) && std::isnan(number)))
            return QStringLiteral("%1 gives %2 alone, %3 followed")
                .arg(text)
                .arg(number)
                .arg(followed);
    }
    if (std::isfinite(number)) {
        const double rounded = conv::roundHalfEven(number, 2);
        if (std::isnan(rounded)) return QStringLiteral("%1 rounds to NaN").arg(text);
        if (std::fabs(number) < 1e15 &&
            std::fabs(double(conv::roundHalfEvenToInt(number)) - number) > 0.5)
            return QStringLiteral("%1 rounds to another integer").arg(text);
    }
    return QString();
}

}  // namespace kl::properties
