#pragma once

// The statements the list lookup builds from what the operator types: the
// narrowed search of F5 and the report of a missing article (F12). Whatever
// the operator typed or the database holds goes between quotes with its own
// quotes doubled, so it is always read as a value and never as SQL:
//
//     sentenciaNuevaBusqueda("select CODIGO,NOMBRE from T order by NOMBRE ",
//                            "NOMBRE", "san jo", true)
//     == "select CODIGO,NOMBRE from T  where NOMBRE like '%san%jo%' order by NOMBRE "

#include <QString>

namespace kl::consulta {

// The word after the first "from " (any case), up to the next blank: the
// table the statement reads. "" when there is none.
QString tablaDeSentencia(const QString& sql);

// True when the statement reads the article tables ("V_MA_ARTICULOS" or
// "STK_MA_ARTICULOS", any case).
bool esConsultaArticulos(const QString& sql);

// The last statement shown with one more condition on `campo`: with
// `usaLike` every word of `texto` anywhere in the column, in that order;
// without it the column starting with `texto`, "*" standing for any text.
// The condition goes before the statement's "group by" and "order by"
// parts, which stay as they were; an article statement qualifies the field
// with its article table.
QString sentenciaNuevaBusqueda(const QString& ultima, const QString& campo, const QString& texto,
                               bool usaLike);

// The INSERT that records the article as missing from stock, for V_MV_FALTANTES.
QString sentenciaFaltante(const QString& fechaHora, const QString& idArticulo,
                          const QString& descripcion, const QString& usuario);

}  // namespace kl::consulta
