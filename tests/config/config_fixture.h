#pragma once

// The configuration window's controls held in memory, and an embedded
// accounting database with the shared access layer connected to it, the SQL
// trace observed and the operator's boxes answered from a script.

#include "config/bound_controls.h"
#include "config/formulario_configuracion.h"
#include "support/embedded_db.h"
#include "support/scripted_dialogs.h"

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

class ConfigDbTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    QString scalar(const QString& sql) const { return kl::test::EmbeddedDb::scalar(file_, sql); }
    bool exec(const QString& sql) const { return kl::test::EmbeddedDb::exec(file_, sql); }
    // The statements the layer ran since the last call.
    QStringList traced();

    kl::test::ScopedDialogs boxes_;
    kl::test::EmbeddedDb folder_;
    FakeForm form_;
    QString file_;

  private:
    QString trace_;
    qsizetype traceRead_ = 0;
};

}  // namespace kl::config::test
