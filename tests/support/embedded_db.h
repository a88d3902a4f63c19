#pragma once

// Embedded accounting databases for tests, made the way klbase makes them:
// the raw SQLite API, the engine's functions registered, the column guards
// installed on every table. They live in a temporary folder that goes away
// with the object.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kl::test {

class EmbeddedDb {
  public:
    EmbeddedDb();

    // Creates the file `name` in the folder with `ddl` (several statements
    // allowed) and returns its path; a test failure and "" when it fails.
    QString create(const QString& name, const QString& ddl);
    QString folder() const { return dir_.path(); }
    QString path(const QString& name) const { return dir_.filePath(name); }

    // A SQL Server connection string that selects the embedded engine.
    static QString connectionString(const QString& file, const QString& password = "secreto");

    // Runs statements on a file with the raw API, outside the layer.
    static bool exec(const QString& file, const QString& sql);
    // The first column of the first row as text ("<null>" for NULL), or
    // "<error: ...>".
    static QString scalar(const QString& file, const QString& sql);
    // Every row of every table but those named, each value with its storage
    // class, by table name: two files with equal contents hold the same
    // data, value for value.
    static QMap<QString, QByteArray> tableContents(const QString& file,
                                                   const QStringList& except = {});
    // The tables whose rows differ between the two files, or that only one
    // of them has; empty when every table holds the same rows.
    static QStringList tablesThatDiffer(const QString& a, const QString& b,
                                        const QStringList& except = {});

  private:
    QTemporaryDir dir_;
};

}  // namespace kl::test
