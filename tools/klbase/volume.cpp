#include "volume.h"

#include "chart.h"
#include "company.h"
#include "fiscal_year.h"
#include "national_tables.h"
#include "random.h"

#include "platform/sqlite_engine/stored_forms.h"

#include <QDateTime>

#include <algorithm>
#include <functional>

namespace kl::klbase {

namespace {

const QString kSource = QStringLiteral("klbase");

// The levels that have digits, with as many children per parent as each
// level's digits allow (1 to 10^d - 1).
struct Level {
    int digits;
    std::int64_t maxChildren;
    std::int64_t children;
};

std::vector<Level> levels() {
    std::vector<Level> out;
    for (int digits : kDigitosNivel) {
        if (digits == 0) continue;
        std::int64_t max = 1;
        for (int i = 0; i < digits; ++i) max *= 10;
        out.push_back({digits, max - 1, 0});
    }
    return out;
}

std::int64_t capacity(const std::vector<Level>& shape) {
    std::int64_t total = 0, width = 1;
    for (const Level& level : shape) {
        width *= level.children;
        total += width;
    }
    return total;
}

// A tree shape with room for `accounts` codes: starts from a modest fan-out
// and widens the deepest levels first.
std::vector<Level> shapeFor(std::int64_t accounts) {
    std::vector<Level> shape = levels();
    const std::int64_t start[] = {5, 4, 10, 10, 20};
    for (size_t i = 0; i < shape.size(); ++i)
        shape[i].children = std::min(shape[i].maxChildren, i < std::size(start) ? start[i] : 10);
    while (capacity(shape) < accounts) {
        auto level = std::find_if(shape.rbegin(), shape.rend(),
                                  [](const Level& l) { return l.children < l.maxChildren; });
        if (level == shape.rend()) break;
        level->children = std::min(level->maxChildren, level->children * 2);
    }
    return shape;
}

std::int64_t maxAccounts() {
    std::vector<Level> shape = levels();
    for (Level& level : shape) level.children = level.maxChildren;
    return capacity(shape);
}

// Depth-first, so every heading comes before the accounts under it.
std::vector<Account> generateChart(std::int64_t accounts) {
    const std::vector<Level> shape = shapeFor(accounts);
    std::vector<Account> chart;
    chart.reserve(static_cast<size_t>(accounts));
    const int full = fullCodeLength();
    std::function<void(size_t, const QString&)> grow = [&](size_t depth, const QString& parent) {
        for (std::int64_t child = 1; child <= shape[depth].children; ++child) {
            if (static_cast<std::int64_t>(chart.size()) == accounts) return;
            const QString code =
                parent + QStringLiteral("%1").arg(child, shape[depth].digits, 10, QLatin1Char('0'));
            Account account;
            account.codigo = code;
            account.titulo = code.size() < full;
            account.descripcion =
                (account.titulo ? QStringLiteral("Título %1") : QStringLiteral("Cuenta %1"))
                    .arg(code);
            chart.push_back(account);
            if (depth + 1 < shape.size()) grow(depth + 1, code);
        }
    };
    grow(0, QString());
    return chart;
}

// Lines go to postable accounts; a chart too small to have any takes them on
// its headings.
std::vector<QByteArray> postableCodes(const std::vector<Account>& chart) {
    std::vector<QByteArray> codes;
    for (const Account& account : chart) {
        if (!account.titulo) codes.push_back(account.codigo.toUtf8());
    }
    if (codes.empty()) {
        for (const Account& account : chart) codes.push_back(account.codigo.toUtf8());
    }
    return codes;
}

class LineWriter {
  public:
    explicit LineWriter(Database& db) : db_(db) {}

