#pragma once

// An empty accounting database with the full schema (as klbase crear makes
// it) in DatabaseTest's folder, the shared access layer connected to it as
// an administrator: the fixture of the accounting rules' tests and of the
// windows that run them.

#include "support/database_test/database_test.h"

#include <QString>

namespace kl::accounting::test {

// A journal line; empty texts are stored as Null (TIPO_REG as '').
struct Renglon {
    int periodo = 3;
    int mes = 3;
    int numero = 1;
    QString fecha = QStringLiteral("2026-03-16");
    QString tipoReg{};
    QString tc{}, sucursal{}, comprobante{}, letra{}, cabCuenta{};
    QString cuenta = QStringLiteral("110101001");
    bool esResumen = false;
    bool esAjuste = false;
    QString ajusteHasta{};
};

class AccountingDbTest : public kl::test::DatabaseTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A fiscal year row; dates as yyyy-mm-dd.
    void addYear(int periodo, const QString& desde, const QString& hasta, bool cerrado = false,
                 bool cancelacion = false, bool cierre = false);
    void setKey(const QString& clave, const QString& valor);
    void addLine(const Renglon& r);
};

}  // namespace kl::accounting::test
