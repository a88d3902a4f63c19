#include "accounting/auxiliar_subdiarios.h"

#include "accounting/lbc_asiento.h"
#include "dblayer/db_dll.h"
#include "dblayer/sql_text.h"
#include "dblayer/transaction.h"
#include "platform/ado/transaction_scope.h"
#include "platform/collation.h"
#include "platform/conversions.h"
#include "platform/dialogs.h"
#include "progress/dll_display.h"
#include "session/aviso_operador.h"
#include "session/brimcor2.h"
#include "session/sesion.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

namespace kl::accounting {

namespace {

// Entries whose lines one statement reads: bounds the lines held at once.
constexpr size_t kAsientosPorLectura = 500;
// Rows per INSERT; SQL Server takes at most 1000 in one VALUES.
constexpr int kFilasPorInsert = 200;

// An entry's key in the order the report walks them: fiscal year, month,
// number (each year numbers its entries from 1 again).
struct Clave {
    std::int64_t periodo = 0;
    std::int64_t mes = 0;
    std::int64_t numero = 0;
    auto operator<=>(const Clave&) const = default;
};

Clave claveDe(const Value& periodo, const Value& mes, const Value& numero) {
    const auto entero = [](const Value& v) {
        return static_cast<std::int64_t>(conv::leadingNumber(Brimcor2::ValorNoNulo(v)));
    };
    return {entero(periodo), entero(mes), entero(numero)};
}

// The columns of MV_ASIENTOS the rows take, in the order the lines are read.
const QString kColumnasLinea = QStringLiteral(
    "PERIODO, MES_OPERATIVO, [NUMERO ASIENTO], [DEBE-HABER], FECHA, TC, SUCURSAL, NUMERO, LETRA, "
    "CABIMPORTE, CUENTA, IMPORTE, DETALLE");
enum ColumnaLinea {
    cPeriodo,
    cMes,
    cNumero,
    cDebeHaber,
    cFecha,
    cTc,
    cSucursal,
    cNumeroCpte,
    cLetra,
    cCabimporte,
    cCuenta,
    cImporte,
    cDetalle,
    kColumnasPorLinea
};

struct Linea {
    Clave clave;
    std::array<Value, kColumnasPorLinea> v;
};

const QString kInsert = QStringLiteral(
    "INSERT INTO AUX_SUBDIARIOS (Usuario, Periodo, Mes_Operativo, [numero asiento], fecha, TC, "
    "Sucursal, Numero, letra, Cabimporte, cuenta_D, descripcion_D, importe_D, Concepto, "
    "cuenta_H, descripcion_H, importe_H) VALUES ");

// The account names by code, as a lookup of the trimmed code finds them:
// letter case ignored, the first account of a code wins.
class NombresCuentas {
  public:
    StepResult carga(db::Transaction& t) {
        nombres_.clear();
        return t.read(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS"),
                      [this](ado::Recordset& rs) {
                          const QString codigo = clave(rs.value(0));
                          if (!nombres_.contains(codigo))
                              nombres_.insert(codigo, Brimcor2::ValorNoNulo(rs.value(1)));
                      });
    }
    QString de(const Value& cuenta) const { return nombres_.value(clave(cuenta)); }

  private:
    static QString clave(const Value& codigo) {
        return collation::foldCase(Brimcor2::ValorNoNulo(codigo).trimmed());
    }
    QHash<QString, QString> nombres_;
};

// Rows waiting to be written, as SQL values.
class Filas {
  public:
    Filas(db::Transaction& t, const FailureNotice& aviso)
        : t_(t),
          aviso_(aviso),
          porInsert_(t.connection().engine() == ado::Engine::Oracle ? 1 : kFilasPorInsert) {}

    QString literal(const Value& v) const {
        switch (v.kind()) {
            case Value::Kind::Empty:
            case Value::Kind::Null:
                return QStringLiteral("NULL");
            case Value::Kind::Text:
                return db::sqlQuoted(v.toString());
            case Value::Kind::Date:
                return t_.connection().dateLiteral(v.toDateTime());
            case Value::Kind::Boolean:
                return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
            default:
                return db::DB_Dll::SQLValue(v, QStringLiteral("@")).toString();
        }
    }

