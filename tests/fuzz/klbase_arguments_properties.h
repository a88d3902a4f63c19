#pragma once

// What klbase promises for any command line whatever, checked by the fuzz
// target and by the tests' runs of its seeds: it ends with 0, 1 (the command
// failed) or 2 (bad use, with the usage), and it never replaces a file. The
// input is the arguments, one a line (at most eight). Every run happens in
// `folder`, which holds one file that is no database, "existente.kldb";
// names stay inside it (a "/" becomes "_"), and the commands that create a
// file are given that one, which they must refuse. So nothing is ever
// built, and the check is that nothing appears or changes in the folder.
// It gives an empty text when the promise holds and says what broke
// otherwise.

#include "cli.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace kl::klbase::properties {

inline constexpr char kExistente[] = "existente.kldb";
inline constexpr char kContenido[] = "no es una base de datos\n";

inline QString argumentsViolation(const QDir& folder, const QByteArray& bytes) {
    QStringList arguments;
    if (!bytes.isEmpty()) arguments = QString::fromUtf8(bytes).split(u'\n').mid(0, 8);
    for (QString& argument : arguments) argument.replace(u'/', u'_');
    static const QStringList creating{QStringLiteral("crear"), QStringLiteral("demo"),
                                      QStringLiteral("volumen"), QStringLiteral("mascaras")};
    if (arguments.size() >= 2 && creating.contains(arguments[0]))
        arguments[1] = QLatin1String(kExistente);

    QFile existing(folder.filePath(QLatin1String(kExistente)));
    if (!existing.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("no file");
    existing.write(kContenido);
    existing.close();

    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());
    QString out, err;
    int status = -1;
    {
        QTextStream outStream(&out), errStream(&err);
        status = runCommand(arguments, outStream, errStream);
    }
    QDir::setCurrent(before);

    if (status < 0 || status > 2) return QStringLiteral("status %1").arg(status);
    if (status == 2 && !err.contains(QStringLiteral("Uso"))) return QStringLiteral("no usage");
    const QStringList left =
        folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (left != QStringList{QLatin1String(kExistente)})
        return QStringLiteral("the folder holds ") + left.join(u' ');
    if (!existing.open(QIODevice::ReadOnly) || existing.readAll() != kContenido)
        return QStringLiteral("the existing file changed");
    return QString();
}

}  // namespace kl::klbase::properties
