#include "platform/tsql/tokens.h"

#include "platform/error_numbers.h"
#include "platform/tsql/quoting.h"

namespace kl::tsql {

RunError syntaxError(const QString& description) {
    return RunError{err::Syntax, description, QStringLiteral("Proveedor SQLite")};
}

QString position(qsizetype offset) {
    return QString::number(offset + 1);
}

Node make(Kind kind, QString text, QString lead, qsizetype pos) {
    Node n;
    n.kind = kind;
    n.text = std::move(text);
    n.lead = std::move(lead);
    n.pos = pos;
    return n;
}

Node word(const QString& text, const QString& lead) {
    return make(Kind::Word, text, lead);
}

Node literal(const QString& value, const QString& lead) {
    Node n = make(Kind::String, value, lead);
    n.textual = true;
    return n;
}

Node group(Nodes children, const QString& lead) {
    Node n = make(Kind::Group, QString(), lead);
    n.children = std::move(children);
    return n;
}

QSet<QString> setOf(std::initializer_list<const char*> words) {
    QSet<QString> set;
    for (const char* w : words) set.insert(QString::fromLatin1(w));
    return set;
}

bool is(const Node& n, const char* w) {
    return n.kind == Kind::Word && n.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}

bool isAnyOf(const Node& n, const QSet<QString>& upperWords) {
    return n.kind == Kind::Word && upperWords.contains(n.text.toUpper());
}

bool isOp(const Node& n, const char* op) {
    return n.kind == Kind::Operator && n.text == QLatin1String(op);
}

bool isNamePart(const Node& n) {
    return n.kind == Kind::Word || n.kind == Kind::Name;
}

bool isCall(const Nodes& seq, size_t i) {
    return seq[i].kind == Kind::Word && i + 1 < seq.size() && seq[i + 1].kind == Kind::Group;
}

size_t indexOfWord(const Nodes& seq, const char* w) {
    for (size_t i = 0; i < seq.size(); ++i)
        if (is(seq[i], w)) return i;
    return seq.size();
}

void append(Nodes& to, Nodes&& from) {
    for (Node& n : from) to.push_back(std::move(n));
}

Nodes slice(Nodes& seq, size_t begin, size_t end) {
    Nodes out;
    for (size_t i = begin; i < end && i < seq.size(); ++i) out.push_back(std::move(seq[i]));
    return out;
}

std::vector<Nodes> splitAtCommas(Nodes seq) {
    std::vector<Nodes> parts(1);
    for (Node& n : seq) {
        if (n.kind == Kind::Comma)
            parts.emplace_back();
        else
            parts.back().push_back(std::move(n));
    }
    if (parts.size() == 1 && parts.front().empty()) parts.clear();
    return parts;
}

Nodes joinWithCommas(std::vector<Nodes> parts) {
    Nodes out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out.push_back(make(Kind::Comma, QStringLiteral(",")));
        append(out, std::move(parts[i]));
    }
    return out;
}

Nodes spaced(Nodes part) {
    if (!part.empty() && part.front().lead.isEmpty()) part.front().lead = QStringLiteral(" ");
    return part;
}

std::optional<QString> readObjectName(const Nodes& seq, size_t& i) {
    if (i >= seq.size() || !isNamePart(seq[i])) return std::nullopt;
    QString name = seq[i++].text;
    while (i + 1 < seq.size() && seq[i].kind == Kind::Dot && isNamePart(seq[i + 1])) {
        name = seq[i + 1].text;
        i += 2;
    }
    return name;
}

const QSet<QString>& statementWords() {
    static const QSet<QString> words =
        setOf({"INSERT", "UPDATE", "DELETE", "CREATE", "DROP", "ALTER", "TRUNCATE", "EXEC",
               "EXECUTE", "IF", "DECLARE", "PRINT", "RAISERROR", "COMMIT", "ROLLBACK", "BEGIN"});
    return words;
}

const QSet<QString>& textTypes() {
    static const QSet<QString> types =
        setOf({"CHAR", "VARCHAR", "NCHAR", "NVARCHAR", "TEXT", "NTEXT", "SYSNAME"});
    return types;
}

const QSet<QString>& tableHints() {
    static const QSet<QString> hints =
        setOf({"NOLOCK", "READUNCOMMITTED", "READCOMMITTED", "REPEATABLEREAD", "SERIALIZABLE",
               "UPDLOCK", "ROWLOCK", "PAGLOCK", "TABLOCK", "TABLOCKX", "HOLDLOCK", "NOWAIT",
               "READPAST", "XLOCK", "NOEXPAND", "INDEX", "FORCESEEK"});
    return hints;
}

bool isHintList(const Node& g) {
    return g.kind == Kind::Group && !g.children.empty() &&
           isAnyOf(g.children.front(), tableHints());
}

bool isBareHintList(const Node& g) {
    if (!isHintList(g)) return false;
    for (const Node& n : g.children)
        if (n.kind != Kind::Comma && !isAnyOf(n, tableHints())) return false;
    return true;
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'$' || c == u'#';
}

bool isTextTypeName(const Node& n) {
    return isNamePart(n) && textTypes().contains(n.text.toUpper());
}

namespace {

bool isOperatorChar(QChar c) {
    return QStringView(u"+-*/%=<>!&|^~").contains(c);
}

// Tokens that were apart in the source may meet after a removal; keep them
// from fusing into one ("FROMT", "--", "''").
bool needsBlank(QChar before, QChar after) {
    return (isWordChar(before) && (isWordChar(after) || after == u'\'')) ||
           (isOperatorChar(before) && isOperatorChar(after)) || (before == u'\'' && after == u'\'');
}

void put(QString& out, const QString& lead, const QString& text) {
    if (!lead.isEmpty())
        out += lead;
    else if (!out.isEmpty() && !text.isEmpty() && needsBlank(out.back(), text.front()))
        out += u' ';
    out += text;
}

void render(const Nodes& nodes, QString& out);

void render(const Node& n, QString& out) {
    switch (n.kind) {
        case Kind::Group:
            put(out, n.lead, QStringLiteral("("));
            render(n.children, out);
            put(out, n.closeLead, QStringLiteral(")"));
            break;
        case Kind::Name:
            put(out, n.lead, quoted(n.text));
            break;
        case Kind::String:
            put(out, n.lead, quotedLiteral(n.text));
            break;
        case Kind::Operator:
            put(out, n.lead,
                n.text == u"!<"   ? QStringLiteral(">=")
                : n.text == u"!>" ? QStringLiteral("<=")
                                  : n.text);
            break;
        default:
            put(out, n.lead, n.text);
    }
}

void render(const Nodes& nodes, QString& out) {
    for (const Node& n : nodes) render(n, out);
}

}  // namespace

QString rendered(const Nodes& nodes) {
    QString out;
    render(nodes, out);
    return out.trimmed();
}

}  // namespace kl::tsql
