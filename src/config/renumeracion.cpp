#include "config/renumeracion.h"

#include "dblayer/db_dll.h"
#include "dblayer/sql_text.h"
#include "dblayer/transaction.h"
#include "platform/ado/transaction_scope.h"
#include "platform/conversions.h"
#include "platform/error_numbers.h"
#include "session/claves_configuracion.h"
#include "session/historial_cambios.h"

#include <QHash>

#include <algorithm>
#include <memory>
#include <optional>

namespace kl::config {

namespace {

// The largest total the chart's codes may have; wider structures are refused
// before anything is rewritten.
constexpr int kMaximoDigitos = 15;
// The first colliding codes shown to the operator.
constexpr int kColisionesMostradas = 5;
// Mapping rows per INSERT: SQL Server takes at most 1000 rows in one VALUES.
constexpr int kFilasPorInsert = 500;

const QString kTablaMapa = QStringLiteral("[#KL_RENUMERACION]");

bool alcanzaNivel(const QString& codigo, int inicio, int digitos) {
    // A level without digits holds no character: only a code going on past
    // its place reaches it, not one that ends where it would start.
    return digitos > 0 ? codigo.size() >= inicio + digitos : codigo.size() > inicio;
}

RunError falla(const QString& texto) {
    return {ado::err::InvalidArgument, texto, QStringLiteral("klconfig")};
}

// A column outside the chart and the journal's account that holds account
// codes: the additional data of an account, a voucher's header account, a
// fixed asset's account and a cash box's account.
struct ColumnaCuenta {
    const char* tabla;
    const char* columna;
    bool clave;  // one row per account: a code is taken only once its holder moved on
};
constexpr ColumnaCuenta kOtrasColumnasCuenta[] = {{"MA_CUENTASADIC", "CODIGO", true},
                                                  {"MV_ASIENTOS", "CABCUENTA", false},
                                                  {"MA_BIENES", "CUENTA", false},
                                                  {"TA_CAJAS", "CUENTA", false}};

// Databases made before a table or column existed lack it.
bool tieneColumna(db::Transaction& t, const ColumnaCuenta& c) {
    return t.layer().ExisteCampoDB(QString::fromLatin1(c.tabla), QString::fromLatin1(c.columna));
}

// The first column of the first row as a number; 0 without rows.
StepResult numero(db::Transaction& t, const QString& sql, std::int64_t& valor) {
    std::unique_ptr<ado::Recordset> rs;
    if (StepResult e = t.execute(sql, nullptr, &rs)) return e;
    valor = 0;
    if (rs && rs->State() == ado::adStateOpen && !rs->EOF())
        valor = static_cast<std::int64_t>(rs->value(0).toDouble());
    return std::nullopt;
}

// Every account moves, whoever runs the renumbering: the statements name the
// full tables, never a user's restricted views.
QString completa(const char* tabla) {
    return QStringLiteral("@Admin_") + QString::fromLatin1(tabla);
}

QString listaClaves() {
    QStringList claves;
    for (const char* clave : kClavesDigitosNivel)
        claves << db::sqlQuoted(QString::fromLatin1(clave));
    return claves.join(QStringLiteral(", "));
}

Result<DigitosNiveles> leeDigitos(db::Transaction& t) {
    std::unique_ptr<ado::Recordset> rs;
    if (StepResult e = t.execute(QStringLiteral("SELECT CLAVE, VALOR FROM TA_CONFIGURACION "
                                                "WHERE CLAVE IN (") +
                                     listaClaves() + QStringLiteral(")"),
                                 nullptr, &rs)) {
        return *e;
    }
    DigitosNiveles digitos{};
    for (; rs && rs->State() == ado::adStateOpen && !rs->EOF(); rs->MoveNext()) {
        const QString clave = rs->value(0).toString().trimmed();
        for (int nivel = 0; nivel < kNivelesCuenta; ++nivel) {
            if (clave.compare(QString::fromLatin1(kClavesDigitosNivel[nivel]),
                              Qt::CaseInsensitive) != 0)
                continue;
            const std::int64_t valor =
                conv::roundHalfEvenToInt(conv::leadingNumber(rs->value(1).toString()));
            if (valor < 0 || valor > kMaximoDigitos)
                return falla(QStringLiteral("La cantidad de dígitos guardada para %1 no es válida.")
                                 .arg(QString::fromLatin1(kClavesDigitosNivel[nivel])));
            digitos[nivel] = static_cast<std::int16_t>(valor);
        }
    }
    return digitos;
}

StepResult leeCodigos(db::Transaction& t, QStringList& codigos) {
    std::unique_ptr<ado::Recordset> rs;
    if (StepResult e =
            t.execute(QStringLiteral("SELECT CODIGO FROM ") + completa("MA_CUENTAS"), nullptr, &rs))
        return e;
    for (; rs && rs->State() == ado::adStateOpen && !rs->EOF(); rs->MoveNext())
        codigos << rs->value(0).toString();
    return std::nullopt;
}

StepResult creaMapa(db::Transaction& t, const std::vector<CambioCodigo>& cambios) {
    if (StepResult e = t.execute(QStringLiteral("CREATE TABLE ") + kTablaMapa +
                                 QStringLiteral(" (ANTERIOR VARCHAR(50) NOT NULL PRIMARY KEY, "
                                                "NUEVO VARCHAR(50) NOT NULL, LARGO INT NOT NULL)")))
        return e;
    for (size_t desde = 0; desde < cambios.size(); desde += kFilasPorInsert) {
        QStringList filas;
        const size_t hasta = std::min(cambios.size(), desde + kFilasPorInsert);
        for (size_t i = desde; i < hasta; ++i) {
            filas << QStringLiteral("(%1, %2, %3)")
                         .arg(db::sqlQuoted(cambios[i].anterior), db::sqlQuoted(cambios[i].nuevo))
                         .arg(cambios[i].anterior.trimmed().size());
        }
        if (StepResult e = t.execute(QStringLiteral("INSERT INTO ") + kTablaMapa +
                                     QStringLiteral(" (ANTERIOR, NUEVO, LARGO) VALUES ") +
                                     filas.join(QStringLiteral(", "))))
            return e;
    }
    return std::nullopt;
}

// Journal lines of an account missing from the chart whose code an account
// is about to take would silently join that account.
StepResult buscaHuerfanos(db::Transaction& t, QStringList& colisiones) {
    std::unique_ptr<ado::Recordset> rs;
    if (StepResult e = t.execute(
            QStringLiteral("SELECT DISTINCT TOP %1 CUENTA FROM @Admin_MV_ASIENTOS WHERE CUENTA IN "
                           "(SELECT NUEVO FROM %2) AND CUENTA NOT IN (SELECT ANTERIOR FROM %2)")
                .arg(kColisionesMostradas)
                .arg(kTablaMapa),
            nullptr, &rs))
        return e;
    for (; rs && rs->State() == ado::adStateOpen && !rs->EOF(); rs->MoveNext()) {
        colisiones << QStringLiteral("%1 (movimientos de una cuenta que no está en el plan)")
                          .arg(rs->value(0).toString());
    }
    return std::nullopt;
}

StepResult grabaDigitos(db::Transaction& t, const DigitosNiveles& anteriores,
                        const DigitosNiveles& nuevos) {
    for (int nivel = 0; nivel < kNivelesCuenta; ++nivel) {
        if (nuevos[nivel] == anteriores[nivel]) continue;
        const QString clave = db::sqlQuoted(QString::fromLatin1(kClavesDigitosNivel[nivel]));
        const QString valor = db::sqlQuoted(QString::number(nuevos[nivel]));
        long afectados = 0;
        if (StepResult e = t.execute(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = %1, "
                                                    "fechahora_modificacion = GETDATE() "
                                                    "WHERE CLAVE = %2")
                                         .arg(valor, clave),
                                     &afectados))
            return e;
        if (afectados > 0) continue;
        if (StepResult e = t.execute(
                QStringLiteral("INSERT INTO TA_CONFIGURACION (GRUPO, CLAVE, VALOR, DESCRIPCION, "
                               "fechahora_grabacion) VALUES ('DATOS', %1, %2, '.', GETDATE())")
                    .arg(clave, valor)))
            return e;
    }
    return std::nullopt;
}

// The rewrite proper, once the transaction is open; nullopt when it ended
// early with a verdict already in `r`.
StepResult renumera(db::Transaction& t, const DigitosNiveles& esperados,
                    const DigitosNiveles& nuevos, const InformaAvance& avance,
                    const OpcionesRenumeracion& opciones, ResultadoRenumeracion& r) {
    auto guardados = leeDigitos(t);
    if (!guardados) return guardados.error();
    const DigitosNiveles anteriores = *guardados;
    if (anteriores != esperados) {
        return falla(
            QStringLiteral("La estructura del Plan de Cuentas fue modificada desde otra "
                           "estación. Cierre la configuración y vuelva a abrirla."));
    }
    int total = 0;
    for (int nivel = 0; nivel < kNivelesCuenta; ++nivel) {
        if (nuevos[nivel] < anteriores[nivel])
            return falla(QStringLiteral("No se puede reducir la cantidad de Digitos."));
        total += nuevos[nivel];
    }
    if (total > kMaximoDigitos)
        return falla(
            QStringLiteral("La Suma de los dígitos de las cuentas no debe ser mayor a 15."));

    QStringList codigos;
    if (StepResult e = leeCodigos(t, codigos)) return e;
    MapaRenumeracion mapa = calculaRenumeracion(codigos, anteriores, nuevos);
    r.colisiones = mapa.colisiones;
    if (StepResult e = creaMapa(t, mapa.cambios)) return e;
    if (r.colisiones.size() < kColisionesMostradas) {
        if (StepResult e = buscaHuerfanos(t, r.colisiones)) return e;
        while (r.colisiones.size() > kColisionesMostradas) r.colisiones.removeLast();
    }
    if (!r.colisiones.isEmpty()) {
        r.estado = ResultadoRenumeracion::Estado::Colision;
        return std::nullopt;
    }

    Avance a;
    a.totalCuentas = static_cast<std::int64_t>(mapa.cambios.size());
    std::int64_t primero = 0, ultimo = 0;
    if (StepResult e =
            numero(t, QStringLiteral("SELECT COUNT(*) FROM @Admin_MV_ASIENTOS"), a.totalRenglones))
        return e;
    if (StepResult e = numero(t, QStringLiteral("SELECT MIN(ID) FROM @Admin_MV_ASIENTOS"), primero))
        return e;
    if (StepResult e = numero(t, QStringLiteral("SELECT MAX(ID) FROM @Admin_MV_ASIENTOS"), ultimo))
        return e;
    auto sigue = [&] {
        if (avance && !avance(a)) {
            r.estado = ResultadoRenumeracion::Estado::Cancelada;
            return false;
        }
        return true;
    };
    if (!sigue()) return std::nullopt;

    // Longest codes first, one length at a time, so a key is only taken once
    // the account holding it has moved on. Columns that only name an account
    // move after that in one statement each, every value looked up once in
    // the whole mapping (a new code is never shorter than its old one, so
    // the lengths' order changes nothing there), instead of one pass over
    // the voucher headers per length.
    std::vector<ColumnaCuenta> claves{{"MA_CUENTAS", "CODIGO", true}}, referencias;
    for (const ColumnaCuenta& c : kOtrasColumnasCuenta) {
        if (tieneColumna(t, c)) (c.clave ? claves : referencias).push_back(c);
    }
    auto mueve = [&](const ColumnaCuenta& c, const QString& cuales) {
        return t.execute(
            QStringLiteral("UPDATE %3 SET %4 = (SELECT NUEVO FROM %1 WHERE ANTERIOR = "
                           "%3.%4) WHERE %4 IN (SELECT ANTERIOR FROM %1%2)")
                .arg(kTablaMapa, cuales, completa(c.tabla), QString::fromLatin1(c.columna)));
    };
    for (size_t i = 0; i < mapa.cambios.size();) {
        const qsizetype largo = mapa.cambios[i].anterior.trimmed().size();
        size_t j = i;
        while (j < mapa.cambios.size() && mapa.cambios[j].anterior.trimmed().size() == largo) ++j;
        for (const ColumnaCuenta& c : claves) {
            if (StepResult e = mueve(c, QStringLiteral(" WHERE LARGO = %1").arg(largo))) return e;
        }
        a.cuentas = static_cast<std::int64_t>(j);
        i = j;
        if (!sigue()) return std::nullopt;
    }
    for (const ColumnaCuenta& c : referencias) {
        if (StepResult e = mueve(c, QString())) return e;
    }

    // The lines are walked in ID order, each looked up in the mapping: the
    // table is read and written in its own order instead of jumping to each
    // account's lines through the account index, and the engine may rebuild
    // that index once at the end rather than move every line within it.
    // Every line takes a new code from the mapping, so the column's size is
    // checked once against the longest of them instead of on each line.
    std::vector<ado::DeferrableIndex> indices;
    if (StepResult e = t.withDetail(t.connection().DeferIndexes(QStringLiteral("MV_ASIENTOS"),
                                                                QStringLiteral("CUENTA"), indices)))
        return e;
    long largoMaximo = 0;
    for (const CambioCodigo& c : mapa.cambios) {
        // As the guard measures: trailing blanks do not count.
        QStringView codigo(c.nuevo);
        while (codigo.endsWith(u' ')) codigo.chop(1);
        largoMaximo = std::max(largoMaximo, static_cast<long>(codigo.size()));
    }
    if (StepResult e = t.withDetail(t.connection().DeferSizeGuard(
            QStringLiteral("MV_ASIENTOS"), QStringLiteral("CUENTA"), largoMaximo, indices)))
        return e;
    const std::int64_t tanda = std::max<std::int64_t>(1, opciones.renglonesPorTanda);
    for (std::int64_t desde = primero; a.totalRenglones > 0 && desde <= ultimo; desde += tanda) {
        long afectados = 0;
        if (StepResult e = t.execute(
                QStringLiteral("UPDATE @Admin_MV_ASIENTOS SET CUENTA = (SELECT NUEVO FROM %1 WHERE "
                               "ANTERIOR = @Admin_MV_ASIENTOS.CUENTA) WHERE ID >= %2 AND ID < %3 "
                               "AND EXISTS (SELECT 1 FROM %1 WHERE ANTERIOR = "
                               "@Admin_MV_ASIENTOS.CUENTA)")
                    .arg(kTablaMapa)
                    .arg(desde)
                    .arg(desde + tanda),
                &afectados))
            return e;
        r.renglones += afectados;
        a.renglones = std::min(a.totalRenglones, desde + tanda - primero);
        if (!sigue()) return std::nullopt;
    }

    if (StepResult e = t.withDetail(t.connection().RebuildIndexes(indices))) return e;
    if (StepResult e = grabaDigitos(t, anteriores, nuevos)) return e;
    if (StepResult e = historial::RegistraCambio(
            historial::cambioRenumeracion(anteriores, nuevos, a.totalCuentas, r.renglones)))
        return e;
    if (StepResult e = t.execute(QStringLiteral("DROP TABLE ") + kTablaMapa)) return e;
    r.cuentas = a.totalCuentas;
    r.estado = ResultadoRenumeracion::Estado::Hecha;
    return std::nullopt;
}

}  // namespace