    // False when the operator left the report at a failed write.
    bool agrega(const QString& fila) {
        pendientes_ << fila;
        return pendientes_.size() < porInsert_ || vacia();
    }

    // Writes the rows waiting. A failed statement is written again row by
    // row, so that the notice names the row that fails and Ignore drops only
    // that one.
    bool vacia() {
        if (pendientes_.isEmpty()) return true;
        const QStringList filas = std::exchange(pendientes_, {});
        if (!t_.execute(kInsert + filas.join(QStringLiteral(", ")))) {
            escritas_ += filas.size();
            return true;
        }
        for (const QString& fila : filas) {
            const StepOutcome r = runStep([&] { return t_.execute(kInsert + fila); }, aviso_);
            if (r == StepOutcome::Abandoned) return false;
            if (r == StepOutcome::Done) ++escritas_;
        }
        return true;
    }

    std::int64_t escritas() const { return escritas_; }

  private:
    db::Transaction& t_;
    const FailureNotice& aviso_;
    const qsizetype porInsert_;
    QStringList pendientes_;
    std::int64_t escritas_ = 0;
};

class Generacion {
  public:
    Generacion(const QString& tipoSub, AvanceSubdiarios& avance)
        : tipoSub_(db::sqlQuoted(tipoSub.trimmed())),
          avance_(avance),
          aviso_(avisoOperadorPara(QString::fromLatin1(subdiarios::kRutina))),
          filas_(t_, aviso_),
          usuario_(filas_.literal(Value(sesion().gUsuarioLogeado))) {}

    ResultadoSubdiarios genera(QString& desde, const QString& hasta, const QString& titulo) {
        if (!paso([&] { return t_.begin(); })) return deshecho();
        if (!paso([&] {
                return t_.execute(QStringLiteral("DELETE AUX_SUBDIARIOS WHERE "
                                                 "RTRIM(LTRIM(USUARIO)) = ") +
                                  db::sqlQuoted(sesion().gUsuarioLogeado.trimmed()));
            }))
            return deshecho();
        if (desde.trimmed().isEmpty()) desde = QString::fromLatin1(subdiarios::kDesdeVacio);
        if (!paso([&] { return leeAsientos(desde, hasta); })) return deshecho();
        if (!paso([&] { return nombres_.carga(t_); })) return deshecho();
        if (!asientos_.empty()) {
            avance_.inicia(titulo);
            notificando_ = true;
            if (!recorre(titulo)) return deshecho();
            if (!filas_.vacia()) return deshecho();
            avance_.termina();
            notificando_ = false;
        }
        if (!paso([&] { return t_.commit(); })) return deshecho();
        r_.filas = filas_.escritas();
        return r_;
    }

  private:
    bool paso(const Step& step) { return runStep(step, aviso_) != StepOutcome::Abandoned; }

    ResultadoSubdiarios deshecho() {
        t_.rollback();
        if (notificando_) avance_.termina();
        r_.estado = ResultadoSubdiarios::Estado::Deshecho;
        r_.filas = 0;
        return r_;
    }

    // The entries of the journal with a line in the range, year by year.
    StepResult leeAsientos(const QString& desde, const QString& hasta) {
        asientos_.clear();
        return t_.read(QStringLiteral("SELECT DISTINCT Periodo,[MES_OPERATIVO],[NUMERO ASIENTO] "
                                      "FROM MV_ASIENTOS WHERE RTRIM(LTRIM(TIPO_REG)) = ") +
                           tipoSub_ + QStringLiteral(" AND FECHA >= ") +
                           Brimcor2::FechaSQL(Value(desde)) + QStringLiteral(" AND FECHA <= ") +
                           Brimcor2::FechaSQL(Value(hasta)) +
                           QStringLiteral(" ORDER BY Periodo,[MES_OPERATIVO],[NUMERO ASIENTO]"),
                       [this](ado::Recordset& rs) {
                           asientos_.push_back(claveDe(rs.value(0), rs.value(1), rs.value(2)));
                       });
    }

