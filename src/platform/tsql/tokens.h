#pragma once

// The tokens the dialect adapter works on (translator.h), shared by its
// parts: the lexer (lexer.h) makes them and nests parenthesised parts
// into groups, the batch splitter (batch_splitter.h) cuts a batch into
// statements, the expression rewriter (expression_rewriter.h) and the
// statement adapter (statement_adapter.h) rewrite them, and render()
// writes them back as text, keeping the blanks of untouched parts.

#include "platform/runerror.h"

#include <QSet>
#include <QString>

#include <initializer_list>
#include <optional>
#include <vector>

namespace kl::tsql {

enum class Kind {
    Word,  // keyword or plain identifier, as written
    Name,  // delimited identifier; text is the bare name
    String,
    Number,
    Operator,
    Comma,
    Dot,
    Semicolon,
    Open,  // "(" and ")" exist only between lexing and nesting
    Close,
    Group,  // a parenthesised part; children hold its content
    GoLine,
};

struct Node {
    Kind kind = Kind::Word;
    QString text;  // String: the value, quotes removed
    QString lead;  // blanks before the token; a comment counts as one blank
    qsizetype pos = 0;
    std::vector<Node> children;
    QString closeLead;
    // A text literal (not a Jet date), a call yielding text (on its Word), a
    // group holding one text expression: what decides whether "+" concatenates.
    bool textual = false;
    // A group one of whose comma-separated parts is a text expression.
    bool holdsText = false;
};

using Nodes = std::vector<Node>;

// The adapter's errors are numbered as ADO's syntax error.
RunError syntaxError(const QString& description);
// Positions in messages count characters from 1, as a person reads them.
QString position(qsizetype offset);

Node make(Kind kind, QString text, QString lead = QString(), qsizetype pos = 0);
Node word(const QString& text, const QString& lead = QStringLiteral(" "));
Node literal(const QString& value, const QString& lead = QString());
Node group(Nodes children, const QString& lead = QString());

QSet<QString> setOf(std::initializer_list<const char*> words);
bool is(const Node& n, const char* w);
bool isAnyOf(const Node& n, const QSet<QString>& upperWords);
bool isOp(const Node& n, const char* op);
bool isNamePart(const Node& n);
bool isCall(const Nodes& seq, size_t i);
bool isWordChar(QChar c);
size_t indexOfWord(const Nodes& seq, const char* w);

void append(Nodes& to, Nodes&& from);
Nodes slice(Nodes& seq, size_t begin, size_t end);
// Top-level comma-separated parts; empty parts are kept so callers can
// refuse them.
std::vector<Nodes> splitAtCommas(Nodes seq);
Nodes joinWithCommas(std::vector<Nodes> parts);
// An argument moved behind one the rewriting adds gets a blank after the comma.
Nodes spaced(Nodes part);
// Reads "[database.][owner.]name" from i on; answers the bare name.
std::optional<QString> readObjectName(const Nodes& seq, size_t& i);

// Statement keywords SQL Server lets start a statement without a ";" before it.
const QSet<QString>& statementWords();
const QSet<QString>& textTypes();
bool isTextTypeName(const Node& n);
// "WITH (NOLOCK, INDEX(ix))" names hints by its first word.
bool isHintList(const Node& g);
// The old form without WITH, "T (NOLOCK)", holds nothing but hint words.
bool isBareHintList(const Node& g);

// The tokens as SQLite text, trimmed.
QString rendered(const Nodes& nodes);

}  // namespace kl::tsql
