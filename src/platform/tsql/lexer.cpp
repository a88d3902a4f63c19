#include "platform/tsql/lexer.h"

#include <QDate>
#include <QTime>

namespace kl::tsql {

namespace {

// Deeper nesting is refused instead of recursed into; SQLite's own parser
// gives up far earlier anyway.
constexpr size_t kMaxNesting = 200;

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

}  // namespace

std::variant<Nodes, RunError> tokenTree(QStringView text) {
    auto lexed = Lexer(text).run();
    if (RunError* e = std::get_if<RunError>(&lexed)) return *e;
    return nest(std::move(std::get<Nodes>(lexed)));
}

}  // namespace kl::tsql
