#pragma once

// Journal entries as the demo company posts them: each entry must balance;
// entries are collected per operating month and numbered per journal (the
// general journal and each subsidiary journal count from 1 every month, the
// way the module numbers them) in date order when the month is written.

#include "sqlite_db.h"

#include "platform/runerror.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace kl::klbase {

struct JournalLine {
    QString cuenta;
    bool debe = true;
    std::int64_t centavos = 0;
};

struct JournalEntry {
    QDate fecha;
    QString tipoReg;  // empty: general journal
    QString detalle;
    QString usuario;
    // The voucher behind the entry, if any.
    QString tc, sucursal, numero, letra, cabCuenta;
    std::int64_t cabImporte = 0;
    std::vector<JournalLine> lines;

    // Amounts below zero go to the other side; zero amounts are dropped.
    void debit(const QString& cuenta, std::int64_t centavos);
    void credit(const QString& cuenta, std::int64_t centavos);
};

class Ledger {
  public:
    // `costCentre` gives the cost centre of a line's account ("" for none).
    Ledger(Database& db, std::function<QString(const QString&)> costCentre);

    StepResult add(JournalEntry entry);
    StepResult writeMonth(int periodo, int mes);

    // Debit balance (credits below zero) of every account posted so far.
    std::int64_t balance(const QString& cuenta) const;
    const std::map<QString, std::int64_t>& balances() const { return balances_; }

    int entriesWritten() const { return entries_; }
    int linesWritten() const { return lines_; }
    // Last number the general journal used in the last month written.
    int lastGeneralNumber() const { return lastGeneral_; }

  private:
    Database& db_;
    std::function<QString(const QString&)> costCentre_;
    std::vector<JournalEntry> month_;
    std::map<QString, std::int64_t> balances_;
    Statement insert_;
    int entries_ = 0;
    int lines_ = 0;
    int lastGeneral_ = 0;
};

}  // namespace kl::klbase
