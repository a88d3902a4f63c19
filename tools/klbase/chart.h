#pragma once

// Accounts of the chart (MA_CUENTAS) as the generators build them.

#include "sqlite_db.h"

#include "platform/runerror.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace kl::klbase {

struct Account {
    QString codigo;
    QString descripcion;
    bool titulo = false;        // a heading takes no postings
    bool bienes = false;        // fixed assets
    bool ajuste = false;        // non-monetary: adjusted for inflation
    bool ccosto = false;        // postings carry a cost centre
    bool confidencial = false;  // hidden from users who are not administrators
    int moneda = 1;
};

// The length of a full (postable) code under the structure of kDigitosNivel.
int fullCodeLength();

StepResult writeAccounts(Database& db, const std::vector<Account>& accounts, const QDateTime& alta);

}  // namespace kl::klbase
