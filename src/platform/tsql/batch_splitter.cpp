#include "platform/tsql/batch_splitter.h"

namespace kl::tsql {

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

namespace {

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

}  // namespace

std::vector<Nodes> splitBatch(Nodes tree) {
    return BatchSplitter().split(std::move(tree));
}

}  // namespace kl::tsql