    StepResult prepare() {
        return db_.prepare(QStringLiteral("INSERT INTO MV_ASIENTOS (PERIODO, MES_OPERATIVO, "
                                          "[NUMERO ASIENTO], RENGLON, FECHA, CUENTA, "
                                          "[DEBE-HABER], IMPORTE, DETALLE, USUARIO) "
                                          "VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                           insert_);
    }

    StepResult write(int month, std::int64_t number, int line, const QByteArray& day,
                     const QByteArray& account, bool debe, std::int64_t centavos,
                     const QByteArray& detail) {
        insert_.bind(1, month);
        insert_.bind(2, number);
        insert_.bind(3, line);
        insert_.bindStatic(4, day);
        insert_.bindStatic(5, account);
        insert_.bindStatic(6, debe ? debit_ : credit_);
        insert_.bind(7, static_cast<double>(centavos) / 100.0);
        insert_.bindStatic(8, detail);
        insert_.bindStatic(9, user_);
        bool row = false;
        StepResult failed = insert_.step(row);
        insert_.reset();
        return failed;
    }

  private:
    Database& db_;
    Statement insert_;
    const QByteArray debit_ = "D", credit_ = "H", user_ = kOperador;
};

// Entries of two lines, the last one of three when the count is odd, dated
// evenly through the year and numbered from 1 in each month.
StepResult writeLines(Database& db, const std::vector<QByteArray>& codes, const QDate& desde,
                      std::int64_t lines, VolumeSummary& summary) {
    LineWriter writer(db);
    if (StepResult failed = writer.prepare()) return failed;
    Random random(20260101);
    const std::int64_t entries = lines / 2;
    const int days = static_cast<int>(desde.daysTo(QDate(desde.year(), 12, 31))) + 1;
    std::vector<QByteArray> storedDays, monthDetails;
    for (int d = 0; d < days; ++d)
        storedDays.push_back(
            ado::sqlite::storedDate(QDateTime(desde.addDays(d), QTime(0, 0))).toUtf8());
    for (int m = 1; m <= 12; ++m)
        monthDetails.push_back(QStringLiteral("Movimientos generados %1/%2")
                                   .arg(m, 2, 10, QLatin1Char('0'))
                                   .arg(desde.year())
                                   .toUtf8());

    auto account = [&]() -> const QByteArray& {
        return codes[static_cast<size_t>(
            random.between(0, static_cast<std::int64_t>(codes.size()) - 1))];
    };
    int month = 0;
    std::int64_t number = 0;
    for (std::int64_t entry = 0; entry < entries; ++entry) {
        const int dayIndex = static_cast<int>(entry * days / entries);
        const QDate day = desde.addDays(dayIndex);
        if (day.month() != month) {
            month = day.month();
            number = 0;
        }
        ++number;
        const QByteArray& detail = monthDetails[static_cast<size_t>(month - 1)];
        const std::int64_t amount = random.between(100, 10000000);
        const bool split = entry == entries - 1 && lines % 2 == 1;
        StepResult failed =
            writer.write(month, number, 1, storedDays[static_cast<size_t>(dayIndex)], account(),
                         true, amount, detail);
        const std::int64_t first = split ? amount / 2 : amount;
        if (!failed)
            failed = writer.write(month, number, 2, storedDays[static_cast<size_t>(dayIndex)],
                                  account(), false, first, detail);
        if (!failed && split)
            failed = writer.write(month, number, 3, storedDays[static_cast<size_t>(dayIndex)],
                                  account(), false, amount - first, detail);
        if (failed) return failed;
    }
    summary.asientos = entries;
    summary.renglones = lines;
    return std::nullopt;
}

}  // namespace

StepResult checkVolume(std::int64_t accounts, std::int64_t lines) {
    if (accounts < 1 || accounts > maxAccounts())
        return RunError{
            1, QStringLiteral("La cantidad de cuentas debe estar entre 1 y %1.").arg(maxAccounts()),
            kSource};
    if (lines < 0 || lines == 1)
        return RunError{1,
                        QStringLiteral("La cantidad de renglones debe ser 0 o al menos 2 (un "
                                       "asiento tiene un renglón al debe y otro al haber)."),
                        kSource};
    return std::nullopt;
}

StepResult fillVolume(Database& db, std::int64_t accounts, std::int64_t lines,
                      VolumeSummary& summary) {
    if (StepResult failed = checkVolume(accounts, lines)) return failed;
    const FiscalYear year{1, "Ejercicio 2026", QDate(2026, 1, 1), QDate(2026, 12, 31), false};

    Transaction transaction(db);
    if (StepResult failed = transaction.begin()) return failed;
    if (StepResult failed = writeNationalTables(db)) return failed;
    if (StepResult failed = writeFiscalYear(db, year)) return failed;
    const std::vector<Account> chart = generateChart(accounts);
    if (StepResult failed = writeAccounts(db, chart, QDateTime(year.desde, QTime(9, 0))))
        return failed;
    summary.cuentas = static_cast<std::int64_t>(chart.size());
    if (lines > 0) {
        if (StepResult failed = writeLines(db, postableCodes(chart), year.desde, lines, summary))
            return failed;
    }
    const ActiveYear setup{year.periodo,
                           year.descripcion,
                           year.desde,
                           year.hasta,
                           0,
                           QDateTime(year.desde, QTime(9, 0))};
    if (StepResult failed = writeCompanySetup(db, setup)) return failed;
    return transaction.commit();
}

}  // namespace kl::klbase
