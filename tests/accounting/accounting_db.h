#pragma once

// An empty accounting database with the full schema (as klbase crear makes
// it), the shared access layer connected to it as an administrator, the
// statements traced and the operator's boxes answered from a queue.

#include "support/scripted_dialogs.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

class AccountingDbTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString& sql);
    QString scalar(const QString& sql);
    // The statements the layer ran since the last call.
    QStringList traced();
    // A fiscal year row; dates as yyyy-mm-dd.
    void addYear(int periodo, const QString& desde, const QString& hasta, bool cerrado = false,
                 bool cancelacion = false, bool cierre = false);
    void setKey(const QString& clave, const QString& valor);
    void addLine(const Renglon& r);

    kl::test::ScopedDialogs boxes_;
    QString file_;

  private:
    QTemporaryDir dir_;
    QString trace_;
    qsizetype traceRead_ = 0;
};

}  // namespace kl::accounting::test
