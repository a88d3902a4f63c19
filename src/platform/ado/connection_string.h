#pragma once

// Reads OLE DB connection strings: "key=value;" pairs, keys without regard
// to case or to blanks around them ("Database =X"), values optionally in
// quotes (so they may hold ";").

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace kl::ado {

struct ConnectionSettings {
    enum class Kind { Unknown, SqlServer, Oracle, Jet };
    Kind kind = Kind::Unknown;
    QString provider;  // as written
    QString server;    // SQL Server's Server / Data Source
    QString database;  // SQL Server's Database; Oracle's and Jet's Data Source
    QString user;
    QString password;
    // The embedded database file when the string selects the embedded
    // engine (SQL Server string whose server is "sqlite", or a Jet string).
    QString embeddedFile;
    std::vector<std::pair<QString, QString>> pairs;  // every key as written

    QString value(const QString& key) const;
    // Every password the string carries (login and database passwords).
    QStringList secrets() const;
};

// nullopt when the text is no connection string (a pair without "=").
std::optional<ConnectionSettings> parseConnectionString(const QString& text);

// A value as a "key=value;" pair must carry it to be read back exactly: as
// it stands when plain, otherwise in double quotes with inner double quotes
// doubled. A password such as 'abc would otherwise be read as a quoted
// value running over the pairs after it, and one with a ";" or an outer
// blank would be cut.
//     connectionStringValue("clave")  -> clave
//     connectionStringValue("'abc")   -> "'abc"
//     connectionStringValue("a\"b;c") -> "a""b;c"
QString connectionStringValue(const QString& value);

}  // namespace kl::ado
