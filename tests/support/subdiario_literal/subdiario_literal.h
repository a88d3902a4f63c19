#pragma once

// The subsidiary-journal report as the module first wrote it, one query per
// entry and side and one account lookup per line, rows added through a
// recordset: the yardstick the set-based report is compared with, for its
// rows (tests) and its speed (benchmark). No progress notice and no
// failure notice: a failure leaves the run rolled back and answers false.

#include "accounting/auxiliar_subdiarios.h"

#include <QString>

namespace kl::test {

// Runs the set-based report without a notice and without a way to stop.
class SinAvance final : public accounting::AvanceSubdiarios {
  public:
    void inicia(const QString&) override {}
    bool muestra(const QString&, const QString&, std::int64_t, std::int64_t) override {
        return false;
    }
    bool confirmaAbortar() override { return false; }
    void reanuda(const QString&, const QString&, const QString&) override {}
    void termina() override {}
};

bool GeneraAuxiliarSubdiariosLiteral(QString& Fecha_Desde, const QString& Fecha_Hasta,
                                     const QString& TipoSub);

}  // namespace kl::test
