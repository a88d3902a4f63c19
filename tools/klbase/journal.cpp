#include "journal.h"

#include "platform/sqlite_engine/stored_forms.h"

#include <QDateTime>

#include <algorithm>

namespace kl::klbase {

namespace {

const QString kSource = QStringLiteral("klbase");

void post(std::vector<JournalLine>& lines, const QString& cuenta, bool debe,
          std::int64_t centavos) {
    if (centavos == 0) return;
    if (centavos < 0) {
        debe = !debe;
        centavos = -centavos;
    }
    lines.push_back({cuenta, debe, centavos});
}

}  // namespace

void JournalEntry::debit(const QString& cuenta, std::int64_t centavos) {
    post(lines, cuenta, true, centavos);
}

void JournalEntry::credit(const QString& cuenta, std::int64_t centavos) {
    post(lines, cuenta, false, centavos);
}

Ledger::Ledger(Database& db, std::function<QString(const QString&)> costCentre)
    : db_(db), costCentre_(std::move(costCentre)) {}

StepResult Ledger::add(JournalEntry entry) {
    std::int64_t difference = 0;
    for (const JournalLine& line : entry.lines)
        difference += line.debe ? line.centavos : -line.centavos;
    if (entry.lines.size() < 2 || difference != 0)
        return RunError{1,
                        QStringLiteral("Asiento desbalanceado (%1): diferencia %2")
                            .arg(entry.detalle)
                            .arg(difference),
                        kSource};
    for (const JournalLine& line : entry.lines)
        balances_[line.cuenta] += line.debe ? line.centavos : -line.centavos;
    month_.push_back(std::move(entry));
    return std::nullopt;
}

StepResult Ledger::writeMonth(int periodo, int mes) {
    if (insert_.isEmpty()) {
        if (StepResult failed = db_.prepare(
                QStringLiteral(
                    "INSERT INTO MV_ASIENTOS (PERIODO, MES_OPERATIVO, [NUMERO ASIENTO], RENGLON, "
                    "FECHA, TIPO_REG, CUENTA, [DEBE-HABER], IMPORTE, DETALLE, CCOSTO, TC, "
                    "SUCURSAL, NUMERO, LETRA, CABCUENTA, CABIMPORTE, USUARIO, "
                    "fechahora_grabacion) VALUES "
                    "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                insert_))
            return failed;
    }
    std::stable_sort(
        month_.begin(), month_.end(),
        [](const JournalEntry& a, const JournalEntry& b) { return a.fecha < b.fecha; });
    std::map<QString, int> numbers;
    for (const JournalEntry& entry : month_) {
        const int number = ++numbers[entry.tipoReg];
        if (entry.tipoReg.isEmpty()) lastGeneral_ = number;
        const QString fecha = ado::sqlite::storedDate(QDateTime(entry.fecha, QTime(0, 0)));
        const QString recorded = ado::sqlite::storedDate(QDateTime(entry.fecha, QTime(18, 0)));
        int renglon = 0;
        for (const JournalLine& line : entry.lines) {
            const QString centre = costCentre_(line.cuenta);
            const std::vector<Value> values{
                periodo,
                mes,
                number,
                ++renglon,
                fecha,
                entry.tipoReg,
                line.cuenta,
                line.debe ? "D" : "H",
                Value::currencyFromScaled(line.centavos * 100),
                entry.detalle,
                centre.isEmpty() ? Value::null() : Value(centre),
                entry.tc.isEmpty() ? Value::null() : Value(entry.tc),
                entry.sucursal.isEmpty() ? Value::null() : Value(entry.sucursal),
                entry.numero.isEmpty() ? Value::null() : Value(entry.numero),
                entry.letra.isEmpty() ? Value::null() : Value(entry.letra),
                entry.cabCuenta.isEmpty() ? Value::null() : Value(entry.cabCuenta),
                entry.tc.isEmpty() ? Value::null()
                                   : Value::currencyFromScaled(entry.cabImporte * 100),
                entry.usuario,
                recorded,
            };
            if (StepResult failed = insert_.run(values)) return failed;
            ++lines_;
        }
        ++entries_;
    }
    month_.clear();
    return std::nullopt;
}

std::int64_t Ledger::balance(const QString& cuenta) const {
    const auto found = balances_.find(cuenta);
    return found == balances_.end() ? 0 : found->second;
}

}  // namespace kl::klbase
