#include "platform/ini.h"

#include "platform/textfile.h"

#include <QStringView>

namespace kl {

namespace {

// Windows drops one pair of double quotes around a value; so do we, since
// the module's other programs read the same files through it.
QString unquoted(QStringView value) {
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) {
        return value.sliced(1, value.size() - 2).toString();
    }
    return value.toString();
}

}  // namespace

QString LeeIni(const QString& file, const QString& section, const QString& key,
               const QString& defaultValue) {
    const std::optional<QString> content = cp1252::readFile(file, kMaxIniFileSize);
    if (!content) return defaultValue;

    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    bool inSection = false;
    for (QStringView line : QStringView(*content).tokenize(u'\n')) {
        line = line.trimmed();  // also drops the '\r' of CRLF files
        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            if (close > 0) {
                const QStringView name = line.sliced(1, close - 1).trimmed();
                inSection = name.compare(wantedSection, Qt::CaseInsensitive) == 0;
                continue;
            }
        }
        if (!inSection) continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) continue;
        if (line.first(equals).trimmed().compare(wantedKey, Qt::CaseInsensitive) == 0) {
            return unquoted(line.sliced(equals + 1).trimmed());
        }
    }
    return defaultValue;
}

}  // namespace kl
