#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <array>

namespace kl::cp1252 {

namespace {

// The 0x80-0x9F block, the only part of Windows-1252 that differs from
// Latin-1. The five bytes Windows leaves undefined map to the C1 code point
// of the same number, so any byte read is written back unchanged.
constexpr std::array<char16_t, 32> kHighBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

// The byte for a UTF-16 unit, or -1 when Windows-1252 has none.
int byteFor(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
    for (std::size_t i = 0; i < kHighBlock.size(); ++i) {
        if (kHighBlock[i] == unit) return int(0x80 + i);
    }
    return -1;
}

Q_LOGGING_CATEGORY(archivos, "kl.archivos")

// A file read again and again (an INI file, once per key) is noted once.
void noteLeftOver(const QString& path, qint64 size, qint64 read) {
    static QMutex mutex;
    static QSet<QString> noted;
    {
        const QMutexLocker lock(&mutex);
        if (noted.contains(path)) return;
        noted.insert(path);
    }
    qCWarning(archivos).noquote()
        << QStringLiteral(
               "%1 mide %2 bytes, más de lo que ocupa un archivo real: se leyeron "
               "solo sus líneas completas dentro de los primeros %3 bytes")
               .arg(QDir::toNativeSeparators(path))
               .arg(size)
               .arg(read);
}

}  // namespace

QString decode(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += QChar(byte >= 0x80 && byte <= 0x9F ? kHighBlock[byte - 0x80] : char16_t(byte));
    }
    return text;
}

QByteArray encode(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A character outside the basic plane is one '?', not two.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        const int byte = byteFor(c.unicode());
        bytes += byte < 0 ? '?' : char(byte);
    }
    return bytes;
}

bool canEncode(const QString& text) {
    for (const QChar c : text) {
        if (byteFor(c.unicode()) < 0) return false;
    }
    return true;
}

std::optional<QString> readFile(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return decode(file.readAll());
}

std::optional<QString> readFile(const QString& path, qint64 limit) {
    if (path.isEmpty()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() <= limit) return decode(bytes);
    // A line cut short would read as a line of its own, with wrong fields;
    // so would a CR whose LF lies past the limit.
    const bool splitsCrLf = limit > 0 && bytes[limit - 1] == '\r' && bytes[limit] == '\n';
    bytes.truncate(splitsCrLf ? limit - 1 : limit);
    const qsizetype lineEnd = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
    bytes.truncate(lineEnd + 1);
    noteLeftOver(path, file.size(), limit);
    return decode(bytes);
}

bool writeFile(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = encode(text);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool openToAppend(QFile& file, FileAccess access) {
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Append;
    // The permissions apply only when the file is created.
    return access == FileAccess::OwnerOnly
               ? file.open(mode, QFileDevice::ReadOwner | QFileDevice::WriteOwner)
               : file.open(mode);
}

bool appendToFile(const QString& path, const QString& text, FileAccess access) {
    QFile file(path);
    if (!openToAppend(file, access)) return false;
    const QByteArray bytes = encode(text);
    return file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace kl::cp1252
