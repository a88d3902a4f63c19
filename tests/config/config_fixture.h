#pragma once

// The configuration window's controls held in memory, and DatabaseTest on
// the tables the configuration reads and writes, the shared layer connected
// to them and the session's fiscal year 1.

#include "config/controles_enlazados.h"
#include "config/formulario_configuracion.h"
#include "support/database_test/database_test.h"

#include <QHash>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace kl::config::test {

// The controls' values by key, starting as the window's designer made them.
class FakeForm : public FormularioConfiguracion {
  public:
    FakeForm();

    QString texto(const ControlEnlazado& control) const override;
    void setTexto(const ControlEnlazado& control, const QString& text) override;
    int valor(const ControlEnlazado& control) const override;
    void setValor(const ControlEnlazado& control, int value) override;
    void setDescripcionCondIva(const QString& text) override { descripcionCondIva = text; }
    void seleccionaPestana(Pestana pestana) override { pestanas.push_back(pestana); }
    StepResult daFoco(const ControlEnlazado& control) override;

    // By key, case ignored; the test fails on an unknown key.
    QString text(const QString& key) const;
    void set(const QString& key, const QString& text);
    int state(const QString& key) const;
    void check(const QString& key, int state);
    // A form every rule accepts.
    void fillValid();

    QString descripcionCondIva;
    std::vector<Pestana> pestanas;
    QStringList focused;
    // When set, giving the focus fails with this error number.
    long focusError = 0;

  private:
    QHash<QString, QString> texts_;
    QHash<QString, int> states_;
};

// The tables the configuration reads and writes.
extern const char kSchema[];

class ConfigDbTest : public kl::test::DatabaseTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    FakeForm form_;
};

}  // namespace kl::config::test
