#include "chart.h"

#include "company.h"

namespace kl::klbase {

int fullCodeLength() {
    int length = 0;
    for (int digits : kDigitosNivel) length += digits;
    return length;
}

StepResult writeAccounts(Database& db, const std::vector<Account>& accounts,
                         const QDateTime& alta) {
    Statement insert;
    if (StepResult failed = db.prepare(
            QStringLiteral("INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION, TITULO, BIENES, AJUSTE, "
                           "CCOSTO, MONEDA, CONFIDENCIAL, fechahora_grabacion) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            insert))
        return failed;
    const Value recorded(alta);
    for (const Account& account : accounts) {
        if (StepResult failed = insert.run({account.codigo, account.descripcion, account.titulo,
                                            account.bienes, account.ajuste, account.ccosto,
                                            account.moneda, account.confidencial, recorded}))
            return failed;
    }
    return std::nullopt;
}

}  // namespace kl::klbase
