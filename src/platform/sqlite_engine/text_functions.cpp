// The text functions: LEN, CHARINDEX, LEFT, RIGHT, REPLICATE, SPACE, UPPER,
// LOWER, LIKE with SQL Server's wildcards, and kl_error (RAISERROR).

#include "platform/sqlite_engine/functions.h"

#include "platform/collation.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <optional>

namespace kl::ado::sqlite::functions {

void klLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) return sqlite3_result_null(ctx);
    QStringView text = textOf(argv[0]);
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ') --n;
    sqlite3_result_int64(ctx, n);
}

void klCharindex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1]) || (argc > 2 && isNull(argv[2])))
        return sqlite3_result_null(ctx);
    const QString needle = textOf(argv[0]);
    const QString text = textOf(argv[1]);
    const qint64 start = argc > 2 ? std::max<qint64>(1, sqlite3_value_int64(argv[2])) : 1;
    if (needle.isEmpty()) return sqlite3_result_int(ctx, 0);
    const qsizetype at = collation::indexOfCi(needle, text, start - 1);
    sqlite3_result_int64(ctx, at < 0 ? 0 : at + 1);
}

namespace {

bool lengthArgument(sqlite3_context* ctx, sqlite3_value* v, const char* function, qint64& out) {
    out = sqlite3_value_int64(v);
    if (out >= 0) return true;
    resultError(ctx, 536,
                QStringLiteral("Se pasó un parámetro de longitud no válido a la función %1.")
                    .arg(QLatin1String(function)));
    return false;
}

}  // namespace

// SUBSTRING(x, start, length): a start below 1 counts the positions before
// the text (SUBSTRING('abc', 0, 2) is 'a'), never from its end.
void klSubstring(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1]) || isNull(argv[2])) return sqlite3_result_null(ctx);
    qint64 length = 0;
    if (!lengthArgument(ctx, argv[2], "substring", length)) return;
    const qint64 start = sqlite3_value_int64(argv[1]);
    const qint64 first = std::max<qint64>(start, 1);
    const qint64 end = start > std::numeric_limits<qint64>::max() - length
                           ? std::numeric_limits<qint64>::max()
                           : start + length;
    if (end <= first) return resultText(ctx, QString());
    resultText(ctx, textOf(argv[0]).mid(first - 1, end - first));
}

// REPLACE(x, find, with): `find` is sought as the collation compares
// letters (REPLACE('abcABC', 'b', 'x') is 'axcAxC').
void klReplace(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1]) || isNull(argv[2])) return sqlite3_result_null(ctx);
    const QString text = textOf(argv[0]);
    const QString find = textOf(argv[1]);
    if (find.isEmpty()) return resultText(ctx, text);
    const QString with = textOf(argv[2]);
    const QString folded = collation::foldCase(text);
    const QString foldedFind = collation::foldCase(find);
    QString out;
    qsizetype from = 0;
    for (qsizetype at = folded.indexOf(foldedFind); at >= 0;
         at = folded.indexOf(foldedFind, from)) {
        out += QStringView(text).mid(from, at - from);
        out += with;
        from = at + find.size();
    }
    out += QStringView(text).mid(from);
    resultText(ctx, out);
}

void klLeft(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1])) return sqlite3_result_null(ctx);
    qint64 n = 0;
    if (!lengthArgument(ctx, argv[1], "LEFT", n)) return;
    resultText(ctx, textOf(argv[0]).left(n));
}

void klRight(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1])) return sqlite3_result_null(ctx);
    qint64 n = 0;
    if (!lengthArgument(ctx, argv[1], "RIGHT", n)) return;
    resultText(ctx, textOf(argv[0]).right(n));
}

void klReplicate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1])) return sqlite3_result_null(ctx);
    const qint64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) return sqlite3_result_null(ctx);
    const QString text = textOf(argv[0]);
    if (text.size() * n > 8000) return sqlite3_result_error_toobig(ctx);
    resultText(ctx, text.repeated(n));
}

void klSpace(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) return sqlite3_result_null(ctx);
    const qint64 n = sqlite3_value_int64(argv[0]);
    if (n < 0) return sqlite3_result_null(ctx);
    if (n > 8000) return sqlite3_result_error_toobig(ctx);
    resultText(ctx, QString(n, u' '));
}

void klUpper(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) return sqlite3_result_null(ctx);
    resultText(ctx, textOf(argv[0]).toUpper());
}

void klLower(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNull(argv[0])) return sqlite3_result_null(ctx);
    resultText(ctx, textOf(argv[0]).toLower());
}

// like(pattern, text[, escape]): SQLite hands the pattern first.
void klLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (isNull(argv[0]) || isNull(argv[1]) || (argc > 2 && isNull(argv[2])))
        return sqlite3_result_null(ctx);
    std::optional<QChar> escape;
    if (argc > 2) {
        const QString e = textOf(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e.at(0);
    }
    // The value's trailing blanks do not count ('abc  ' LIKE 'abc').
    const QString pattern = textOf(argv[0]);
    const QString text = textOf(argv[1]);
    bool matched = collation::likeMatch(pattern, text, escape);
    if (!matched && text.endsWith(u' ')) {
        qsizetype n = text.size();
        while (n > 0 && text[n - 1] == u' ') --n;
        matched = collation::likeMatch(pattern, QStringView(text).left(n), escape);
    }
    sqlite3_result_int(ctx, matched);
}

void klError(sqlite3_context* ctx, int, sqlite3_value** argv) {
    resultError(ctx, native::UserError, isNull(argv[0]) ? QString() : textOf(argv[0]));
}

}  // namespace kl::ado::sqlite::functions