    // Every line of the entries [desde, hasta) of the list, whatever its
    // date, in entry order and by account within an entry.
    StepResult leeLineas(size_t desde, size_t hasta) {
        lineas_.clear();
        std::set<std::int64_t> periodos;
        // A batch may cross into the next year, whose months start again.
        std::int64_t minMes = asientos_[desde].mes, maxMes = minMes;
        std::int64_t minNumero = asientos_[desde].numero, maxNumero = minNumero;
        for (size_t i = desde; i < hasta; ++i) {
            periodos.insert(asientos_[i].periodo);
            minMes = std::min(minMes, asientos_[i].mes);
            maxMes = std::max(maxMes, asientos_[i].mes);
            minNumero = std::min(minNumero, asientos_[i].numero);
            maxNumero = std::max(maxNumero, asientos_[i].numero);
        }
        QStringList listaPeriodos;
        for (std::int64_t p : periodos) listaPeriodos << QString::number(p);
        return t_.read(
            QStringLiteral("SELECT ") + kColumnasLinea +
                QStringLiteral(" FROM MV_ASIENTOS WHERE RTRIM(LTRIM(TIPO_REG)) = ") + tipoSub_ +
                QStringLiteral(" AND [DEBE-HABER] IN ('D', 'H') AND PERIODO IN (%1) AND "
                               "MES_OPERATIVO >= %2 AND MES_OPERATIVO <= %3 AND [NUMERO ASIENTO] "
                               ">= %4 AND [NUMERO ASIENTO] <= %5 ORDER BY PERIODO, "
                               "MES_OPERATIVO, [NUMERO ASIENTO], CUENTA, ID")
                    .arg(listaPeriodos.join(QStringLiteral(", ")))
                    .arg(minMes)
                    .arg(maxMes)
                    .arg(minNumero)
                    .arg(maxNumero),
            [this](ado::Recordset& rs) {
                Linea l;
                for (int c = 0; c < kColumnasPorLinea; ++c) l.v[c] = rs.value(c);
                l.clave = claveDe(l.v[cPeriodo], l.v[cMes], l.v[cNumero]);
                lineas_.push_back(std::move(l));
            });
    }

    bool recorre(const QString& titulo) {
        for (size_t tanda = 0; tanda < asientos_.size(); tanda += kAsientosPorLectura) {
            const size_t fin = std::min(asientos_.size(), tanda + kAsientosPorLectura);
            if (!paso([&] { return leeLineas(tanda, fin); })) return false;
            size_t linea = 0;
            for (size_t i = tanda; i < fin; ++i) {
                const Clave& clave = asientos_[i];
                const QString l1 = QStringLiteral("Generando el Reporte");
                const QString l2 = subdiarios::lineaAsiento(clave.mes, clave.numero);
                if (avance_.muestra(l1, l2, static_cast<std::int64_t>(i) + 1,
                                    static_cast<std::int64_t>(asientos_.size()))) {
                    if (avance_.confirmaAbortar()) {
                        r_.estado = ResultadoSubdiarios::Estado::Abortado;
                        return true;
                    }
                    avance_.reanuda(titulo, l1 + u' ', l2);
                }
                ++r_.asientos;
                while (linea < lineas_.size() && lineas_[linea].clave < clave) ++linea;
                std::vector<const Linea*> debe, haber;
                for (; linea < lineas_.size() && lineas_[linea].clave == clave; ++linea) {
                    const Linea& l = lineas_[linea];
                    const bool esDebe =
                        Brimcor2::ValorNoNulo(l.v[cDebeHaber]).trimmed().toUpper() == u"D";
                    (esDebe ? debe : haber).push_back(&l);
                }
                if (!debe.empty() || !haber.empty()) ++r_.asientosConFilas;
                if (!escribeAsiento(debe, haber)) return false;
            }
        }
        return true;
    }

