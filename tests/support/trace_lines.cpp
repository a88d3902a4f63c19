#include "support/trace_lines.h"

#include <QFile>

namespace kl::test {

namespace {

QByteArray bytesOf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

QStringList newTraceLines(const QString& file, qsizetype& read) {
    const QByteArray all = bytesOf(file);
    const QString fresh = QString::fromUtf8(all.mid(read));
    read = all.size();
    QStringList lines = fresh.split(u'\n');
    lines.removeAll(QString());
    return lines;
}

QString traceText(const QString& file) {
    return QString::fromUtf8(bytesOf(file));
}

}  // namespace kl::test
