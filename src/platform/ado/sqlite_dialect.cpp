#include "platform/ado/sqlite_dialect.h"

#include "platform/ado/ado.h"
#include "platform/ado/sqlite_support.h"

#include <QDate>
#include <QSet>
#include <QTime>

#include <cctype>
#include <initializer_list>
#include <utility>

namespace kl::ado::sqlite {

namespace {

// Deeper nesting is refused instead of recursed into; SQLite's own parser
// gives up far earlier anyway.
constexpr size_t kMaxNesting = 200;

RunError syntaxError(const QString& description) {
    return RunError{err::Syntax, description, QStringLiteral("Proveedor SQLite")};
}

// Positions in messages count characters from 1, as a person reads them.
QString position(qsizetype offset) {
    return QString::number(offset + 1);
}

// ---------------------------------------------------------------- tokens

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

Node make(Kind kind, QString text, QString lead = QString(), qsizetype pos = 0) {
    Node n;
    n.kind = kind;
    n.text = std::move(text);
    n.lead = std::move(lead);
    n.pos = pos;
    return n;
}

Node word(const QString& text, const QString& lead = QStringLiteral(" ")) {
    return make(Kind::Word, text, lead);
}

Node literal(const QString& value, const QString& lead = QString()) {
    Node n = make(Kind::String, value, lead);
    n.textual = true;
    return n;
}

Node group(Nodes children, const QString& lead = QString()) {
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

// Top-level comma-separated parts; empty parts are kept so callers can
// refuse them.
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

// An argument moved behind one the rewriting adds gets a blank after the comma.
Nodes spaced(Nodes part) {
    if (!part.empty() && part.front().lead.isEmpty()) part.front().lead = QStringLiteral(" ");
    return part;
}

// Reads "[database.][owner.]name" from i on; answers the bare name.
std::optional<QString> readObjectName(const Nodes& seq, size_t& i) {
    if (i >= seq.size() || !isNamePart(seq[i])) return std::nullopt;
    QString name = seq[i++].text;
    while (i + 1 < seq.size() && seq[i].kind == Kind::Dot && isNamePart(seq[i + 1])) {
        name = seq[i + 1].text;
        i += 2;
    }
    return name;
}

// Statement keywords SQL Server lets start a statement without a ";" before it.
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

// "WITH (NOLOCK, INDEX(ix))" names hints by its first word.
bool isHintList(const Node& g) {
    return g.kind == Kind::Group && !g.children.empty() &&
           isAnyOf(g.children.front(), tableHints());
}

// The old form without WITH, "T (NOLOCK)", holds nothing but hint words.
bool isBareHintList(const Node& g) {
    if (!isHintList(g)) return false;
    for (const Node& n : g.children)
        if (n.kind != Kind::Comma && !isAnyOf(n, tableHints())) return false;
    return true;
}

// ---------------------------------------------------------------- lexer

// Jet's #date# literals put the month first, as VB writes them; like Jet, a
// first number above 12 is taken as the day. A leading four-digit year means
// year-month-day. Answers the stored form.
std::optional<QString> readJetDate(QStringView text) {
    text = text.trimmed();
    if (text.size() >= 2 && text.front() == u'\'' && text.back() == u'\'')
        text = text.mid(1, text.size() - 2).trimmed();
    qsizetype i = 0;
    auto number = [&](int& value, int& width) {
        value = 0;
        width = 0;
        while (i < text.size() && text[i].isDigit() && width < 4) {
            value = value * 10 + text[i++].digitValue();
            ++width;
        }
        return width > 0;
    };
    int a = 0, b = 0, c = 0, wa = 0, wb = 0, wc = 0;
    if (!number(a, wa) || i >= text.size()) return std::nullopt;
    const QChar separator = text[i++];
    if (separator != u'/' && separator != u'-' && separator != u'.') return std::nullopt;
    if (!number(b, wb) || i >= text.size() || text[i++] != separator || !number(c, wc))
        return std::nullopt;
    int year = 0, month = 0, day = 0;
    if (wa == 4) {
        year = a, month = b, day = c;
    } else {
        month = a, day = b, year = c;
        if (month > 12 && day <= 12) std::swap(month, day);
        if (wc == 2)
            year += year < 30 ? 2000 : 1900;
        else if (wc != 4)
            return std::nullopt;
    }
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    QTime time(0, 0);
    if (i < text.size()) {
        if (!text[i].isSpace()) return std::nullopt;
        while (i < text.size() && text[i].isSpace()) ++i;
        int h = 0, m = 0, s = 0, w = 0;
        if (!number(h, w) || w > 2 || i >= text.size() || text[i++] != u':' || !number(m, w) ||
            w != 2)
            return std::nullopt;
        if (i < text.size() && text[i] == u':') {
            ++i;
            if (!number(s, w) || w != 2) return std::nullopt;
        }
        while (i < text.size() && text[i].isSpace()) ++i;
        const QStringView suffix = text.mid(i);
        if (suffix.compare(u"PM", Qt::CaseInsensitive) == 0) {
            if (h < 1 || h > 12) return std::nullopt;
            h = h % 12 + 12;
        } else if (suffix.compare(u"AM", Qt::CaseInsensitive) == 0) {
            if (h < 1 || h > 12) return std::nullopt;
            h %= 12;
        } else if (!suffix.isEmpty()) {
            return std::nullopt;
        }
        time = QTime(h, m, s);
        if (!time.isValid()) return std::nullopt;
    }
    return date.toString(QStringLiteral("yyyy-MM-dd")) + u' ' +
           time.toString(QStringLiteral("hh:mm:ss"));
}

bool isWordStart(QChar c) {
    return c.isLetter() || c == u'_' || c == u'@';
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'$' || c == u'#';
}

// Splits the text into tokens; blanks and comments become the next token's
// lead, so untouched parts keep their layout.
class Lexer {
  public:
    explicit Lexer(QStringView text) : text_(text) {}

    std::variant<Nodes, RunError> run() {
        // SQLite reads statement text up to its first NUL; a NUL inside a
        // literal would cut the statement short.
        if (const qsizetype nul = text_.indexOf(QChar(0)); nul >= 0)
            return syntaxError(QStringLiteral("Carácter no válido «U+0000» en la posición %1.")
                                   .arg(position(nul)));
        for (;;) {
            if (StepResult e = skipBlanks()) return *e;
            if (pos_ >= text_.size()) break;
            const QChar c = text_[pos_];
            StepResult e;
            if (c == u'\'')
                e = quoted(u'\'', Kind::String, 1);
            else if ((c == u'N' || c == u'n') && at(pos_ + 1) == u'\'')
                e = quoted(u'\'', Kind::String, 2);
            else if (c == u'[')
                e = quoted(u']', Kind::Name, 1);
            else if (c == u'"')
                e = quoted(u'"', Kind::Name, 1);
            else if (c == u'#')
                e = jetDate();
            else if (c.isDigit() || (c == u'.' && at(pos_ + 1).isDigit()))
                number();
            else if (isWordStart(c))
                wordOrGo();
            else
                e = symbol();
            if (e) return *e;
            lineStart_ = false;
        }
        return std::move(out_);
    }

  private:
    QChar at(qsizetype i) const { return i < text_.size() ? text_[i] : QChar(); }

    void emit(Kind kind, QString text, qsizetype start) {
        out_.push_back(make(kind, std::move(text), std::move(lead_), start));
        lead_.clear();
    }

    StepResult skipBlanks() {
        while (pos_ < text_.size()) {
            const QChar c = text_[pos_];
            if (c == u'\n') {
                lineStart_ = true;
                lead_ += c;
                ++pos_;
            } else if (c.isSpace()) {
                lead_ += c;
                ++pos_;
            } else if (c == u'-' && at(pos_ + 1) == u'-') {
                while (pos_ < text_.size() && text_[pos_] != u'\n') ++pos_;
                lead_ += u' ';
            } else if (c == u'/' && at(pos_ + 1) == u'*') {
                // SQL Server nests block comments.
                const qsizetype start = pos_;
                int depth = 0;
                while (pos_ < text_.size()) {
                    if (text_[pos_] == u'/' && at(pos_ + 1) == u'*') {
                        ++depth;
                        pos_ += 2;
                    } else if (text_[pos_] == u'*' && at(pos_ + 1) == u'/') {
                        pos_ += 2;
                        if (--depth == 0) break;
                    } else {
                        ++pos_;
                    }
                }
                if (depth > 0)
                    return syntaxError(
                        QStringLiteral("Falta el cierre */ del comentario que empieza en la "
                                       "posición %1.")
                            .arg(position(start)));
                lead_ += u' ';
            } else {
                break;
            }
        }
        return {};
    }

    // A quoted literal or name; the closing character written twice stands
    // for itself.
    StepResult quoted(QChar close, Kind kind, qsizetype prefix) {
        const qsizetype start = pos_;
        QString value(QLatin1String(""));  // '' is an empty text, never a null one
        for (qsizetype i = pos_ + prefix; i < text_.size(); ++i) {
            if (text_[i] != close) {
                value += text_[i];
            } else if (at(i + 1) == close) {
                value += close;
                ++i;
            } else {
                if (kind == Kind::Name && value.isEmpty())
                    return syntaxError(
                        QStringLiteral("Nombre vacío en la posición %1.").arg(position(start)));
                pos_ = i + 1;
                emit(kind, std::move(value), start);
                out_.back().textual = kind == Kind::String;
                return {};
            }
        }
        const QString what =
            kind == Kind::String ? QStringLiteral(
                                       "Falta la comilla de cierre del texto que empieza en la "
                                       "posición %1.")
            : close == u']' ? QStringLiteral(
                                  "Falta el corchete de cierre del nombre que empieza en la "
                                  "posición %1.")
                            : QStringLiteral(
                                  "Falta la comilla doble de cierre del nombre que empieza en la "
                                  "posición %1.");
        return syntaxError(what.arg(position(start)));
    }

    StepResult jetDate() {
        const qsizetype start = pos_;
        const qsizetype end = text_.indexOf(u'#', pos_ + 1);
        if (end < 0)
            return syntaxError(
                QStringLiteral("Falta el # de cierre de la fecha que empieza en la posición %1.")
                    .arg(position(start)));
        const std::optional<QString> stored = readJetDate(text_.mid(pos_ + 1, end - pos_ - 1));
        if (!stored)
            return syntaxError(
                QStringLiteral("La fecha %1 de la posición %2 no es válida.")
                    .arg(text_.mid(start, std::min<qsizetype>(end - start + 1, 40)).toString(),
                         position(start)));
        pos_ = end + 1;
        emit(Kind::String, *stored, start);
        return {};
    }

    void number() {
        const qsizetype start = pos_;
        auto digits = [&] {
            while (pos_ < text_.size() && text_[pos_].isDigit()) ++pos_;
        };
        if (text_[pos_] == u'0' && (at(pos_ + 1) == u'x' || at(pos_ + 1) == u'X')) {
            pos_ += 2;
            while (pos_ < text_.size() &&
                   std::isxdigit(static_cast<unsigned char>(text_[pos_].toLatin1())))
                ++pos_;
        } else {
            digits();
            if (at(pos_) == u'.') {
                ++pos_;
                digits();
            }
            const QChar e = at(pos_);
            if ((e == u'e' || e == u'E') &&
                (at(pos_ + 1).isDigit() ||
                 ((at(pos_ + 1) == u'+' || at(pos_ + 1) == u'-') && at(pos_ + 2).isDigit()))) {
                pos_ += 2;
                digits();
            }
        }
        emit(Kind::Number, text_.mid(start, pos_ - start).toString(), start);
    }

    bool restOfLineBlank(qsizetype i) const {
        for (; i < text_.size() && text_[i] != u'\n'; ++i)
            if (!text_[i].isSpace()) return false;
        return true;
    }

    void wordOrGo() {
        const qsizetype start = pos_;
        while (pos_ < text_.size() && isWordChar(text_[pos_])) ++pos_;
        QString text = text_.mid(start, pos_ - start).toString();
        const bool go =
            lineStart_ && text.compare(u"GO", Qt::CaseInsensitive) == 0 && restOfLineBlank(pos_);
        emit(go ? Kind::GoLine : Kind::Word, std::move(text), start);
    }

    StepResult symbol() {
        const qsizetype start = pos_;
        const QChar c = text_[pos_];
        static const QStringView pairs[] = {u"<=", u">=", u"<>", u"!=", u"!<", u"!>", u"||"};
        for (QStringView pair : pairs) {
            if (text_.mid(pos_).startsWith(pair)) {
                pos_ += 2;
                emit(Kind::Operator, pair.toString(), start);
                return {};
            }
        }
        Kind kind = Kind::Operator;
        switch (c.unicode()) {
            case u'(':
                kind = Kind::Open;
                break;
            case u')':
                kind = Kind::Close;
                break;
            case u',':
                kind = Kind::Comma;
                break;
            case u'.':
                kind = Kind::Dot;
                break;
            case u';':
                kind = Kind::Semicolon;
                break;
            default:
                if (!QStringView(u"+-*/%=<>&|^~?").contains(c)) {
                    const QString shown = c.isPrint() ? QString(c)
                                                      : QStringLiteral("U+%1").arg(
                                                            c.unicode(), 4, 16, QLatin1Char('0'));
                    return syntaxError(QStringLiteral("Carácter no válido «%1» en la posición %2.")
                                           .arg(shown, position(start)));
                }
        }
        ++pos_;
        emit(kind, QString(c), start);
        return {};
    }

    QStringView text_;
    qsizetype pos_ = 0;
    QString lead_;
    bool lineStart_ = true;  // only blanks since the last line break
    Nodes out_;
};

// Turns "(" ... ")" into groups, without recursion, so any input depth is
// safe to look at.
std::variant<Nodes, RunError> nest(Nodes flat) {
    std::vector<Nodes> levels(1);
    Nodes opens;
    for (Node& n : flat) {
        if (n.kind == Kind::Open) {
            if (opens.size() >= kMaxNesting)
                return syntaxError(
                    QStringLiteral("Demasiados paréntesis anidados (más de %1) en la posición %2.")
                        .arg(kMaxNesting)
                        .arg(position(n.pos)));
            opens.push_back(std::move(n));
            levels.emplace_back();
        } else if (n.kind == Kind::Close) {
            if (opens.empty())
                return syntaxError(
                    QStringLiteral("Sobra un paréntesis de cierre en la posición %1.")
                        .arg(position(n.pos)));
            Node g = make(Kind::Group, QString(), std::move(opens.back().lead), opens.back().pos);
            g.children = std::move(levels.back());
            g.closeLead = std::move(n.lead);
            opens.pop_back();
            levels.pop_back();
            levels.back().push_back(std::move(g));
        } else if (n.kind == Kind::GoLine && !opens.empty()) {
            break;
        } else {
            levels.back().push_back(std::move(n));
        }
    }
    if (!opens.empty())
        return syntaxError(
            QStringLiteral("Falta el paréntesis de cierre del que se abre en la posición %1.")
                .arg(position(opens.back().pos)));
    return std::move(levels.front());
}

// ---------------------------------------------------------------- batches

// Nodes of a statement that ends by itself: "SET NOCOUNT ON", "BEGIN TRAN",
// "COMMIT TRANSACTION name"...; 0 when top[i] starts no such statement.
size_t selfDelimitedLength(const Nodes& top, size_t i) {
    static const QSet<QString> switches =
        setOf({"NOCOUNT", "ANSI_NULLS", "ANSI_PADDING", "ANSI_WARNINGS", "ANSI_NULL_DFLT_ON",
               "ARITHABORT", "CONCAT_NULL_YIELDS_NULL", "QUOTED_IDENTIFIER", "XACT_ABORT",
               "IMPLICIT_TRANSACTIONS", "NUMERIC_ROUNDABORT", "IDENTITY_INSERT"});
    static const QSet<QString> valued = setOf(
        {"DATEFORMAT", "DATEFIRST", "LANGUAGE", "LOCK_TIMEOUT", "TEXTSIZE", "DEADLOCK_PRIORITY"});
    static const QSet<QString> notNames = [] {
        QSet<QString> s = statementWords();
        s.unite(setOf({"SELECT", "WITH", "SET", "END", "ELSE"}));
        return s;
    }();
    const size_t n = top.size();
    auto within = [&](size_t k) { return k < n; };
    if (is(top[i], "SET") && within(i + 1)) {
        if (isAnyOf(top[i + 1], switches)) {
            for (size_t k = i + 2; k < n && k < i + 4; ++k)
                if (is(top[k], "ON") || is(top[k], "OFF")) return k - i + 1;
            return 0;
        }
        // "UPDATE T SET LANGUAGE = 'x'" names a column.
        if (isAnyOf(top[i + 1], valued)) return within(i + 2) && !isOp(top[i + 2], "=") ? 3 : 0;
        if (is(top[i + 1], "TRANSACTION") && within(i + 4) && is(top[i + 2], "ISOLATION") &&
            is(top[i + 3], "LEVEL"))
            return is(top[i + 4], "READ") || is(top[i + 4], "REPEATABLE") ? (within(i + 5) ? 6 : 0)
                                                                          : 5;
        return 0;
    }
    const bool begin = is(top[i], "BEGIN");
    if (!begin && !is(top[i], "COMMIT") && !is(top[i], "ROLLBACK")) return 0;
    size_t k = i + 1;
    const bool tran = within(k) && (is(top[k], "TRAN") || is(top[k], "TRANSACTION") ||
                                    (!begin && is(top[k], "WORK")));
    if (begin && !tran) return 0;  // a BEGIN ... END block
    if (!tran) return 1;
    ++k;
    // A transaction's name stands on its line; a word on the next one starts
    // the next statement ("BEGIN TRAN\nkv_CreaCalendario '..'").
    if (!is(top[k - 1], "WORK") && within(k) && !top[k].lead.contains(u'\n') &&
        (top[k].kind == Kind::Name || (top[k].kind == Kind::Word && !isAnyOf(top[k], notNames))))
        ++k;
    return k - i;
}

// Cuts a batch into statements: at ";" outside BEGIN/CASE ... END, at GO
// lines, and where a statement keyword starts a new statement, as SQL
// Server reads a batch ("INSERT ... VALUES (1) SELECT * FROM T" is two).
class BatchSplitter {
  public:
    std::vector<Nodes> split(Nodes top) {
        for (size_t i = 0; i < top.size(); ++i) {
            Node& n = top[i];
            if (n.kind == Kind::GoLine || (n.kind == Kind::Semicolon && blocks_ == 0)) {
                finish();
                continue;
            }
            if (n.kind == Kind::Word && blocks_ == 0) {
                const bool starts = current_.empty() || (startsStatement(top, i) && !continues(n));
                if (starts) {
                    finish();
                    if (const size_t length = selfDelimitedLength(top, i)) {
                        for (size_t k = 0; k < length; ++k)
                            current_.push_back(std::move(top[i + k]));
                        finish();
                        i += length - 1;
                        continue;
                    }
                }
                if (is(n, "ELSE") && !current_.empty() && is(current_.front(), "IF"))
                    ifBodySeen_ = false;
                static const QSet<QString> sources =
                    setOf({"VALUES", "SELECT", "EXEC", "EXECUTE", "DEFAULT"});
                sourceSeen_ = sourceSeen_ || isAnyOf(n, sources);
            }
            if (is(n, "CASE") || (is(n, "BEGIN") && selfDelimitedLength(top, i) == 0))
                ++blocks_;
            else if (is(n, "END") && blocks_ > 0)
                --blocks_;
            current_.push_back(std::move(n));
        }
        finish();
        return std::move(statements_);
    }

  private:
    static bool startsStatement(const Nodes& top, size_t i) {
        return isAnyOf(top[i], statementWords()) || is(top[i], "SELECT") ||
               (is(top[i], "SET") && selfDelimitedLength(top, i) > 0);
    }

    // Whether a statement keyword belongs to the statement being read:
    // "ON DELETE CASCADE", "FOR INSERT, UPDATE", "ALTER TABLE t DROP ...",
    // "INSERT INTO t SELECT", "UNION SELECT", the body of an IF.
    bool continues(const Node& n) {
        static const QSet<QString> dml = setOf({"INSERT", "UPDATE", "DELETE"});
        static const QSet<QString> eventWords = setOf({"ON", "FOR", "OF", "AFTER", "OR"});
        static const QSet<QString> beforeQuery =
            setOf({"UNION", "ALL", "EXCEPT", "INTERSECT", "AS", "FOR"});
        static const QSet<QString> grants = setOf({"GRANT", "REVOKE", "DENY"});
        static const QSet<QString> routines = setOf({"TRIGGER", "PROC", "PROCEDURE", "FUNCTION"});
        const Node& whole = current_.front();
        const Node& first = current_[body_];
        const Node& previous = current_.back();
        if (isAnyOf(whole, grants)) return true;
        if (is(whole, "CREATE") && current_.size() > 1 && isAnyOf(current_[1], routines))
            return true;
        if (is(whole, "IF") && !ifBodySeen_) {
            ifBodySeen_ = true;
            body_ = current_.size();
            sourceSeen_ = false;
            return true;
        }
        if (is(n, "SELECT"))
            return isAnyOf(previous, beforeQuery) || is(first, "WITH") ||
                   (is(first, "INSERT") && !sourceSeen_);
        if (isAnyOf(n, dml) && (previous.kind == Kind::Comma || isAnyOf(previous, eventWords)))
            return true;
        return is(first, "ALTER") && (is(n, "DROP") || is(n, "ALTER"));
    }

    void finish() {
        if (!current_.empty()) statements_.push_back(std::move(current_));
        current_.clear();
        blocks_ = 0;
        body_ = 0;
        ifBodySeen_ = false;
        sourceSeen_ = false;
    }

    std::vector<Nodes> statements_;
    Nodes current_;
    int blocks_ = 0;
    size_t body_ = 0;  // where the statement proper starts (after IF's condition)
    bool ifBodySeen_ = false;
    bool sourceSeen_ = false;  // VALUES, SELECT or EXEC: an INSERT has its rows
};

// ---------------------------------------------------------------- output

bool isWordish(QChar c) {
    return isWordChar(c);
}

bool isOperatorChar(QChar c) {
    return QStringView(u"+-*/%=<>!&|^~").contains(c);
}

// Tokens that were apart in the source may meet after a removal; keep them
// from fusing into one ("FROMT", "--", "''").
bool needsBlank(QChar before, QChar after) {
    return (isWordish(before) && (isWordish(after) || after == u'\'')) ||
           (isOperatorChar(before) && isOperatorChar(after)) || (before == u'\'' && after == u'\'');
}

void put(QString& out, const QString& lead, const QString& text) {
    if (!lead.isEmpty())
        out += lead;
    else if (!out.isEmpty() && !text.isEmpty() && needsBlank(out.back(), text.front()))
        out += u' ';
    out += text;
}

QString quoteText(QString value) {
    value.replace(u'\'', QStringLiteral("''"));
    return u'\'' + value + u'\'';
}

// SQLite never takes a bracketed name for a text, as it may a double-quoted
// one, so a misspelt column fails instead of comparing against its name.
QString quoteName(QString name) {
    if (!name.contains(u']')) return u'[' + name + u']';
    name.replace(u'"', QStringLiteral("\"\""));
    return u'"' + name + u'"';
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
            put(out, n.lead, quoteName(n.text));
            break;
        case Kind::String:
            put(out, n.lead, quoteText(n.text));
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

QString rendered(const Nodes& nodes) {
    QString out;
    render(nodes, out);
    return out.trimmed();
}

// ---------------------------------------------------------------- expressions

struct TextShape {
    bool whole = false;  // the sequence is one text expression
    bool part = false;   // some comma-separated part of it is
};

// The SQL Server functions that have another spelling here. Arguments keep
// their order; a date part (DATEPART(dw, x)) becomes a text literal.
struct CallMapping {
    const char* from;
    const char* to;
    int minArgs;
    int maxArgs;
    bool textual;
    bool datePartFirst;
};

constexpr CallMapping kCalls[] = {
    {"ISNULL", "IFNULL", 2, 2, false, false},
    {"LEN", "kl_len", 1, 1, false, false},
    {"VAL", "kl_val", 1, 1, false, false},
    {"CHARINDEX", "kl_charindex", 2, 3, false, false},
    {"SUBSTRING", "substr", 3, 3, true, false},
    {"LEFT", "kl_left", 2, 2, true, false},
    {"RIGHT", "kl_right", 2, 2, true, false},
    {"REPLICATE", "kl_replicate", 2, 2, true, false},
    {"SPACE", "kl_space", 1, 1, true, false},
    {"STR", "kl_str", 1, 3, true, false},
    {"GETDATE", "kl_getdate", 0, 0, false, false},
    {"ISDATE", "kl_isdate", 1, 1, false, false},
    {"ISNUMERIC", "kl_isnumeric", 1, 1, false, false},
    {"SCOPE_IDENTITY", "last_insert_rowid", 0, 0, false, false},
    {"DATEPART", "kl_datepart", 2, 2, false, true},
    {"DATENAME", "kl_datename", 2, 2, true, true},
    {"DATEADD", "kl_dateadd", 3, 3, false, true},
    {"DATEDIFF", "kl_datediff", 3, 3, false, true},
};

const CallMapping* mappingFor(const QString& upperName) {
    for (const CallMapping& m : kCalls)
        if (upperName == QLatin1String(m.from)) return &m;
    return nullptr;
}

const QSet<QString>& dateParts() {
    // The parts kl_datepart and its kin read.
    static const QSet<QString> parts =
        setOf({"YY",     "YYYY",    "YEAR",      "MM",   "M",  "MONTH", "DD",     "D",  "DAY",
               "DW",     "WEEKDAY", "HH",        "HOUR", "MI", "N",     "MINUTE", "SS", "S",
               "SECOND", "DY",      "DAYOFYEAR", "WK",   "WW", "WEEK",  "QQ",     "Q",  "QUARTER"});
    return parts;
}

// Words that never stand for a value where an operand is expected.
const QSet<QString>& clauseWords() {
    static const QSet<QString> words =
        setOf({"SELECT",  "DISTINCT",   "ALL",     "TOP",    "PERCENT", "FROM",       "WHERE",
               "AND",     "OR",         "NOT",     "EXISTS", "IN",      "LIKE",       "IS",
               "BETWEEN", "AS",         "ON",      "JOIN",   "INNER",   "OUTER",      "CROSS",
               "FULL",    "LEFT",       "RIGHT",   "ORDER",  "BY",      "GROUP",      "HAVING",
               "SET",     "VALUES",     "INTO",    "UPDATE", "DELETE",  "INSERT",     "THEN",
               "ELSE",    "WHEN",       "END",     "UNION",  "EXCEPT",  "INTERSECT",  "ESCAPE",
               "ASC",     "DESC",       "COLLATE", "WITH",   "DEFAULT", "CONSTRAINT", "PRIMARY",
               "KEY",     "REFERENCES", "TABLE",   "CREATE", "ALTER",   "ADD",        "DROP",
               "IF",      "LIMIT",      "ANY",     "SOME",   "RETURN",  "PRINT",      "EXEC",
               "EXECUTE", "INDEX",      "VIEW",    "UNIQUE", "CHECK",   "FOREIGN",    "IDENTITY",
               "OVER",    "PARTITION",  "COLUMN"});
    return words;
}

// Type text for kl_convert: as written, blanks removed ("varchar(10)").
std::optional<QString> typeText(const Nodes& type) {
    if (type.empty() || type.size() > 2 || !isNamePart(type[0])) return std::nullopt;
    QString text = type[0].text;
    if (type.size() == 2) {
        if (type[1].kind != Kind::Group || type[1].children.empty()) return std::nullopt;
        text += u'(';
        for (const Node& n : type[1].children) {
            if (n.kind != Kind::Number && n.kind != Kind::Word && n.kind != Kind::Comma)
                return std::nullopt;
            text += n.text;
        }
        text += u')';
    }
    return text;
}

bool isTextTypeName(const Node& n) {
    return isNamePart(n) && textTypes().contains(n.text.toUpper());
}

bool isTextType(const Nodes& type) {
    return !type.empty() && isTextTypeName(type[0]);
}

// The general rewriting of a statement's text, applied at every nesting
// level: hints and owners, function spellings, TOP, concatenation.
class Rewriter {
  public:
    StepResult rewrite(Nodes& seq, TextShape* shape = nullptr) {
        seq = withoutHintsAndOwners(std::move(seq));
        for (Node& n : seq) {
            if (n.kind != Kind::Group) continue;
            TextShape inner;
            if (StepResult e = rewrite(n.children, &inner)) return e;
            n.textual = inner.whole;
            n.holdsText = inner.part;
        }
        if (StepResult e = rewriteCalls(seq)) return e;
        if (StepResult e = rewriteTop(seq)) return e;
        const TextShape s = joinTexts(seq);
        if (shape) *shape = s;
        return {};
    }

  private:
    // Drops "with(nolock)", "(nolock)" and "dbo." (with a database name
    // before it); a dropped token's blanks pass to the next one.
    static Nodes withoutHintsAndOwners(Nodes seq) {
        Nodes out;
        out.reserve(seq.size());
        QString pendingLead;
        bool pending = false;
        auto drop = [&](const QString& lead) {
            if (!pending) pendingLead = lead;
            pending = true;
        };
        for (size_t i = 0; i < seq.size(); ++i) {
            Node& n = seq[i];
            const bool next = i + 1 < seq.size();
            if (is(n, "WITH") && next && isHintList(seq[i + 1])) {
                drop(n.lead);
                ++i;
                continue;
            }
            if (n.kind == Kind::Group && isBareHintList(n) && !out.empty() &&
                isNamePart(out.back())) {
                drop(n.lead);
                continue;
            }
            if (isNamePart(n) && n.text.compare(u"dbo", Qt::CaseInsensitive) == 0 && next &&
                seq[i + 1].kind == Kind::Dot) {
                if (out.size() >= 2 && out.back().kind == Kind::Dot &&
                    isNamePart(out[out.size() - 2])) {
                    drop(out[out.size() - 2].lead);
                    out.pop_back();
                    out.pop_back();
                } else {
                    drop(n.lead);
                }
                ++i;
                continue;
            }
            if (pending) {
                if (n.lead.isEmpty()) n.lead = pendingLead;
                pending = false;
            }
            out.push_back(std::move(n));
        }
        return out;
    }

    static StepResult rewriteCalls(Nodes& seq) {
        static const QSet<QString> objectIntroducers =
            setOf({"INTO", "TABLE", "FROM", "JOIN", "UPDATE", "REFERENCES", "EXEC", "EXECUTE",
                   "PROC", "PROCEDURE", "FUNCTION", "VIEW", "INDEX", "TRIGGER"});
        Nodes out;
        out.reserve(seq.size());
        for (size_t i = 0; i < seq.size(); ++i) {
            Node& n = seq[i];
            const bool plain =
                n.kind == Kind::Word && (out.empty() || (out.back().kind != Kind::Dot &&
                                                         !isAnyOf(out.back(), objectIntroducers)));
            const size_t before = out.size();
            if (plain && isCall(seq, i)) {
                if (StepResult e = rewriteCall(std::move(n), std::move(seq[i + 1]), out)) return e;
                ++i;
            } else if (plain && (is(n, "CURRENT_TIMESTAMP") || is(n, "@@IDENTITY"))) {
                const bool now = is(n, "CURRENT_TIMESTAMP");
                out.push_back(
                    word(now ? QStringLiteral("kl_getdate") : QStringLiteral("last_insert_rowid"),
                         n.lead));
                out.push_back(group({}));
            } else if (is(n, "COLLATE") && i + 1 < seq.size() && isNamePart(seq[i + 1])) {
                // SQL Server's collations here are KL_CI or plain binary order.
                Node name = std::move(seq[i + 1]);
                const bool caseless = name.text.contains(u"_CI", Qt::CaseInsensitive) ||
                                      name.text.compare(u"NOCASE", Qt::CaseInsensitive) == 0;
                name =
                    word(caseless ? QStringLiteral("KL_CI") : QStringLiteral("BINARY"), name.lead);
                out.push_back(std::move(n));
                out.push_back(std::move(name));
                ++i;
                continue;
            } else {
                out.push_back(std::move(n));
                continue;
            }
            // SQLite takes a call as a column default only in parentheses.
            if (before > 0 && is(out[before - 1], "DEFAULT")) {
                Nodes call = slice(out, before, out.size());
                out.resize(before);
                const QString lead = std::exchange(call.front().lead, QString());
                out.push_back(group(std::move(call), lead));
            }
        }
        seq = std::move(out);
        return {};
    }

    static StepResult rewriteCall(Node name, Node args, Nodes& out) {
        const QString fn = name.text.toUpper();
        auto fail = [&](const QString& what) {
            return syntaxError(what.arg(name.text, position(name.pos)));
        };
        if (fn == u"CAST") {
            // CAST(x AS type) -> kl_convert('type', x)
            size_t as = args.children.size();
            for (size_t k = 0; k < args.children.size(); ++k)
                if (is(args.children[k], "AS")) as = k;
            if (as == 0 || as >= args.children.size())
                return fail(
                    QStringLiteral("%1 requiere un valor, AS y un tipo de dato (posición "
                                   "%2)."));
            Nodes value = slice(args.children, 0, as);
            Nodes type = slice(args.children, as + 1, args.children.size());
            const std::optional<QString> text = typeText(type);
            if (!text) return fail(QStringLiteral("Tipo de dato no válido en %1 (posición %2)."));
            name.text = QStringLiteral("kl_convert");
            name.textual = isTextType(type);
            args.children = joinWithCommas({{literal(*text)}, spaced(std::move(value))});
            out.push_back(std::move(name));
            out.push_back(std::move(args));
            return {};
        }
        const bool convert = fn == u"CONVERT";
        const bool dayPart = fn == u"YEAR" || fn == u"MONTH" || fn == u"DAY";
        const CallMapping* mapping = mappingFor(fn);
        if (!convert && !dayPart && !mapping) {
            out.push_back(std::move(name));
            out.push_back(std::move(args));
            return {};
        }
        std::vector<Nodes> parts = splitAtCommas(std::move(args.children));
        for (const Nodes& p : parts)
            if (p.empty()) return fail(QStringLiteral("Falta un argumento de %1 (posición %2)."));
        const int count = static_cast<int>(parts.size());
        const int minArgs = convert ? 2 : dayPart ? 1 : mapping->minArgs;
        const int maxArgs = convert ? 3 : dayPart ? 1 : mapping->maxArgs;
        if (count < minArgs || count > maxArgs) {
            const QString expected =
                minArgs == maxArgs ? QString::number(minArgs)
                                   : QStringLiteral("entre %1 y %2").arg(minArgs).arg(maxArgs);
            return syntaxError(QStringLiteral("La función %1 requiere %2 argumentos (posición %3).")
                                   .arg(name.text, expected, position(name.pos)));
        }
        if (convert) {
            const std::optional<QString> text = typeText(parts[0]);
            if (!text) return fail(QStringLiteral("Tipo de dato no válido en %1 (posición %2)."));
            name.textual = isTextType(parts[0]);
            parts[0] = {literal(*text, parts[0].front().lead)};
            name.text = QStringLiteral("kl_convert");
        } else if (dayPart) {
            parts[0] = spaced(std::move(parts[0]));
            parts.insert(parts.begin(), Nodes{literal(fn.toLower())});
            name.text = QStringLiteral("kl_datepart");
        } else {
            if (mapping->datePartFirst) {
                const Nodes& part = parts[0];
                if (part.size() != 1 || !isAnyOf(part[0], dateParts()))
                    return fail(QStringLiteral("Parte de fecha no válida en %1 (posición %2)."));
                parts[0] = {literal(part[0].text.toLower(), part[0].lead)};
            }
            name.text = QLatin1String(mapping->to);
            name.textual = mapping->textual;
        }
        args.children = joinWithCommas(std::move(parts));
        out.push_back(std::move(name));
        out.push_back(std::move(args));
        return {};
    }

    struct TopClause {
        size_t begin = 0;  // nodes [begin, end) are "TOP n [PERCENT]"
        size_t end = 0;
        Nodes limit;  // empty for TOP 100 PERCENT, which limits nothing
    };

    // The TOP clause of the query member starting at `select`, if any.
    static std::variant<std::optional<TopClause>, RunError> readTop(Nodes& seq, size_t select,
                                                                    size_t end) {
        size_t k = select + 1;
        if (k < end && (is(seq[k], "ALL") || is(seq[k], "DISTINCT"))) ++k;
        if (k >= end || !is(seq[k], "TOP")) return std::nullopt;
        TopClause top;
        top.begin = k++;
        const qsizetype at = seq[top.begin].pos;
        auto integral = [](const Node& n) {
            if (n.kind != Kind::Number || n.text.startsWith(u"0x", Qt::CaseInsensitive))
                return false;
            for (QChar c : n.text)
                if (!c.isDigit()) return false;
            return true;
        };
        const bool count = k < end && (integral(seq[k]) || seq[k].kind == Kind::Group ||
                                       (seq[k].kind == Kind::Word && seq[k].text.startsWith(u'@')));
        if (!count)
            return syntaxError(
                QStringLiteral("Falta el número de filas después de TOP (posición %1).")
                    .arg(position(at)));
        Node limit = seq[k++];
        if (k < end && is(seq[k], "PERCENT")) {
            if (limit.kind != Kind::Number || limit.text.toInt() != 100)
                return syntaxError(
                    QStringLiteral("TOP ... PERCENT sólo se admite como TOP 100 PERCENT (posición "
                                   "%1).")
                        .arg(position(at)));
            ++k;
        } else {
            limit.lead = QStringLiteral(" ");
            top.limit.push_back(word(QStringLiteral("LIMIT")));
            top.limit.push_back(std::move(limit));
        }
        if (k + 1 < end && is(seq[k], "WITH") && is(seq[k + 1], "TIES"))
            return syntaxError(
                QStringLiteral("TOP ... WITH TIES no se admite (posición %1).").arg(position(at)));
        top.end = k;
        return top;
    }

    // "SELECT TOP n ..." -> "SELECT ... LIMIT n" at the end of the query; in a
    // UNION the limit belongs to its member alone, which SQLite can only say
    // as "SELECT * FROM (member LIMIT n)"; a final ORDER BY stays outside.
    static StepResult rewriteTop(Nodes& seq) {
        const size_t first = indexOfWord(seq, "SELECT");
        if (first == seq.size()) return {};
        struct Member {
            size_t begin, end;
            std::optional<TopClause> top;
        };
        std::vector<Member> members;
        size_t begin = first;
        for (size_t i = first; i < seq.size(); ++i) {
            if (is(seq[i], "UNION") || is(seq[i], "EXCEPT") || is(seq[i], "INTERSECT")) {
                members.push_back({begin, i, std::nullopt});
                if (i + 1 < seq.size() && (is(seq[i + 1], "ALL") || is(seq[i + 1], "DISTINCT")))
                    ++i;
                begin = i + 1;
            }
        }
        const bool compound = !members.empty();
        size_t tail = seq.size();
        if (compound) {
            for (size_t i = begin; i + 1 < seq.size(); ++i)
                if (is(seq[i], "ORDER") && is(seq[i + 1], "BY")) {
                    tail = i;
                    break;
                }
        }
        members.push_back({begin, tail, std::nullopt});
        bool any = false;
        for (Member& m : members) {
            if (m.begin >= m.end || !is(seq[m.begin], "SELECT")) continue;
            auto top = readTop(seq, m.begin, m.end);
            if (RunError* e = std::get_if<RunError>(&top)) return *e;
            m.top = std::move(std::get<std::optional<TopClause>>(top));
            any = any || m.top.has_value();
        }
        if (!any) return {};

        Nodes out;
        out.reserve(seq.size() + 8);
        size_t done = 0;
        for (Member& m : members) {
            append(out, slice(seq, done, m.begin));
            done = m.end;
            if (!m.top) {
                append(out, slice(seq, m.begin, m.end));
                continue;
            }
            Nodes body = slice(seq, m.begin, m.top->begin);
            append(body, slice(seq, m.top->end, m.end));
            append(body, std::move(m.top->limit));
            if (!compound) {
                append(out, std::move(body));
            } else {
                const QString lead = std::exchange(body.front().lead, QString());
                out.push_back(word(QStringLiteral("SELECT"), lead));
                out.push_back(make(Kind::Operator, QStringLiteral("*"), QStringLiteral(" ")));
                out.push_back(word(QStringLiteral("FROM")));
                out.push_back(group(std::move(body), QStringLiteral(" ")));
            }
        }
        append(out, slice(seq, done, seq.size()));
        seq = std::move(out);
        return {};
    }

    static bool isTextCall(const Nodes& seq, size_t i) {
        static const QSet<QString> byName =
            setOf({"LTRIM", "RTRIM", "TRIM", "UPPER", "LOWER", "REPLACE", "CHAR", "NCHAR", "STUFF",
                   "REVERSE", "QUOTENAME"});
        static const QSet<QString> passing = setOf({"IFNULL", "COALESCE", "NULLIF", "MAX", "MIN"});
        const Node& n = seq[i];
        return n.textual || isAnyOf(n, byName) || (isAnyOf(n, passing) && seq[i + 1].holdsText);
    }

    // Whether the operand starting at i is a text: a literal, a text call or
    // a parenthesised text expression.
    static bool startsText(const Nodes& seq, size_t i) {
        if (i >= seq.size()) return false;
        const Node& n = seq[i];
        return ((n.kind == Kind::String || n.kind == Kind::Group) && n.textual) ||
               (isCall(seq, i) && isTextCall(seq, i));
    }

    // One operand: a literal, a (qualified) name, a call, a group or a
    // CASE ... END. Moves i past it.
    static bool readPiece(const Nodes& seq, size_t& i, bool& text) {
        if (i >= seq.size()) return false;
        const Node& n = seq[i];
        text = false;
        switch (n.kind) {
            case Kind::String:
            case Kind::Group:
                text = n.textual;
                ++i;
                return true;
            case Kind::Number:
                ++i;
                return true;
            case Kind::Operator:
                if (n.text != u"*" && n.text != u"?") return false;
                ++i;
                return true;
            case Kind::Name:
            case Kind::Word: {
                if (is(n, "CASE")) {
                    int depth = 0;
                    for (; i < seq.size(); ++i) {
                        if (is(seq[i], "CASE")) ++depth;
                        if (is(seq[i], "END") && --depth == 0) break;
                        if (depth == 1 && (is(seq[i], "THEN") || is(seq[i], "ELSE")) &&
                            startsText(seq, i + 1))
                            text = true;
                    }
                    if (i < seq.size()) ++i;
                    return true;
                }
                if (isAnyOf(n, clauseWords())) return false;
                if (isCall(seq, i)) {
                    text = isTextCall(seq, i);
                    i += 2;
                    return true;
                }
                ++i;
                while (i + 1 < seq.size() && seq[i].kind == Kind::Dot &&
                       (isNamePart(seq[i + 1]) || isOp(seq[i + 1], "*")))
                    i += 2;
                if (isCall(seq, i - 1) && i < seq.size()) ++i;
                return true;
            }
            default:
                return false;
        }
    }

    static bool isNumberCall(const Nodes& seq, size_t i) {
        // Calls that yield a number whatever their arguments (after their
        // renaming above).
        static const QSet<QString> byName =
            setOf({"COUNT", "SUM", "AVG", "ABS", "ROUND", "FLOOR", "CEILING", "KL_LEN", "KL_VAL",
                   "KL_CHARINDEX", "KL_DATEPART", "KL_DATEDIFF", "KL_ISDATE", "KL_ISNUMERIC",
                   "LAST_INSERT_ROWID"});
        return isAnyOf(seq[i], byName);
    }

    struct Term {
        size_t begin, end;
        bool text, number;
    };
    struct Chain {
        size_t begin = 0, end = 0;
        std::vector<Term> terms;
        std::vector<size_t> plus;
        bool mixed = false;    // "-", "&", "|" or "^" among the terms
        bool bitwise = false;  // "&", "|" or "^" among them
        bool anyText() const {
            for (const Term& t : terms)
                if (t.text) return true;
            return false;
        }
        bool anyNumber() const {
            for (const Term& t : terms)
                if (t.number) return true;
            return false;
        }
        // Every + joins texts: one operand is visibly a text, none a number.
        bool text() const { return !mixed && anyText() && !anyNumber(); }
        // How many leading terms kl_plus takes (none, or at least two). A
        // visible text next to a visible number is SQL Server's conversion
        // of the text: the whole chain. Otherwise the leading terms joined
        // by + of which none is visibly a number: SQL Server adds left to
        // right, so once a number or a "-" has entered the sum the rest is
        // arithmetic.
        size_t runTimeRun(const Nodes& seq) const {
            if (bitwise || plus.empty() || text()) return 0;
            if (!mixed && anyText()) return terms.size();
            size_t k = 0;
            while (k < terms.size() && !terms[k].number &&
                   (k == 0 || isOp(seq[terms[k - 1].end], "+")))
                ++k;
            return k >= 2 ? k : 0;
        }
    };

    // Operands joined by binary + and - (and the bit operators SQL Server
    // ranks with them), starting at i.
    static Chain readChain(const Nodes& seq, size_t& i) {
        Chain c;
        c.begin = i;
        for (;;) {
            const size_t termBegin = i;
            while (i < seq.size() && (isOp(seq[i], "+") || isOp(seq[i], "-") || isOp(seq[i], "~")))
                ++i;
            bool text = false;
            if (!readPiece(seq, i, text)) {
                i = termBegin;
                if (!c.plus.empty() && c.plus.back() + 1 == termBegin) c.plus.pop_back();
                break;
            }
            const bool hasSign = seq[termBegin].kind == Kind::Operator && i > termBegin + 1;
            const bool numeric = (seq[termBegin].kind == Kind::Number && i == termBegin + 1) ||
                                 (isCall(seq, termBegin) && isNumberCall(seq, termBegin));
            bool compound = false;
            while (i < seq.size() &&
                   (isOp(seq[i], "*") || isOp(seq[i], "/") || isOp(seq[i], "%"))) {
                size_t next = i + 1;
                while (next < seq.size() && (isOp(seq[next], "+") || isOp(seq[next], "-"))) ++next;
                bool ignored = false;
                if (!readPiece(seq, next, ignored)) break;
                i = next;
                compound = true;
            }
            c.terms.push_back(
                {termBegin, i, text && !compound && !hasSign, compound || hasSign || numeric});
            c.end = i;
            if (i < seq.size() && isOp(seq[i], "+")) {
                c.plus.push_back(i++);
            } else if (i < seq.size() && (isOp(seq[i], "-") || isOp(seq[i], "&") ||
                                          isOp(seq[i], "|") || isOp(seq[i], "^"))) {
                c.mixed = true;
                c.bitwise = c.bitwise || !isOp(seq[i], "-");
                ++i;
            } else {
                break;
            }
        }
        i = std::max(i, c.end);
        return c;
    }

    // SQL Server's + concatenates when its operands are texts and adds as
    // soon as one is a number, but the types of columns are not known here.
    // The rule: in a chain of operands joined by +, every + becomes || when
    // one operand is visibly a text (a literal, a call yielding text such as
    // RTRIM or CONVERT(VARCHAR, ...), a CASE whose results are literals, or a
    // parenthesised text expression), none is visibly a number and the chain
    // has no -, &, | or ^. Otherwise + stays an addition where an operand is
    // visibly a number, and operands of unknown type go to kl_plus, which
    // decides on the values: "a + b + 1" -> "kl_plus(a, b) COLLATE KL_CI + 1",
    // "'Nro ' + 1" -> "kl_plus('Nro ', 1) COLLATE KL_CI" (SQL Server's error
    // 245).
    static TextShape joinTexts(Nodes& seq) {
        std::vector<Chain> chains;
        bool calls = false;
        for (size_t i = 0; i < seq.size();) {
            const size_t start = i;
            Chain c = readChain(seq, i);
            if (c.terms.empty()) {
                i = start + 1;
                continue;
            }
            if (!c.plus.empty() && c.text())
                for (size_t p : c.plus) seq[p].text = QStringLiteral("||");
            calls = calls || c.runTimeRun(seq) > 0;
            chains.push_back(std::move(c));
        }
        TextShape shape;
        for (const Chain& c : chains) shape.part = shape.part || c.text();
        shape.whole = chains.size() == 1 && chains[0].begin == 0 && chains[0].end == seq.size() &&
                      chains[0].text();
        if (!calls) return shape;

        Nodes out;
        out.reserve(seq.size());
        size_t done = 0;
        for (const Chain& c : chains) {
            const size_t run = c.runTimeRun(seq);
            if (run == 0) continue;
            append(out, slice(seq, done, c.terms[0].begin));
            std::vector<Nodes> operands;
            for (size_t k = 0; k < run; ++k)
                operands.push_back(slice(seq, c.terms[k].begin, c.terms[k].end));
            const QString lead = std::exchange(operands.front().front().lead, QString());
            for (size_t k = 1; k < run; ++k) operands[k].front().lead = QStringLiteral(" ");
            out.push_back(word(QStringLiteral("kl_plus"), lead));
            out.push_back(group(joinWithCommas(std::move(operands))));
            // A joined text compares as the database's texts do.
            out.push_back(word(QStringLiteral("COLLATE")));
            out.push_back(word(QString::fromLatin1(kCollation)));
            done = c.terms[run - 1].end;
        }
        append(out, slice(seq, done, seq.size()));
        seq = std::move(out);
        return shape;
    }
};

// ---------------------------------------------------------------- statements

bool isPlainIdentifier(const QString& text) {
    if (text.isEmpty() || !text.front().isLetter()) return false;
    for (QChar c : text)
        if (!c.isLetterOrNumber() && c != u'_') return false;
    return true;
}

const QSet<QString>& constraintWords() {
    static const QSet<QString> words =
        setOf({"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN"});
    return words;
}

// A column definition or table constraint of CREATE/ALTER TABLE without
// what SQLite does not know: CLUSTERED, index options WITH (...), filegroups
// ON [PRIMARY]. Text columns get KL_CI, so they compare as the rest do.
Nodes cleanDefinition(Nodes item) {
    static const QSet<QString> clustering = setOf({"CLUSTERED", "NONCLUSTERED"});
    static const QSet<QString> actions = setOf({"DELETE", "UPDATE", "CONFLICT"});
    Nodes out;
    bool collated = false;
    for (size_t i = 0; i < item.size(); ++i) {
        Node& n = item[i];
        if (isAnyOf(n, clustering)) continue;
        if (is(n, "WITH") && i + 1 < item.size() && item[i + 1].kind == Kind::Group) {
            ++i;
            continue;
        }
        if (is(n, "ON") && i + 1 < item.size() && isNamePart(item[i + 1]) &&
            !isAnyOf(item[i + 1], actions)) {
            ++i;
            continue;
        }
        collated = collated || is(n, "COLLATE");
        out.push_back(std::move(n));
    }
    const bool column = !out.empty() && isNamePart(out[0]) && !isAnyOf(out[0], constraintWords());
    if (!column || out.size() < 2 || !isNamePart(out[1])) return out;
    // The provider reads sizes from the declared type: "varchar(20)", never
    // "[varchar](20)".
    if (isPlainIdentifier(out[1].text)) out[1].kind = Kind::Word;
    if (!collated && isTextTypeName(out[1])) {
        const size_t after = out.size() > 2 && out[2].kind == Kind::Group ? 3 : 2;
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(after),
                   {word(QStringLiteral("COLLATE")), word(QStringLiteral("KL_CI"))});
    }
    return out;
}

class StatementAdapter {
  public:
    explicit StatementAdapter(const ProcedureLookup& isProcedure) : isProcedure_(isProcedure) {}

    StepResult add(Nodes nodes) {
        const Node& first = nodes.front();
        if (is(first, "SET")) return sessionOption(nodes);
        if (is(first, "BEGIN") || is(first, "COMMIT") || is(first, "ROLLBACK"))
            return transaction(nodes);
        if (is(first, "EXEC") || is(first, "EXECUTE")) return call(nodes, 1);
        if (is(first, "IF")) return conditional(std::move(nodes));
        if (is(first, "ALTER")) return alterTable(std::move(nodes));
        if (is(first, "RAISERROR")) return raiseError(std::move(nodes));
        if (isBareCall(nodes)) return call(nodes, 0);
        if (StepResult e = prepare(nodes)) return e;
        return emit(std::move(nodes));
    }

    std::vector<Statement> take() { return std::move(out_); }

  private:
    StepResult emit(Nodes nodes) {
        const qsizetype at = nodes.front().pos;
        if (StepResult e = rewriter_.rewrite(nodes)) return e;
        if (nodes.empty())  // nothing but a hint or an owner ("dbo.")
            return syntaxError(
                QStringLiteral("Sintaxis incorrecta cerca de la posición %1.").arg(position(at)));
        out_.push_back(Statement{rendered(nodes), {}, {}});
        return {};
    }

    static RunError unsupported(const QString& what, const Node& at) {
        return syntaxError(QStringLiteral("%1 no se admite en la base de datos embebida (posición "
                                          "%2).")
                               .arg(what, position(at.pos)));
    }

    // Session options mean nothing to the embedded engine.
    static StepResult sessionOption(const Nodes& nodes) {
        if (selfDelimitedLength(nodes, 0) == nodes.size()) return {};
        return unsupported(QStringLiteral("Esta sentencia SET"), nodes.front());
    }

    StepResult transaction(const Nodes& nodes) {
        if (selfDelimitedLength(nodes, 0) != nodes.size())
            return unsupported(
                is(nodes.front(), "BEGIN")
                    ? QStringLiteral("Un bloque BEGIN ... END")
                    : QStringLiteral("Esta forma de ") + nodes.front().text.toUpper(),
                nodes.front());
        out_.push_back(Statement{nodes.front().text.toUpper(), {}, {}});
        return {};
    }

    bool isBareCall(const Nodes& nodes) const {
        static const QSet<QString> notProcedures =
            setOf({"SELECT", "WITH",   "GRANT",  "REVOKE", "DENY",   "DECLARE", "PRINT",
                   "USE",    "END",    "ELSE",   "WHILE",  "RETURN", "MERGE",   "SAVE",
                   "VALUES", "INSERT", "UPDATE", "DELETE", "CREATE", "DROP",    "TRUNCATE"});
        if (!isProcedure_ || !isNamePart(nodes.front()) || isAnyOf(nodes.front(), notProcedures))
            return false;
        size_t i = 0;
        const std::optional<QString> name = readObjectName(nodes, i);
        return name && isProcedure_(*name);
    }

    // "[EXEC] proc 'a', 2, NULL": the arguments' values, literals unquoted.
    StepResult call(const Nodes& nodes, size_t nameAt) {
        size_t i = nameAt;
        const std::optional<QString> name = readObjectName(nodes, i);
        if (!name)
            return syntaxError(QStringLiteral("Falta el nombre del procedimiento (posición %1).")
                                   .arg(position(nodes.front().pos)));
        Statement s;
        s.procedure = *name;
        while (i < nodes.size()) {
            const Node& n = nodes[i];
            QString value;
            if ((isOp(n, "-") || isOp(n, "+")) && i + 1 < nodes.size() &&
                nodes[i + 1].kind == Kind::Number) {
                value = (n.text == u"-" ? n.text : QString()) + nodes[++i].text;
            } else if (n.kind == Kind::String || n.kind == Kind::Number || n.kind == Kind::Name) {
                value = n.text;
            } else if (is(n, "NULL")) {
                value = QString();
            } else if (n.kind == Kind::Word && !n.text.startsWith(u'@') && !is(n, "OUTPUT") &&
                       !is(n, "DEFAULT")) {
                value = n.text;  // SQL Server takes a bare word as a text argument
            } else {
                return syntaxError(
                    QStringLiteral("Argumento no admitido en la llamada a %1 (posición %2): sólo "
                                   "se admiten valores.")
                        .arg(*name, position(n.pos)));
            }
            s.arguments.push_back(value);
            ++i;
            if (i == nodes.size()) break;
            if (nodes[i].kind != Kind::Comma || i + 1 == nodes.size())
                return syntaxError(QStringLiteral("Sintaxis incorrecta en la llamada a %1 cerca de "
                                                  "la posición %2.")
                                       .arg(*name, position(nodes[i].pos)));
            ++i;
        }
        out_.push_back(std::move(s));
        return {};
    }

    // IF <condition> <INSERT | UPDATE | DELETE>: the condition joins the
    // statement's own WHERE, so it is checked in the same step.
    StepResult conditional(Nodes nodes) {
        static const QSet<QString> dml = setOf({"INSERT", "UPDATE", "DELETE"});
        size_t body = 1;
        while (body < nodes.size() && !isAnyOf(nodes[body], statementWords())) ++body;
        const size_t elseAt = indexOfWord(nodes, "ELSE");
        if (elseAt < nodes.size()) return unsupported(QStringLiteral("IF ... ELSE"), nodes[elseAt]);
        if (body == 1 || body == nodes.size())
            return syntaxError(
                QStringLiteral("Falta la condición o la sentencia del IF (posición %1).")
                    .arg(position(nodes.front().pos)));
        if (!isAnyOf(nodes[body], dml))
            return unsupported(QStringLiteral("IF ante ") + nodes[body].text.toUpper(),
                               nodes[body]);
        Nodes condition = slice(nodes, 1, body);
        Nodes stmt = slice(nodes, body, nodes.size());
        if (StepResult e = rewriter_.rewrite(condition)) return e;
        if (condition.empty())
            return syntaxError(QStringLiteral("Falta la condición del IF (posición %1).")
                                   .arg(position(nodes.front().pos)));
        if (StepResult e = prepare(stmt)) return e;
        if (StepResult e = rewriter_.rewrite(stmt)) return e;
        condition.front().lead.clear();
        Node test = group(std::move(condition), QStringLiteral(" "));

        Nodes out;
        if (is(stmt.front(), "INSERT")) {
            const size_t values = indexOfWord(stmt, "VALUES");
            const size_t select = indexOfWord(stmt, "SELECT");
            if (values + 2 == stmt.size() && stmt[values + 1].kind == Kind::Group) {
                out = slice(stmt, 0, values);
                out.push_back(word(QStringLiteral("SELECT"), stmt[values].lead));
                Nodes row = std::move(stmt[values + 1].children);
                if (!row.empty()) row.front().lead = QStringLiteral(" ");
                append(out, std::move(row));
            } else if (select < stmt.size() && select < values) {
                out = slice(stmt, 0, select);
                out.push_back(word(QStringLiteral("SELECT"), stmt[select].lead));
                out.push_back(make(Kind::Operator, QStringLiteral("*"), QStringLiteral(" ")));
                out.push_back(word(QStringLiteral("FROM")));
                Nodes query = slice(stmt, select, stmt.size());
                query.front().lead.clear();
                out.push_back(group(std::move(query), QStringLiteral(" ")));
            } else {
                return unsupported(QStringLiteral("Este INSERT después de IF"), stmt.front());
            }
            out.push_back(word(QStringLiteral("WHERE")));
            out.push_back(std::move(test));
        } else {
            const size_t where = indexOfWord(stmt, "WHERE");
            out = slice(stmt, 0, std::min(where + 1, stmt.size()));
            if (where == stmt.size()) out.push_back(word(QStringLiteral("WHERE")));
            out.push_back(std::move(test));
            if (where < stmt.size()) {
                out.push_back(word(QStringLiteral("AND")));
                Nodes rest = slice(stmt, where + 1, stmt.size());
                if (!rest.empty()) rest.front().lead.clear();
                out.push_back(group(std::move(rest), QStringLiteral(" ")));
            }
        }
        out_.push_back(Statement{rendered(out), {}, {}});
        return {};
    }

    // ALTER TABLE t ADD a ..., b ...: SQLite adds one column per statement.
    StepResult alterTable(Nodes nodes) {
        size_t i = 2;
        if (nodes.size() < 3 || !is(nodes[1], "TABLE") || !readObjectName(nodes, i) ||
            i >= nodes.size())
            return emit(std::move(nodes));
        const Node& action = nodes[i];
        if (is(action, "ALTER")) return unsupported(QStringLiteral("ALTER COLUMN"), action);
        if (is(action, "DROP") && i + 1 < nodes.size() && !is(nodes[i + 1], "COLUMN"))
            return unsupported(QStringLiteral("DROP ") + nodes[i + 1].text.toUpper(), action);
        if (!is(action, "ADD")) return emit(std::move(nodes));

        const Nodes table(nodes.begin() + 2, nodes.begin() + static_cast<std::ptrdiff_t>(i));
        const Nodes prefix(nodes.begin(), nodes.begin() + static_cast<std::ptrdiff_t>(i + 1));
        std::vector<Nodes> items = splitAtCommas(slice(nodes, i + 1, nodes.size()));
        if (items.empty())
            return syntaxError(QStringLiteral("Falta la columna de ALTER TABLE ... ADD (posición "
                                              "%1).")
                                   .arg(position(action.pos)));
        for (Nodes& item : items) {
            if (item.empty())
                return syntaxError(QStringLiteral("Falta una columna de ALTER TABLE ... ADD "
                                                  "(posición %1).")
                                       .arg(position(action.pos)));
            if (is(item.front(), "COLUMN")) item.erase(item.begin());
            if (item.empty() || isAnyOf(item.front(), constraintWords()))
                return unsupported(QStringLiteral("Agregar restricciones con ALTER TABLE"), action);
            Nodes column;
            bool notNull = false, hasDefault = false, withValues = false;
            for (size_t k = 0; k < item.size(); ++k) {
                Node& n = item[k];
                if (is(n, "CONSTRAINT") && k + 1 < item.size()) {
                    ++k;  // SQLite keeps no names for column defaults
                    continue;
                }
                if (is(n, "WITH") && k + 1 < item.size() && is(item[k + 1], "VALUES")) {
                    withValues = true;
                    ++k;
                    continue;
                }
                if (is(n, "IDENTITY"))
                    return unsupported(QStringLiteral("Agregar una columna IDENTITY"), n);
                notNull =
                    notNull || (is(n, "NOT") && k + 1 < item.size() && is(item[k + 1], "NULL"));
                hasDefault = hasDefault || is(n, "DEFAULT");
                column.push_back(std::move(n));
            }
            if (column.empty())
                return syntaxError(QStringLiteral("Falta una columna de ALTER TABLE ... ADD "
                                                  "(posición %1).")
                                       .arg(position(action.pos)));
            const Node columnName = column.front();
            Nodes stmt = prefix;
            stmt.push_back(word(QStringLiteral("COLUMN")));
            append(stmt, cleanDefinition(std::move(column)));
            if (StepResult e = emit(std::move(stmt))) return e;
            // SQL Server leaves the existing rows NULL in a new nullable column
            // unless told WITH VALUES; SQLite would show them the default.
            if (hasDefault && !notNull && !withValues) {
                Nodes reset{word(QStringLiteral("UPDATE"), QString())};
                append(reset, Nodes(table));
                reset.push_back(word(QStringLiteral("SET")));
                reset.push_back(columnName);
                reset.back().lead = QStringLiteral(" ");
                reset.push_back(make(Kind::Operator, QStringLiteral("="), QStringLiteral(" ")));
                reset.push_back(word(QStringLiteral("NULL")));
                if (StepResult e = emit(std::move(reset))) return e;
            }
        }
        return {};
    }

    StepResult raiseError(Nodes nodes) {
        if (nodes.size() != 2 || nodes[1].kind != Kind::Group)
            return unsupported(QStringLiteral("Esta forma de RAISERROR"), nodes.front());
        std::vector<Nodes> parts = splitAtCommas(std::move(nodes[1].children));
        if (parts.empty() || parts.front().empty())
            return syntaxError(QStringLiteral("Falta el mensaje de RAISERROR (posición %1).")
                                   .arg(position(nodes.front().pos)));
        Nodes stmt{word(QStringLiteral("SELECT"), QString()),
                   word(QStringLiteral("kl_error"), QStringLiteral(" ")),
                   group(std::move(parts.front()))};
        return emit(std::move(stmt));
    }

    // Statement forms SQLite spells differently; the rest is expression work.
    static StepResult prepare(Nodes& nodes) {
        if (is(nodes.front(), "TRUNCATE") && nodes.size() > 1 && is(nodes[1], "TABLE")) {
            nodes[0].text = QStringLiteral("DELETE");
            nodes[1].text = QStringLiteral("FROM");
        } else if (is(nodes.front(), "DELETE") && (nodes.size() < 2 || !is(nodes[1], "FROM"))) {
            nodes.insert(nodes.begin() + 1, word(QStringLiteral("FROM")));
        } else if (is(nodes.front(), "CREATE")) {
            return prepareCreate(nodes);
        }
        return {};
    }

    static StepResult prepareCreate(Nodes& nodes) {
        static const QSet<QString> clustering = setOf({"CLUSTERED", "NONCLUSTERED"});
        static const QSet<QString> storage = setOf({"ON", "TEXTIMAGE_ON"});
        size_t i = 2;
        if (nodes.size() < 2 || !is(nodes[1], "TABLE") || !readObjectName(nodes, i) ||
            i >= nodes.size() || nodes[i].kind != Kind::Group) {
            Nodes kept;
            for (Node& n : nodes)
                if (!isAnyOf(n, clustering)) kept.push_back(std::move(n));
            nodes = std::move(kept);
            return {};
        }
        // "ON [PRIMARY]" / "TEXTIMAGE_ON [PRIMARY]" after the definitions.
        Nodes tail;
        for (size_t k = i + 1; k < nodes.size(); ++k) {
            if (isAnyOf(nodes[k], storage) && k + 1 < nodes.size() && isNamePart(nodes[k + 1]))
                ++k;
            else
                tail.push_back(std::move(nodes[k]));
        }
        nodes.resize(i + 1);
        append(nodes, std::move(tail));

        std::vector<Nodes> items = splitAtCommas(std::move(nodes[i].children));
        for (Nodes& item : items) item = cleanDefinition(std::move(item));
        if (StepResult e = identityAsRowid(items, nodes[i])) return e;
        nodes[i].children = joinWithCommas(std::move(items));
        return {};
    }

    // SQLite numbers rows by itself only through the table's INTEGER PRIMARY
    // KEY, so an IDENTITY column becomes that key: it must be the primary
    // key (or the table must have none, identity values being unique anyway).
    static StepResult identityAsRowid(std::vector<Nodes>& items, const Node& at) {
        auto primaryKeyAt = [](const Nodes& item) {
            for (size_t k = 0; k + 1 < item.size(); ++k)
                if (is(item[k], "PRIMARY") && is(item[k + 1], "KEY")) return k;
            return item.size();
        };
        size_t identity = items.size();
        for (size_t k = 0; k < items.size(); ++k) {
            const Nodes& item = items[k];
            if (!item.empty() && !isAnyOf(item.front(), constraintWords()) &&
                indexOfWord(item, "IDENTITY") < item.size()) {
                if (identity < items.size())
                    return syntaxError(QStringLiteral("Sólo puede haber una columna IDENTITY por "
                                                      "tabla (posición %1).")
                                           .arg(position(at.pos)));
                identity = k;
            }
        }
        if (identity == items.size()) return {};
        const QString column = items[identity].front().text;
        size_t tableKey = items.size();
        for (size_t k = 0; k < items.size(); ++k) {
            const Nodes& item = items[k];
            const size_t pk = primaryKeyAt(item);
            if (k == identity || pk == item.size()) continue;
            const bool onIdentity =
                isAnyOf(item.front(), constraintWords()) && pk + 2 < item.size() &&
                item[pk + 2].kind == Kind::Group && item[pk + 2].children.size() >= 1 &&
                isNamePart(item[pk + 2].children.front()) &&
                item[pk + 2].children.front().text.compare(column, Qt::CaseInsensitive) == 0 &&
                (item[pk + 2].children.size() == 1 ||
                 (item[pk + 2].children.size() == 2 &&
                  (is(item[pk + 2].children[1], "ASC") || is(item[pk + 2].children[1], "DESC"))));
            if (!onIdentity)
                return unsupported(QStringLiteral("Una columna IDENTITY que no es la clave "
                                                  "primaria"),
                                   at);
            tableKey = k;
        }
        Nodes& item = items[identity];
        Nodes rebuilt{item.front(), word(QStringLiteral("INTEGER")),
                      word(QStringLiteral("PRIMARY")), word(QStringLiteral("KEY")),
                      word(QStringLiteral("AUTOINCREMENT"))};
        size_t k = item.size() > 2 && item[2].kind == Kind::Group ? 3 : 2;  // past the type
        for (; k < item.size(); ++k) {
            if (is(item[k], "IDENTITY")) {
                if (k + 1 < item.size() && item[k + 1].kind == Kind::Group) ++k;
            } else if (is(item[k], "CONSTRAINT") && k + 2 < item.size() &&
                       is(item[k + 2], "PRIMARY")) {
                ++k;
            } else if (is(item[k], "PRIMARY") && k + 1 < item.size() && is(item[k + 1], "KEY")) {
                ++k;
                if (k + 1 < item.size() && (is(item[k + 1], "ASC") || is(item[k + 1], "DESC"))) ++k;
            } else if (is(item[k], "NOT") && k + 2 < item.size() && is(item[k + 1], "FOR") &&
                       is(item[k + 2], "REPLICATION")) {
                k += 2;
            } else {
                rebuilt.push_back(std::move(item[k]));
            }
        }
        item = std::move(rebuilt);
        if (tableKey < items.size())
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(tableKey));
        return {};
    }

    const ProcedureLookup& isProcedure_;
    Rewriter rewriter_;
    std::vector<Statement> out_;
};

std::variant<std::vector<Nodes>, RunError> statementsOf(QStringView text) {
    auto lexed = Lexer(text).run();
    if (RunError* e = std::get_if<RunError>(&lexed)) return *e;
    auto tree = nest(std::move(std::get<Nodes>(lexed)));
    if (RunError* e = std::get_if<RunError>(&tree)) return *e;
    return BatchSplitter().split(std::move(std::get<Nodes>(tree)));
}

}  // namespace

std::variant<std::vector<Statement>, RunError> adapt(QStringView sqlServerText,
                                                     const ProcedureLookup& isProcedure) {
    auto statements = statementsOf(sqlServerText);
    if (RunError* e = std::get_if<RunError>(&statements)) return *e;
    StatementAdapter adapter(isProcedure);
    for (Nodes& s : std::get<std::vector<Nodes>>(statements))
        if (StepResult e = adapter.add(std::move(s))) return *e;
    return adapter.take();
}

std::optional<QString> singleTableOf(QStringView sqlServerText) {
    static const QSet<QString> notAlias =
        setOf({"WHERE", "ORDER", "WITH", "GROUP", "HAVING", "UNION", "EXCEPT", "INTERSECT", "INNER",
               "LEFT", "RIGHT", "FULL", "CROSS", "JOIN", "OUTER", "FOR", "OPTION"});
    static const QSet<QString> notSingle = setOf(
        {"GROUP", "HAVING", "UNION", "EXCEPT", "INTERSECT", "INTO", "FOR", "COMPUTE", "OPTION"});
    auto statements = statementsOf(sqlServerText);
    const auto* list = std::get_if<std::vector<Nodes>>(&statements);
    if (!list || list->size() != 1) return std::nullopt;
    const Nodes& s = list->front();
    size_t i = 0;
    if (!is(s[i], "SELECT")) return std::nullopt;
    ++i;
    if (i < s.size() && is(s[i], "ALL")) ++i;
    if (i < s.size() && is(s[i], "TOP")) {
        if (++i >= s.size() || (s[i].kind != Kind::Number && s[i].kind != Kind::Group))
            return std::nullopt;
        if (++i < s.size() && is(s[i], "PERCENT")) ++i;
    }
    size_t from = i;
    for (; from < s.size() && !is(s[from], "FROM"); ++from)
        if (is(s[from], "DISTINCT") || is(s[from], "INTO")) return std::nullopt;
    if (from == i || from == s.size()) return std::nullopt;
    size_t j = from + 1;
    const std::optional<QString> table = readObjectName(s, j);
    if (!table) return std::nullopt;
    if (j < s.size() && is(s[j], "AS")) {
        if (++j >= s.size() || !isNamePart(s[j])) return std::nullopt;
        ++j;
    } else if (j < s.size() && isNamePart(s[j]) && !isAnyOf(s[j], notAlias)) {
        ++j;
    }
    if (j + 1 < s.size() && is(s[j], "WITH") && isHintList(s[j + 1]))
        j += 2;
    else if (j < s.size() && isBareHintList(s[j]))
        ++j;
    if (j < s.size() && !is(s[j], "WHERE") && !is(s[j], "ORDER")) return std::nullopt;
    for (; j < s.size(); ++j)
        if (isAnyOf(s[j], notSingle)) return std::nullopt;
    return table;
}

}  // namespace kl::ado::sqlite