QString codigoRenumerado(const QString& codigo, const DigitosNiveles& anteriores,
                         const DigitosNiveles& nuevos) {
    const QString code = codigo.trimmed();
    QString resultado;
    int posicion = 0;
    for (int nivel = 0; nivel < kNivelesCuenta; ++nivel) {
        const int digitos = anteriores[nivel];
        if (!alcanzaNivel(code, posicion, digitos)) break;
        resultado += code.mid(posicion, digitos).rightJustified(nuevos[nivel], QLatin1Char('0'));
        posicion += digitos;
    }
    return resultado + code.mid(posicion);
}

MapaRenumeracion calculaRenumeracion(const QStringList& codigos, const DigitosNiveles& anteriores,
                                     const DigitosNiveles& nuevos) {
    MapaRenumeracion mapa;
    struct Destino {
        QStringList origenes;
        QString codigo;
        bool cambia = false;
    };
    QHash<QString, Destino> destinos;
    QStringList orden;  // final codes in the chart's order, for a stable message
    for (const QString& codigo : codigos) {
        const QString nuevo = codigoRenumerado(codigo, anteriores, nuevos);
        const bool cambia = nuevo != codigo.trimmed();
        if (cambia) mapa.cambios.push_back({codigo, nuevo});
        const QString clave = nuevo.toUpper();
        Destino& destino = destinos[clave];
        if (destino.origenes.isEmpty()) {
            orden << clave;
            destino.codigo = nuevo;
        }
        destino.origenes << codigo.trimmed();
        destino.cambia = destino.cambia || cambia;
    }
    for (const QString& clave : orden) {
        const Destino& destino = destinos[clave];
        if (destino.origenes.size() < 2 || !destino.cambia) continue;
        mapa.colisiones << QStringLiteral("%1 pasarían a %2")
                               .arg(destino.origenes.join(QStringLiteral(" y ")), destino.codigo);
        if (mapa.colisiones.size() == kColisionesMostradas) break;
    }
    std::stable_sort(mapa.cambios.begin(), mapa.cambios.end(),
                     [](const CambioCodigo& a, const CambioCodigo& b) {
                         return a.anterior.trimmed().size() > b.anterior.trimmed().size();
                     });
    return mapa;
}

Result<DigitosNiveles> LeeDigitosGuardados() {
    db::Transaction t;
    return leeDigitos(t);
}

ResultadoRenumeracion RenumeraNiveles(const DigitosNiveles& esperados, const DigitosNiveles& nuevos,
                                      const InformaAvance& avance,
                                      const OpcionesRenumeracion& opciones) {
    ResultadoRenumeracion r;
    db::Transaction t;
    StepResult e = t.begin();
    if (!e) e = renumera(t, esperados, nuevos, avance, opciones, r);
    if (e) {
        t.rollback();
        r.estado = ResultadoRenumeracion::Estado::Fallida;
        r.error = *e;
        return r;
    }
    if (r.estado != ResultadoRenumeracion::Estado::Hecha) {
        t.rollback();
        return r;
    }
    if (StepResult c = t.commit()) {
        r.estado = ResultadoRenumeracion::Estado::Fallida;
        r.error = *c;
    }
    return r;
}

}  // namespace kl::config
