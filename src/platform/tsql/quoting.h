#pragma once

// Names and text literals as the adapted statements write them. Shared with
// the engine's side, which builds statements of its own (the column guards,
// klbase's files) in the same spelling.

#include <QString>

namespace kl::tsql {

// [name]: unlike "name", SQLite never reads a bracketed name as a text.
QString quoted(const QString& identifier);
QString quotedLiteral(const QString& text);

}  // namespace kl::tsql
