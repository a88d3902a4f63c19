#pragma once

// The engine's functions for a PostgreSQL database (postgres_functions.sql,
// built into the program): the statements that install them, in order, each
// to be run on its own. Running them again replaces the functions.

#include <QStringList>

namespace kl::ado::odbc {

QStringList postgresFunctionStatements();

}  // namespace kl::ado::odbc
