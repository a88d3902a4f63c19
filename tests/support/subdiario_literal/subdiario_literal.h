#pragma once

// The subsidiary-journal report as the module first wrote it, one query per
// entry and side and one account lookup per line, rows added through a
// recordset: the yardstick the set-based report is compared with, for its
// rows (tests) and its speed (benchmark). No progress notice and no
// failure notice: a failure leaves the run rolled back and answers false.

#include <QString>

namespace kl::test {

bool GeneraAuxiliarSubdiariosLiteral(QString& Fecha_Desde, const QString& Fecha_Hasta,
                                     const QString& TipoSub);

}  // namespace kl::test
