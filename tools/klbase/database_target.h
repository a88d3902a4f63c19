#pragma once

// The database an order of klbase names: a file, or in its place an ODBC
// connection string, for a server database
//     "Driver=PostgreSQL Unicode;Server=127.0.0.1;Port=5433;Database=conta;Uid=kl;Pwd=..."
// or any string the program itself connects with ("PROVIDER=MSDASQL;...",
// "PROVIDER=SQLOLEDB;..."). The string is shown with its passwords hidden.

#include <QString>

namespace kl::klbase {

// Whether `target` is a connection string rather than a file's name.
bool isConnectionString(const QString& target);

// The target as messages show it: a file as written, a connection string
// with every password as "***".
QString shownTarget(const QString& target);

// The refusal of orders that build or check a database file, for a
// connection string; "" for a file.
QString fileOnlyRefusal(const QString& order, const QString& target);

}  // namespace kl::klbase
