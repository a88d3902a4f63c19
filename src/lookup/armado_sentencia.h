#pragma once

// The statement a lookup shows, built from the request the way ConsultaSearch
// builds it, before any window is involved. In order of preference it comes
// from the query mask saved for the table, from the statement the caller
// supplies, or from the table's own columns. For example, a table T with the
// columns ID, CODIGO, DESCRIPCION and PRECIO, no mask, no statement supplied
// and no condition gives
//
//     SELECT TOP 1000 CODIGO,DESCRIPCION,PRECIO FROM T  ORDER BY DESCRIPCION
//
// (two blanks before ORDER BY: the empty condition contributes one), while a
// mask "CODIGO|DESCRIPCION|" for VT_CLIENTES gives
//
//     SELECT TOP 1000 CODIGO,DESCRIPCION FROM VT_CLIENTES  with(nolock)  WHERE
//     Dada_De_Baja = 0 ORDER BY CODIGO
//
// The texts are the ones every program of the module sends; the embedded
// engine's dialect adapter takes them as they are.

#include "lookup/mascaras_consultas.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace kl::consultas {

// What the builder asks of the outside world; tests give their own answers.
struct FuentesConsulta {
    // The mask saved for a table, or nullopt (no file, no mask, unreadable).
    std::function<std::optional<MascaraConsulta>(const QString& tabla)> mascara;
    // The column names of a table in their order; nullopt when they cannot
    // be read (the table does not exist, the connection is gone).
    std::function<std::optional<QStringList>(const QString& tabla)> columnas;
};

// The arguments of ConsultaSearch that shape the statement. `CampoBusqueda`
// and `Where` are in/out: the builder fills and rewrites them as the caller
// sees them afterwards.
struct PedidoConsulta {
    QString sql;
    QString CampoBusqueda;
    QString Where;
    QString SentenciaOpcional;
    bool usarMascaras = false;
    // The value of "TopConsArt" as stored.
    QString topConsArt;
};

struct SentenciaArmada {
    QString sql;
    // The table's mask names a single column and the caller gave no search
    // column: the operator must be told to configure it, and nothing is shown.
    bool faltaConfigurar = false;
};

// Step 1: a condition that does not start with "(" is put between
// parentheses with a blank on each side; "x" and "(x=1)" stay as they are.
QString condicionEntreParentesis(const QString& where);
// Step 2: "TopConsArt" rounded, or 1000 when it is not a positive number.
long limiteFilas(const QString& topConsArt);

SentenciaArmada armaSentencia(PedidoConsulta& pedido, const FuentesConsulta& fuentes);

}  // namespace kl::consultas
