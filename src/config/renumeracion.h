#pragma once

// Widening the levels of the chart of accounts: the codes every account
// takes, and their rewrite in the chart, in the journal and in the stored
// level structure, all in one transaction.

#include "platform/result.h"
#include "session/sesion.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace kl::config {

// The code of an account once the level widths go from `anteriores` to
// `nuevos` (no width smaller than before). Each level the code reaches is
// cut at the old widths and left-padded with "0" to its new width, as text:
// digits keep their value, letters of an alphanumeric chart are kept as
// written. A code shorter than a level's end does not reach that level and
// the levels after it. Blanks around the code are dropped.
QString codigoRenumerado(const QString& codigo, const DigitosNiveles& anteriores,
                         const DigitosNiveles& nuevos);

struct CambioCodigo {
    QString anterior;  // as stored
    QString nuevo;
};

struct MapaRenumeracion {
    // The codes that change, longest old code first: rewriting in this
    // order never makes two rows hold the same code halfway through.
    std::vector<CambioCodigo> cambios;
    // "1103 y 10103 pasarían a 10103" for the first codes that would end
    // equal (letter case ignored, as the database compares codes); empty
    // when the mapping can be applied.
    QStringList colisiones;
};

// The whole mapping of the chart's codes, computed before anything is
// rewritten.
MapaRenumeracion calculaRenumeracion(const QStringList& codigos, const DigitosNiveles& anteriores,
                                     const DigitosNiveles& nuevos);

// How far the rewrite got; answers false when the operator asks to stop.
struct Avance {
    std::int64_t cuentas = 0;
    std::int64_t totalCuentas = 0;
    std::int64_t renglones = 0;  // journal lines examined
    std::int64_t totalRenglones = 0;
};
using InformaAvance = std::function<bool(const Avance&)>;

struct ResultadoRenumeracion {
    enum class Estado { Hecha, Colision, Cancelada, Fallida };
    Estado estado = Estado::Fallida;
    QStringList colisiones;  // Colision
    RunError error;          // Fallida
    std::int64_t cuentas = 0;
    std::int64_t renglones = 0;  // journal lines rewritten
};

struct OpcionesRenumeracion {
    // Journal lines per statement, by ID range: bounds the work between two
    // progress reports and what the database holds for one statement.
    std::int64_t renglonesPorTanda = 100000;
};

// Rewrites MA_CUENTAS.CODIGO and MV_ASIENTOS.CUENTA from the mapping and
// writes the DIGITOS_ keys of the grown levels, in one transaction on the
// access layer's connection: the stored structure always describes the
// stored codes. `esperados` are the widths the operator's checks compared
// against; when the stored keys no longer hold them nothing is done. A
// collision, a cancel or a failure rolls everything back. Journal lines of
// accounts missing from the chart keep their account.
ResultadoRenumeracion RenumeraNiveles(const DigitosNiveles& esperados, const DigitosNiveles& nuevos,
                                      const InformaAvance& avance,
                                      const OpcionesRenumeracion& opciones = {});

// The stored widths of the six levels, read as the key store reads them;
// the error when they cannot be read.
Result<DigitosNiveles> LeeDigitosGuardados();

}  // namespace kl::config