    // The longer side drives, the debits on a tie; the other side fills the
    // rows from the top.
    bool escribeAsiento(const std::vector<const Linea*>& debe,
                        const std::vector<const Linea*>& haber) {
        const bool guiaDebe = debe.size() >= haber.size();
        const std::vector<const Linea*>& guia = guiaDebe ? debe : haber;
        const std::vector<const Linea*>& otra = guiaDebe ? haber : debe;
        for (size_t i = 0; i < guia.size(); ++i) {
            const Linea& g = *guia[i];
            const Linea* o = i < otra.size() ? otra[i] : nullptr;
            const Linea* d = guiaDebe ? &g : o;
            const Linea* h = guiaDebe ? o : &g;
            // A credit-driven row shows the day without its time (the module
            // formats it dd/mm/yy); the column keeps the full year, which a
            // two-digit text would lose from 2030 on.
            const Value fecha =
                guiaDebe
                    ? g.v[cFecha]
                    : (g.v[cFecha].isNull() ? g.v[cFecha] : Value(g.v[cFecha].toDateTime().date()));
            QStringList valores{usuario_,
                                filas_.literal(g.v[cPeriodo]),
                                filas_.literal(g.v[cMes]),
                                filas_.literal(g.v[cNumero]),
                                filas_.literal(fecha),
                                texto(g.v[cTc]),
                                texto(g.v[cSucursal]),
                                texto(g.v[cNumeroCpte]),
                                texto(g.v[cLetra]),
                                filas_.literal(g.v[cCabimporte])};
            lado(d, valores);
            valores << texto(g.v[cDetalle]);
            lado(h, valores);
            if (!filas_.agrega(u'(' + valores.join(QStringLiteral(", ")) + u')')) return false;
        }
        return true;
    }

    QString texto(const Value& v) const { return db::sqlQuoted(Brimcor2::ValorNoNulo(v)); }

    void lado(const Linea* l, QStringList& valores) const {
        if (!l) {
            valores << QStringLiteral("NULL") << QStringLiteral("NULL") << QStringLiteral("NULL");
            return;
        }
        valores << texto(l->v[cCuenta]) << db::sqlQuoted(nombres_.de(l->v[cCuenta]))
                << filas_.literal(l->v[cImporte]);
    }

    const QString tipoSub_;
    AvanceSubdiarios& avance_;
    const FailureNotice aviso_;
    db::Transaction t_;
    Filas filas_;
    const QString usuario_;
    NombresCuentas nombres_;
    std::vector<Clave> asientos_;
    std::vector<Linea> lineas_;
    bool notificando_ = false;
    ResultadoSubdiarios r_;
};

}  // namespace

QString subdiarios::titulo(bool esArchivoLegal) {
    return esArchivoLegal ? QStringLiteral("Archivo Legal de Información")
                          : QStringLiteral("Generando Reporte de Subdiarios");
}

QString subdiarios::lineaAsiento(std::int64_t mes, std::int64_t numero) {
    return QStringLiteral("%1-%2")
        .arg(mes, 4, 10, QLatin1Char('0'))
        .arg(numero, 7, 10, QLatin1Char('0'));
}

void CartelSubdiarios::inicia(const QString& titulo) {
    dllDisplay().CartelInicio(titulo, true);
    Brimcor2::ModoEspera(true);
}

bool CartelSubdiarios::muestra(const QString& linea1, const QString& linea2, std::int64_t,
                               std::int64_t) {
    bool cancelado = false;
    dllDisplay().CartelMostrar(cancelado, Value(linea1), Value(linea2));
    return cancelado;
}

bool CartelSubdiarios::confirmaAbortar() {
    dllDisplay().Siempre_Visible(false);
    return MsgBox(QStringLiteral("¿Realmente desea abortar el proceso?"),
                  mb::YesNo | mb::Question) == answer::Yes;
}

void CartelSubdiarios::reanuda(const QString& titulo, const QString& linea1,
                               const QString& linea2) {
    Dll_Display& cartel = dllDisplay();
    cartel.CartelCerrar();
    cartel.CartelInicio(titulo, true);
    bool cancelado = false;
    cartel.CartelMostrar(cancelado, Value(linea1), Value(linea2));
    cartel.Siempre_Visible(true);
}

void CartelSubdiarios::termina() {
    Brimcor2::ModoEspera(false);
    dllDisplay().CartelCerrar();
}

ResultadoSubdiarios Lbc_Asiento::GeneraAuxiliarSubdiarios(QString& Fecha_Desde,
                                                          QString& Fecha_Hasta,
                                                          const QString& TipoSub,
                                                          const Value& EsArchivoLegal,
                                                          AvanceSubdiarios* avance) {
    CartelSubdiarios cartel;
    Generacion generacion(TipoSub, avance ? *avance : cartel);
    const bool legal =
        !EsArchivoLegal.isEmpty() && !EsArchivoLegal.isNull() && EsArchivoLegal.toBool();
    return generacion.genera(Fecha_Desde, Fecha_Hasta, subdiarios::titulo(legal));
}

}  // namespace kl::accounting
