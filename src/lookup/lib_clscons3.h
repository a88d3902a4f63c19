#pragma once

// The lookup engine: the generic lookups of the module's tables. A request
// becomes one SELECT statement (from the query mask saved for the table in
// consultas.kvw, from the caller's statement, or from the table's own
// columns; see armado_sentencia.h), shown in the list or tree window; the
// engine then holds what the operator chose:
//
//     Lib_ClsCons3& engine = sharedConsultas();
//     engine.CampoDevuelto = "CODIGO";
//     Coleccion ninguna;
//     QString busqueda, where;
//     engine.ConsultaSearch("TA_ESTADOS", ninguna, "", busqueda, where,
//                           "select DESCRIPCION,CODIGO from TA_ESTADOS ", false, "");
//     QString codigo = engine.ValorDevuelto.toString();  // "" when cancelled
//
// Lookups never stop the program: a step that fails is passed over (a broken
// mask file is a table without a mask, a failing statement an empty list).
// The only messages are the refusal of a mask naming a single column and the
// missing file of ConsultaDesdeArchivo.

#include "lookup/ventanas_consulta.h"
#include "platform/value.h"

#include <QString>
#include <QStringList>

namespace kl {

class Lib_ClsCons3 {
  public:
    // Reads the engine's settings from the configuration keys.
    Lib_ClsCons3();

    Value StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    Coleccion CmpsDevueltos = nuevaColeccion();
    // The values picked: the checked rows, or the CmpsDevueltos columns of
    // the chosen row. No collection after a cancelled lookup.
    Coleccion Valores = nuevaColeccion();
    Coleccion Cantidades;
    // The next lookup shows check boxes; one lookup only.
    bool Checks = false;
    // The CampoDevuelto column of the chosen row; Empty when cancelled.
    Value ValorDevuelto;
    QString gConnString;
    QString gRutaMascaraConsultas;
    bool gUsarMascarasConsultas = false;
    bool UsaCantidades = false;
    // The column whose value is returned; one lookup only.
    QString CampoDevuelto;

    // `sql` is a table or view name, or a whole statement (it contains
    // SELECT). `CmpsDevueltos` is emptied and set to no collection;
    // `CampoBusqueda` and `Where` come back as the statement used them.
    void ConsultaSearch(const QString& sql, Coleccion& CmpsDevueltos, const QString& Clave,
                        QString& CampoBusqueda, QString& Where, const QString& SentenciaOpcional,
                        bool TreeView, const QString& ValoresDefault);

    // Options with check boxes: each starts with "1" (checked) or anything
    // else, then its text. The checked texts come back in Valores; the
    // result is always "". A list of fewer than two options shows no row.
    QString CheckOpciones(const QString& Titulo, const Coleccion& CmpsDevueltos,
                          const QStringList& Opc);
    // The chosen option's text; "" when cancelled. Fewer than two options
    // show no row.
    QString MenuOpciones(const QString& Titulo, const QStringList& Opc);
    // The chosen line of the Windows-1252 text file; "" when cancelled or
    // when the file cannot be read (the operator is told).
    QString ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo,
                                 const QString& Separador);
    // Masks are written by the module's query designer, never here.
    void GrabaConsultaDefault() {}

  private:
    QString eligeOpcion(consultas::PedidoOpciones pedido);

    bool usaConsultaLike_ = false;
};

// The process's engine, created on first use (after the session has
// connected: creating it reads settings).
Lib_ClsCons3& sharedConsultas();
// Called by the session's shutdown; the next sharedConsultas() starts afresh.
void releaseSharedConsultas();

}  // namespace kl
