#pragma once

// The dialect adapter's tokenizer: SQL Server text into tokens, blanks and
// comments kept as the next token's lead, parenthesised parts nested into
// groups (without recursion, so any depth of input is safe to look at).
// Jet's #date# literals become text literals in the stored date form.

#include "platform/tsql/tokens.h"

#include <QStringView>

#include <variant>

namespace kl::tsql {

// The tokens of `text`, nested; an error for an unterminated literal or
// bracket, unbalanced parentheses, too deep a nesting or a NUL character.
std::variant<Nodes, RunError> tokenTree(QStringView text);

}  // namespace kl::tsql
