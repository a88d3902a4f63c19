#pragma once

// Pieces of SQL text the access layer builds its statements from.

#include <QString>

namespace kl::db {

// The value as a SQL text literal: between single quotes, each quote inside
// doubled, so a name such as O'Higgins is compared as written and can never
// end the literal early.
QString sqlQuoted(const QString& value);

// The number a value starts with, written as the statements take it: "."
// as decimal separator, 0 when the value does not start with one.
QString leadingNumberText(const QString& value);

// Case-insensitive search, as every keyword test of the layer is.
bool containsText(const QString& text, const QString& part);

}  // namespace kl::db
