// The checks the data-entry programs make on vouchers, subsidiary journals
// and accounts before an entry is recorded.

#include "accounting/consultas_reglas.h"
#include "accounting/lbc_asiento.h"
#include "platform/error_numbers.h"

#include "dblayer/db_dll.h"
#include "dblayer/sql_text.h"
#include "platform/conversions.h"
#include "platform/dialogs.h"
#include "session/aviso_operador.h"
#include "session/brimcor2.h"
#include "session/claves_configuracion.h"

#include <QStringList>

#include <cmath>

namespace kl::accounting {

namespace {

using db::sqlQuoted;

// Voucher type and business-unit codes are stored right-aligned to four
// characters.
QString codigoAlineado(const QString& codigo) {
    return Brimcor2::AlineaDerecha(codigo.trimmed(), 4);
}

// The numeric value of a text in `ancho` digits, as Format(Val(x), "0000").
QString cifras(const QString& texto, int ancho) {
    return conCeros(std::llround(conv::leadingNumber(texto)), ancho);
}

// 0003-00000124 followed by the letter's text.
QString FormatoNumeroComprobante(const QString& sucursal, const QString& numero,
                                 const QString& letra) {
    return cifras(sucursal, 4) + u'-' + cifras(numero, 8) + Brimcor2::TextoLetra(letra, 1);
}

StepResult recorre(ado::Recordset& rs, const std::function<bool()>& fila) {
    if (StepResult cerrado = requiereAbierto(rs)) return cerrado;
    while (!rs.EOF()) {
        if (fila()) return std::nullopt;
        if (StepResult e = rs.MoveNext()) return e;
    }
    return std::nullopt;
}

RunError usoDeNull(const QString& columna) {
    return {ado::err::InvalidUseOfNull, QStringLiteral("Uso no válido de Null: ") + columna,
            QStringLiteral("Lbc_Asiento")};
}

// Opens the statement the caller builds into lrcsaux (a private recordset
// when none is given, closed afterwards) and tells whether it found rows;
// failures go to the error notice under the routine's name.
bool existeEnDiario(const QString& rutina, const std::function<StepResult(QString&)>& sentencia,
                    ado::Recordset* lrcsaux, int cursor = ado::adOpenDynamic,
                    int bloqueo = ado::adLockOptimistic) {
    ado::Recordset propio;
    ado::Recordset& rs = lrcsaux ? *lrcsaux : propio;
    bool existe = false;
    runSteps({[&]() -> StepResult {
                  QString sql;
                  if (StepResult rechazo = sentencia(sql)) return rechazo;
                  return abreConsulta(sql, rs, cursor, bloqueo);
              },
              [&]() -> StepResult {
                  if (StepResult cerrado = requiereAbierto(rs)) return cerrado;
                  existe = !rs.EOF();
                  return std::nullopt;
              }},
             avisoOperadorPara(rutina));
    if (!lrcsaux) db::sharedDb().CierraRecordset(propio);
    return existe;
}

// The point of sale, number and letter of a voucher, as the journal's
// searches follow its type with them.
QString puntoNumeroYLetra(const QString& suc, const QString& Nro, const QString& L) {
    return QStringLiteral(" AND SUCURSAL = ") + sqlQuoted(suc) + QStringLiteral(" AND NUMERO = ") +
           sqlQuoted(Nro) + QStringLiteral(" AND LETRA = ") + sqlQuoted(L.trimmed());
}

QString condicionesComprobante(const QString& TC, const QString& suc, const QString& Nro,
                               const QString& L) {
    return QStringLiteral("TC = ") + sqlQuoted(TC.trimmed()) + puntoNumeroYLetra(suc, Nro, L);
}

QString condicionProveedor(const QString& proveedor) {
    return QStringLiteral(" AND CABCUENTA = ") + sqlQuoted(proveedor.trimmed());
}

// The first journal line of the voucher: in its type's journal on the
// entry's date, in that journal on any date, or in any journal.
StepResult buscaComprobante(const QString& TC, const QString& Sucursal, const QString& Numero,
                            const QString& letra, const QString& FechaAsto, const QString& Cuenta,
                            ado::Recordset& rs, bool& encontrado) {
    const QString diario = Brimcor2::ValorNoNulo(db::sharedDb().DatosTabla(
        QStringLiteral("MA_SUBDIARIOSCOMPROBANTES"), TC, QStringLiteral("SUBDIARIO"),
        QStringLiteral("TC"), Value(db::DB_Dll::kTipoTexto), QString(), true, false));
    const QString codigo = sqlQuoted(codigoAlineado(TC));
    const QString cuenta = Cuenta.trimmed().isEmpty()
                               ? QString()
                               : QStringLiteral(" AND CUENTA = ") + sqlQuoted(Cuenta);
    const QString comprobante = puntoNumeroYLetra(Sucursal, Numero, letra);
    const QString desde = QStringLiteral("SELECT TOP 1 *  FROM MV_ASIENTOS WHERE ");
    const QString enDiario = desde + QStringLiteral("TIPO_REG = ") + sqlQuoted(diario);
    const QString sentencias[] = {
        enDiario + QStringLiteral(" AND  TC = ") + codigo + comprobante +
            QStringLiteral(" and Fecha = ") + sqlQuoted(FechaAsto) + cuenta,
        enDiario + QStringLiteral(" AND TC = ") + codigo + comprobante + cuenta,
        desde + QStringLiteral("TC = ") + codigo + comprobante + cuenta,
    };
    encontrado = false;
    for (const QString& sql : sentencias) {
        if (StepResult e = abreConsulta(sql, rs, ado::adOpenForwardOnly, ado::adLockReadOnly))
            return e;
        if (!rs.EOF()) {
            encontrado = true;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// Where the voucher of the line found sits, as the refusal names it.
StepResult leeRegistrado(const ado::Recordset& rs, AsientoDelComprobante& donde, QString& diario) {
    Value mes, numero, periodo, tipoReg;
    for (auto [columna, valor] : {std::pair{QStringLiteral("Mes_Operativo"), &mes},
                                  std::pair{QStringLiteral("NUMERO ASIENTO"), &numero},
                                  std::pair{QStringLiteral("PERIODO"), &periodo},
                                  std::pair{QStringLiteral("Tipo_Reg"), &tipoReg}}) {
        if (StepResult e = leeCampo(rs, columna, *valor)) return e;
    }
    donde = {Brimcor2::ValorNoNulo(mes), Brimcor2::ValorNoNulo(numero),
             Brimcor2::ValorNoNulo(periodo)};
    diario = Brimcor2::ValorNoNulo(tipoReg);
    return std::nullopt;
}

}  // namespace

StepResult Lbc_Asiento::ValidaFechaSubdiario(const QString& fecha, const QString& Subdiario,
                                             bool& valida) const {
    QDate dia;
    if (StepResult noEsFecha = aFecha(fecha, dia)) return noEsFecha;
    ado::Recordset rs;
    bool cubierta = false;
    StepResult resultado = abreConsulta(
        QStringLiteral("SELECT * FROM MV_CONTROL_AS_RES WHERE RTRIM(LTRIM(SUBDIARIO)) = ") +
            sqlQuoted(Subdiario.trimmed()) + QStringLiteral(" AND PERIODO = ") +
            QString::number(periodoActivo_),
        rs, ado::adOpenDynamic, ado::adLockOptimistic);
    if (!resultado) {
        resultado = recorre(rs, [&] {
            const QDate desde = rs.value(QStringLiteral("Fecha_Desde")).toDateTime().date();
            const QDate hasta = rs.value(QStringLiteral("Fecha_Hasta")).toDateTime().date();
            cubierta = desde.isValid() && hasta.isValid() && desde <= dia && dia <= hasta &&
                       !rs.value(QStringLiteral("Anulado")).toBool();
            return cubierta;
        });
    }
    db::sharedDb().CierraRecordset(rs);
    if (!resultado) valida = !cubierta;
    return resultado;
}

bool Lbc_Asiento::ValidaSubdiarioTC(const QString& Subdiario, const QString& TC) {
    ado::Recordset rs;
    bool toma = false;
    runSteps({[&] {
                  return abreConsulta(
                      QStringLiteral("SELECT * FROM MA_SUBDIARIOSCOMPROBANTES WHERE "
                                     "RTRIM(LTRIM(SUBDIARIO)) = ") +
                          sqlQuoted(Subdiario.trimmed()),
                      rs, ado::adOpenDynamic, ado::adLockOptimistic);
              },
              [&] {
                  return recorre(rs, [&] {
                      toma = Brimcor2::ValorNoNulo(rs.value(QStringLiteral("TC")))
                                 .trimmed()
                                 .compare(TC.trimmed(), Qt::CaseInsensitive) == 0;
                      return toma;
                  });
              }},
             avisoOperadorPara(QStringLiteral("ValidaSubdiarioTC")));
    db::sharedDb().CierraRecordset(rs);
    return toma;
}

bool Lbc_Asiento::ValidaTCRegistraciones(const QString& Tipo) {
    return existeEnDiario(
        QStringLiteral("ValidaTCRegistraciones"),
        [&](QString& sql) {
            sql = QStringLiteral("SELECT TC FROM MA_SUBDIARIOSCOMPROBANTES WHERE TC=") +
                  sqlQuoted(Tipo.trimmed());
            return StepResult();
        },
        nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly);
}

QString Lbc_Asiento::DeterminaLetra(const QString& COND_IVA_CLIEN) {
    const QString condicionEmpresa = Cfg(QStringLiteral("CONDIVA"));
    if (conv::leadingNumber(condicionEmpresa) != 1)
        return condicionEmpresa.trimmed().isEmpty() ? QStringLiteral("Z") : QStringLiteral("C");
    return conv::leadingNumber(COND_IVA_CLIEN) > 2 ? QStringLiteral("B") : QStringLiteral("A");
}

void Lbc_Asiento::DatosComprobante(const QString& TC, QString& suc, QString& Nro, QString& L,
                                   const QString& Uneg) {
    if (L.isEmpty() || !QStringLiteral("ABCXEMR").contains(L, Qt::CaseInsensitive)) return;
    const QString todos =
        QStringLiteral("SELECT * FROM V_TA_CPTE WHERE CODIGO = ") + sqlQuoted(codigoAlineado(TC));
    const QString orden = QStringLiteral(" ORDER BY TALONARIO ASC");
    ado::Recordset rs;
    const auto abre = [&](const QString& sql) {
        return abreConsulta(sql, rs, ado::adOpenDynamic, ado::adLockOptimistic);
    };
    runSteps({[&] {
                  return abre(Uneg.isEmpty()
                                  ? todos + orden
                                  : todos + QStringLiteral(" AND UNEGOCIO = ") +
                                        sqlQuoted(Brimcor2::AlineaDerecha(Uneg, 4)) + orden);
              },
              [&]() -> StepResult {
                  // A unit without pads of its own uses the type's pads of any unit.
                  if (Uneg.isEmpty() || (rs.State() == ado::adStateOpen && !rs.EOF()))
                      return std::nullopt;
                  return abre(todos + orden);
              },
              [&]() -> StepResult {
                  if (StepResult cerrado = requiereAbierto(rs)) return cerrado;
                  if (rs.EOF()) {
                      suc.clear();
                      Nro.clear();
                      L.clear();
                      gTalonario_ = 0;
                      return std::nullopt;
                  }
                  const QString letra = L.trimmed();
                  Value puesto, ultimo, talonario;
                  if (StepResult e = leeCampo(rs, letra + QStringLiteral("_SUC_DEFAULT"), puesto))
                      return e;
                  if (StepResult e = leeCampo(rs, letra + QStringLiteral("_ULTIMO_NRO"), ultimo))
                      return e;
                  if (StepResult e = leeCampo(rs, QStringLiteral("talonario"), talonario)) return e;
                  std::int16_t numeroTalonario = 0;
                  if (StepResult e = aEntero16(
                          db::leadingNumberText(Brimcor2::ValorNoNulo(talonario)), numeroTalonario))
                      return e;
                  suc = cifras(Brimcor2::ValorNoNulo(puesto), 4);
                  Nro = cifras(Brimcor2::ValorNoNulo(ultimo), 8);
                  L = letra;
                  gTalonario_ = numeroTalonario;
                  return std::nullopt;
              }},
             avisoOperadorPara(QStringLiteral("DatosComprobante")));
    db::sharedDb().CierraRecordset(rs);
}

bool Lbc_Asiento::ComprobanteEntrada(const QString& TC) {
    static const QStringList kRecibidos{"FCC", "NDC", "NCC", "FPC", "NCCP"};
    static const QStringList kEmitidos{"FC", "ND", "NC", "FP", "NCFP", "CBFP", "PGFP"};
    if (kRecibidos.contains(TC, Qt::CaseInsensitive)) return true;
    if (kEmitidos.contains(TC, Qt::CaseInsensitive)) return false;

    const FailureNotice aviso = avisoOperadorPara(QStringLiteral("ComprobanteEntrada"));
    ado::Recordset rs;
    QString letras;
    bool entrada = false;
    const bool leido = runSteps(
        {[&] {
             return abreConsulta(QStringLiteral("SELECT * FROM TA_COMPROBANTES WHERE CODIGO = ") +
                                     sqlQuoted(codigoAlineado(TC)),
                                 rs, ado::adOpenForwardOnly, ado::adLockReadOnly);
         },
         [&]() -> StepResult {
             Value valor;
             if (StepResult cerrado = requiereAbierto(rs)) return cerrado;
             if (rs.EOF()) return std::nullopt;
             if (StepResult e = leeCampo(rs, QStringLiteral("Letras"), valor)) return e;
             letras = Brimcor2::ValorNoNulo(valor).trimmed();
             return std::nullopt;
         }},
        aviso);
    // A type counts as incoming when its letter has no counters of its own;
    // the last letter decides.
    for (qsizetype i = 0; leido && i < letras.size(); ++i) {
        const StepOutcome paso = runStep(
            [&]() -> StepResult {
                bool sinContador = true;
                for (const char* sufijo : {"_ULTIMO_NRO", "_NRO_DESDE", "_NRO_HASTA"}) {
                    const QString columna = letras.at(i) + QString::fromLatin1(sufijo);
                    Value contador;
                    if (StepResult e = leeCampo(rs, columna, contador)) return e;
                    if (contador.isNull()) return usoDeNull(columna);
                    sinContador = sinContador && conv::leadingNumber(contador.toString()) <= 0;
                }
                entrada = sinContador;
                return std::nullopt;
            },
            aviso);
        if (paso == StepOutcome::Abandoned) break;
    }
    db::sharedDb().CierraRecordset(rs);
    return entrada;
}

bool Lbc_Asiento::ValidaComprobante(const QString& TC, const QString& Sucursal, QString& Numero,
                                    const QString& letra, QString& Mensaje,
                                    const QString& FechaAsto, const QString& Cuenta,
                                    AsientoDelComprobante* registrado) {
    db::DB_Dll& db = db::sharedDb();
    const auto falla = [](const RunError& e) {
        MsgBox(e.description, mb::OkOnly);
        return false;
    };
    // Each accepted number is checked again the same way, without the date,
    // the account and the outputs of the first check; a loop, so a long run
    // of numbers already recorded asks each question without piling up calls.
    for (bool primera = true;; primera = false) {
        const QString entrante = Numero;
        ado::Recordset rs;
        bool encontrado = false;
        StepResult fallo =
            buscaComprobante(TC, Sucursal, Numero, letra, primera ? FechaAsto : QString(),
                             primera ? Cuenta : QString(), rs, encontrado);
        if (fallo || !encontrado) {
            db.CierraRecordset(rs);
            return fallo ? falla(*fallo) : true;
        }
        const QString modo =
            db.DatosTabla(QStringLiteral("TA_COMPROBANTES"), TC,
                          QStringLiteral("ModificaNumeracion"), QStringLiteral("Codigo"),
                          Value(db::DB_Dll::kTipoTexto), QString(), true, false)
                .toString()
                .toUpper();
        if (modo != u"FALSO" && modo != u"FALSE" && modo != u"0") {
            AsientoDelComprobante donde;
            QString diario;
            fallo = leeRegistrado(rs, donde, diario);
            db.CierraRecordset(rs);
            if (fallo) return falla(*fallo);
            if (primera && registrado) *registrado = donde;
            Mensaje = QStringLiteral("Comprobante registrado en el Asiento ") + donde.MesOP + u'-' +
                      donde.NroAsiento;
            if (!diario.trimmed().isEmpty())
                Mensaje += QStringLiteral("\r\n Para el subdiario: ") + diario;
            return false;
        }
        db.CierraRecordset(rs);
        Numero = Value(conv::leadingNumber(Numero) + 1).toString().trimmed();
        const int respuesta =
            MsgBox(QStringLiteral("El Comprobante Duplicado, el nuevo numero es: ") +
                       FormatoNumeroComprobante(Sucursal, Numero, letra),
                   mb::YesNo | mb::Exclamation, QStringLiteral("Atencion"));
        if (respuesta != answer::Yes) {
            Numero = entrante;
            Mensaje = QStringLiteral("Comprobante duplicado");
            return false;
        }
    }
}

bool Lbc_Asiento::AsientoResumenAnulado(const QString& Subdiario,
                                        const QString& NroAsiento_ConFomato) {
    ado::Recordset rs;
    bool anulado = false;
    runSteps({[&]() -> StepResult {
                  const qsizetype guion = NroAsiento_ConFomato.indexOf(u'-');
                  if (guion < 0)
                      return RunError{
                          ado::err::InvalidArgument,
                          QStringLiteral("Argumento o llamada a procedimiento no válida: "
                                         "el asiento resumen \"") +
                              NroAsiento_ConFomato + QStringLiteral("\" no tiene mes"),
                          QStringLiteral("Lbc_Asiento")};
                  const QString mes = NroAsiento_ConFomato.left(guion);
                  const QString id = NroAsiento_ConFomato.mid(guion + 1);
                  if (StepResult rechazo = enteroParaSentencia(mes, QStringLiteral("el mes")))
                      return rechazo;
                  if (StepResult rechazo =
                          enteroParaSentencia(id, QStringLiteral("el número de resumen")))
                      return rechazo;
                  return abreConsulta(
                      QStringLiteral("SELECT * FROM MV_CONTROL_AS_RES WHERE SUBDIARIO=") +
                          sqlQuoted(Subdiario.trimmed()) + QStringLiteral(" AND ID=") + id +
                          QStringLiteral(" AND MONTH(FECHA_DESDE) = ") + mes +
                          QStringLiteral(" AND PERIODO = ") + QString::number(periodoActivo_),
                      rs, ado::adOpenDynamic, ado::adLockOptimistic);
              },
              [&]() -> StepResult {
                  if (StepResult cerrado = requiereAbierto(rs)) return cerrado;
                  if (rs.EOF()) return std::nullopt;
                  Value valor;
                  if (StepResult e = leeCampo(rs, QStringLiteral("Anulado"), valor)) return e;
                  if (valor.toBool()) {
                      MsgBox(QStringLiteral("Este Asiento Resumen ya fue Contrasentado!!!"),
                             mb::OkOnly | mb::Critical);
                      anulado = true;
                  }
                  return std::nullopt;
              }},
             avisoOperadorPara(QStringLiteral("AsientoResumenAnulado")));
    db::sharedDb().CierraRecordset(rs);
    return anulado;
}

bool Lbc_Asiento::ExisteEnMVAsientos(const QString& TC, const QString& suc, const QString& Nro,
                                     const QString& L, const std::optional<QString>& Proveedor,
                                     ado::Recordset* lrcsaux) {
    return existeEnDiario(
        QStringLiteral("ExisteEnMVAsientos"),
        [&](QString& sql) {
            const QString condiciones = condicionesComprobante(TC, suc, Nro, L);
            sql = Proveedor ? QStringLiteral("SELECT * FROM MV_ASIENTOS WITH(NOLOCK) WHERE ") +
                                  condiciones + condicionProveedor(*Proveedor)
                            : QStringLiteral("SELECT * FROM MV_ASIENTOS  WITH(NOLOCK) WHERE ") +
                                  condiciones;
            return StepResult();
        },
        lrcsaux);
}

bool Lbc_Asiento::ExisteEnMVAsientos2(const QString& TC, const QString& suc, const QString& Nro,
                                      const QString& L, const QString& /*TipoReg*/,
                                      const QString& NroAsiento, const QString& MesOP,
                                      const QString& Periodo,
                                      const std::optional<QString>& Proveedor,
                                      ado::Recordset* lrcsaux) {
    return existeEnDiario(
        QStringLiteral("ExisteEnMVAsientos2"),
        [&](QString& sql) -> StepResult {
            if (StepResult rechazo =
                    enteroParaSentencia(NroAsiento, QStringLiteral("el número de asiento")))
                return rechazo;
            if (StepResult rechazo = enteroParaSentencia(MesOP, QStringLiteral("el mes operativo")))
                return rechazo;
            if (Proveedor) {
                if (StepResult rechazo =
                        enteroParaSentencia(Periodo, QStringLiteral("el ejercicio")))
                    return rechazo;
            }
            sql = QStringLiteral("SELECT * FROM MV_ASIENTOS WITH(NOLOCK) WHERE ") +
                  condicionesComprobante(TC, suc, Nro, L) +
                  QStringLiteral(" AND [NUMERO ASIENTO] = ") + NroAsiento.trimmed();
            if (Proveedor)
                sql += QStringLiteral(" AND Periodo = ") + Periodo +
                       QStringLiteral(" AND MES_OPERATIVO = ") + MesOP.trimmed() +
                       QStringLiteral("  AND (ESRESUMEN = 0)") + condicionProveedor(*Proveedor);
            else
                sql += QStringLiteral("  AND MES_OPERATIVO = ") + MesOP.trimmed() +
                       QStringLiteral(" AND (ESRESUMEN = 0)");
            return std::nullopt;
        },
        lrcsaux);
}

bool Lbc_Asiento::CuentaImputable(const QString& Cuenta) {
    const QString cuenta = Brimcor2::QuitaCaracteres(Cuenta.trimmed(), QString(QChar(0)));
    ado::Recordset rs;
    bool imputable = false;
    runSteps({[&] {
                  return abreConsulta(QStringLiteral("SELECT * FROM MA_CUENTAS WHERE CODIGO =") +
                                          sqlQuoted(cuenta) +
                                          QStringLiteral(" AND DADA_DE_BAJA=0 AND BLOQUEO = 0"),
                                      rs, ado::adOpenForwardOnly, ado::adLockReadOnly);
              },
              [&]() -> StepResult {
                  if (StepResult cerrado = requiereAbierto(rs)) return cerrado;
                  if (rs.EOF()) return std::nullopt;
                  Value titulo;
                  if (StepResult e = leeCampo(rs, QStringLiteral("Titulo"), titulo)) return e;
                  // A heading account takes no postings.
                  imputable = titulo.isNull() || !titulo.toBool();
                  return std::nullopt;
              }},
             avisoOperadorPara(QStringLiteral("CuentaImputable")));
    db::sharedDb().CierraRecordset(rs);
    return imputable;
}

bool Lbc_Asiento::ExisteCuentas(const QString& Valor_Buscado, Value* Tipo, Value* NombreLeido,
                                Value* BiendeUso, Value* Ajustable) {
    ado::Recordset rs;
    bool existe = false;
    runSteps(
        {[&] {
             return abreConsulta(QStringLiteral("SELECT * FROM MA_CUENTAS WHERE Codigo = ") +
                                     sqlQuoted(Valor_Buscado.trimmed()),
                                 rs, ado::adOpenForwardOnly, ado::adLockReadOnly);
         },
         [&]() -> StepResult {
             if (StepResult cerrado = requiereAbierto(rs)) return cerrado;
             if (rs.EOF()) return std::nullopt;
             Value baja, bloqueo;
             if (StepResult e = leeCampo(rs, QStringLiteral("DADA_DE_BAJA"), baja)) return e;
             if (StepResult e = leeCampo(rs, QStringLiteral("BLOQUEO"), bloqueo)) return e;
             if (baja.toBool() || bloqueo.toBool()) return std::nullopt;
             for (auto [salida, columna] : {std::pair{Tipo, QStringLiteral("Titulo")},
                                            std::pair{NombreLeido, QStringLiteral("Descripcion")},
                                            std::pair{BiendeUso, QStringLiteral("BIENES")},
                                            std::pair{Ajustable, QStringLiteral("Ajuste")}}) {
                 if (!salida) continue;
                 if (StepResult e = leeCampo(rs, columna, *salida)) return e;
             }
             existe = true;
             return std::nullopt;
         }},
        avisoOperadorPara(QStringLiteral("ExisteCuentas")));
    db::sharedDb().CierraRecordset(rs);
    return existe;
}

bool Lbc_Asiento::ExisteDatosAdicionales(const QString& Valor_Buscado, ado::Recordset& LRsTmp) {
    db::DB_Dll& db = db::sharedDb();
    db.CierraRecordset(LRsTmp);
    const bool existe = existeEnDiario(
        QStringLiteral("ExisteDatosAdicionales"),
        [&](QString& sql) {
            sql = QStringLiteral("SELECT * FROM MA_CUENTASADIC WHERE Codigo = ") +
                  sqlQuoted(Valor_Buscado.trimmed());
            return StepResult();
        },
        &LRsTmp, ado::adOpenForwardOnly, ado::adLockReadOnly);
    db.CierraRecordset(LRsTmp);
    return existe;
}

}  // namespace kl::accounting
