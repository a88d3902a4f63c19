#include "subdiario_pdf.h"

#include "dblayer/db_dll.h"
#include "dblayer/sql_text.h"
#include "platform/conversions.h"
#include "session/brimcor2.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <vector>

namespace kl::klbase {

namespace {

// Points (1/72 inch) on A4 paper.
constexpr double kMargen = 36;
constexpr double kAncho = 595 - 2 * kMargen;
constexpr double kAlto = 842 - 2 * kMargen;
constexpr double kRenglon = 11;
constexpr double kMedianil = 12;
constexpr double kMitad = (kAncho - kMedianil) / 2;  // each side
constexpr double kCuenta = 52;
constexpr double kImporte = 74;
constexpr double kDescripcion = kMitad - kCuenta - kImporte - 4;
// Totals may outgrow an amount column: they take room from the name beside it.
constexpr double kTotal = 2 * kImporte;
constexpr double kPie = 4 * kRenglon;  // room kept for the carried totals

// An amount as printed, and whether the user may see it: the restricted
// view leaves the amount of a confidential account Null.
struct Monto {
    Value valor;
    bool oculto(const QString& cuenta) const {
        return !cuenta.isEmpty() && (valor.isNull() || valor.isEmpty());
    }
};

struct Fila {
    QString cuentaD, descripcionD, cuentaH, descripcionH, concepto;
    Monto importeD, importeH;
};

struct Asiento {
    QString fecha, ejercicio, numero, comprobante, concepto;
    Value total;
    std::vector<Fila> filas;
};

// A column's sum and the amounts it had to leave out.
struct Suma {
    double importe = 0;
    int ocultos = 0;

    void agrega(const QString& cuenta, const Monto& m) {
        if (m.oculto(cuenta))
            ++ocultos;
        else
            importe += m.valor.toDouble();
    }
    Suma& operator+=(const Suma& otra) {
        importe += otra.importe;
        ocultos += otra.ocultos;
        return *this;
    }
};

QString cantidad(int n, const char* una, const char* varias) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? una : varias));
}

// "(sin 2 ocultos)": what a carried total leaves out, or nothing.
QString sinOcultos(int ocultos) {
    if (ocultos == 0) return QString();
    return QStringLiteral(" (sin %1)").arg(cantidad(ocultos, "oculto", "ocultos"));
}

QString importe(const Value& v) {
    if (v.isNull() || v.isEmpty()) return QString();
    return QLocale(QLocale::Spanish, QLocale::Argentina).toString(v.toDouble(), 'f', 2);
}

QString importe(double v) {
    return importe(Value(v));
}

// The text in lines of at most `ancho` points, broken between words; a word
// wider than that is broken where it must.
QStringList renglones(const QString& texto, const QFont& fuente, double ancho) {
    const QFontMetricsF m(fuente);
    QStringList lineas;
    QString linea;
    for (const QString& palabra : texto.split(u' ', Qt::SkipEmptyParts)) {
        const QString junto = linea.isEmpty() ? palabra : linea + u' ' + palabra;
        if (m.horizontalAdvance(junto) <= ancho) {
            linea = junto;
            continue;
        }
        if (!linea.isEmpty()) lineas << linea;
        linea = palabra;
        while (linea.size() > 1 && m.horizontalAdvance(linea) > ancho) {
            qsizetype cabe = linea.size() - 1;
            while (cabe > 1 && m.horizontalAdvance(linea.left(cabe)) > ancho) --cabe;
            lineas << linea.left(cabe);
            linea = linea.mid(cabe);
        }
    }
    if (!linea.isEmpty()) lineas << linea;
    return lineas;
}

class Impresion {
  public:
    Impresion(QPdfWriter& writer, const EncabezadoSubdiario& encabezado)
        : encabezado_(encabezado), painter_(&writer), writer_(writer) {
        normal_ = QFont(QStringLiteral("DejaVu Sans"));
        normal_.setPointSizeF(7.5);
        negrita_ = normal_;
        negrita_.setBold(true);
        italica_ = normal_;
        italica_.setItalic(true);
        painter_.setRenderHint(QPainter::TextAntialiasing);
        encabezaPagina();
    }

    void asiento(const Asiento& a) {
        // An entry starts on a page with room for its head, concept, a row and its
        // total.
        if (y_ + 4 * kRenglon > kAlto - kPie) saltaPagina();
        cabeceraAsiento(a, false);
        Suma debe, haber;
        for (const Fila& f : a.filas) {
            fila(a, f);
            debe.agrega(f.cuentaD, f.importeD);
            haber.agrega(f.cuentaH, f.importeH);
        }
        totalAsiento(debe, haber);
        debe_ += debe;
        haber_ += haber;
        ++asientos_;
    }

    Impreso termina() {
        if (y_ + 3 * kRenglon > kAlto) saltaPagina();
        painter_.setPen(QPen(Qt::black, 0.8));
        raya(0, kAncho, y_);
        y_ += 2;
        lineaTotales(QStringLiteral("Totales del subdiario (%1)")
                         .arg(cantidad(asientos_, "asiento", "asientos")));
        const int ocultos = debe_.ocultos + haber_.ocultos;
        if (ocultos > 0) {
            painter_.setFont(italica_);
            texto(QRectF(0, y_, kAncho, kRenglon),
                  QStringLiteral("Los totales no incluyen %1: pertenecen a cuentas "
                                 "confidenciales que este usuario no puede ver.")
                      .arg(cantidad(ocultos, "importe oculto", "importes ocultos")),
                  Qt::AlignLeft);
            painter_.setFont(normal_);
        }
        painter_.end();
        return {pagina_, asientos_};
    }

  private:
    void texto(const QRectF& r, const QString& t, Qt::Alignment a) {
        painter_.drawText(r.translated(kMargen, kMargen), a | Qt::AlignVCenter, t);
    }

    // A horizontal rule, in the page's coordinates without the margins.
    void raya(double desde, double hasta, double y) {
        painter_.drawLine(QPointF(kMargen + desde, kMargen + y),
                          QPointF(kMargen + hasta, kMargen + y));
    }

    QStringList nombre(const QString& descripcion) const {
        return renglones(descripcion, normal_, kDescripcion);
    }

    void fila(const Asiento& a, const Fila& f) {
        const QStringList d = nombre(f.descripcionD), h = nombre(f.descripcionH);
        const QStringList concepto = !f.concepto.isEmpty() && f.concepto != a.concepto
                                         ? renglones(f.concepto, italica_, kAncho - kCuenta)
                                         : QStringList();
        const double alto =
            kRenglon * (std::max<qsizetype>({1, d.size(), h.size()}) + concepto.size());
        if (y_ + alto > kAlto - kPie) {
            saltaPagina();
            cabeceraAsiento(a, true);
        }
        const double renglonesLado = std::max<qsizetype>({1, d.size(), h.size()});
        lado(0, f.cuentaD, d, f.importeD);
        lado(kMitad + kMedianil, f.cuentaH, h, f.importeH);
        y_ += kRenglon * renglonesLado;
        painter_.setFont(italica_);
        for (const QString& linea : concepto) {
            texto(QRectF(kCuenta, y_, kAncho - kCuenta, kRenglon), linea, Qt::AlignLeft);
            y_ += kRenglon;
        }
        painter_.setFont(normal_);
    }

    void lado(double x, const QString& cuenta, const QStringList& nombre, const Monto& monto) {
        texto(QRectF(x, y_, kCuenta, kRenglon), cuenta, Qt::AlignLeft);
        if (monto.oculto(cuenta)) {
            painter_.setFont(italica_);
            painter_.setPen(Qt::darkGray);
            if (nombre.isEmpty())
                texto(QRectF(x + kCuenta, y_, kDescripcion, kRenglon),
                      QStringLiteral("cuenta confidencial"), Qt::AlignLeft);
            texto(QRectF(x + kMitad - kImporte, y_, kImporte, kRenglon), QStringLiteral("oculto"),
                  Qt::AlignRight);
            painter_.setPen(Qt::black);
            painter_.setFont(normal_);
        } else {
            texto(QRectF(x + kMitad - kImporte, y_, kImporte, kRenglon), importe(monto.valor),
                  Qt::AlignRight);
        }
        for (qsizetype i = 0; i < nombre.size(); ++i)
            texto(QRectF(x + kCuenta, y_ + i * kRenglon, kDescripcion, kRenglon), nombre[i],
                  Qt::AlignLeft);
    }

    // A side with hidden amounts has no sum to show: it says how many it
    // cannot add, and whether the entry balances cannot be told.
    void totalAsiento(const Suma& debe, const Suma& haber) {
        painter_.setPen(QPen(Qt::gray, 0.4));
        raya(kMitad - kImporte, kMitad, y_ + 1);
        raya(kAncho - kImporte, kAncho, y_ + 1);
        painter_.setPen(Qt::black);
        painter_.setFont(negrita_);
        const bool balancea = qRound64(debe.importe * 100) == qRound64(haber.importe * 100);
        texto(QRectF(kCuenta, y_ + 1, kDescripcion, kRenglon),
              debe.ocultos + haber.ocultos == 0 && !balancea
                  ? QStringLiteral("Total del asiento (no balancea)")
                  : QStringLiteral("Total del asiento"),
              Qt::AlignLeft);
        totalLado(kMitad, debe);
        totalLado(kAncho, haber);
        painter_.setFont(normal_);
        y_ += kRenglon * 1.8;
    }

    void totalLado(double derecha, const Suma& suma) {
        const QRectF celda(derecha - kTotal, y_ + 1, kTotal, kRenglon);
        if (suma.ocultos == 0) {
            texto(celda, importe(suma.importe), Qt::AlignRight);
            return;
        }
        painter_.setFont(italica_);
        painter_.setPen(Qt::darkGray);
        texto(celda, cantidad(suma.ocultos, "oculto", "ocultos"), Qt::AlignRight);
        painter_.setPen(Qt::black);
        painter_.setFont(negrita_);
    }

    void cabeceraAsiento(const Asiento& a, bool continua) {
        painter_.fillRect(QRectF(kMargen, kMargen + y_, kAncho, kRenglon), QColor(235, 235, 235));
        painter_.setFont(negrita_);
        QString cabeza = a.fecha + QStringLiteral("   ") + a.ejercicio +
                         QStringLiteral("   Asiento ") + a.numero;
        if (!a.comprobante.isEmpty()) cabeza += QStringLiteral("   ") + a.comprobante;
        if (continua) cabeza += QStringLiteral("   (continuación)");
        texto(QRectF(2, y_, kAncho * 0.7, kRenglon), cabeza, Qt::AlignLeft);
        painter_.setFont(normal_);
        if (!a.total.isNull() && !a.total.isEmpty())
            texto(QRectF(kAncho * 0.7, y_, kAncho * 0.3 - 2, kRenglon),
                  QStringLiteral("Total comprobante $ ") + importe(a.total), Qt::AlignRight);
        y_ += kRenglon + 1;
        if (a.concepto.isEmpty() || continua) return;
        painter_.setFont(italica_);
        for (const QString& linea : renglones(a.concepto, italica_, kAncho - 2)) {
            texto(QRectF(2, y_, kAncho - 2, kRenglon), linea, Qt::AlignLeft);
            y_ += kRenglon;
        }
        painter_.setFont(normal_);
    }

    void lineaTotales(const QString& que) {
        painter_.setFont(negrita_);
        texto(QRectF(0, y_, kMitad - kImporte - 4, kRenglon), que, Qt::AlignLeft);
        texto(QRectF(kMitad - kTotal, y_, kTotal, kRenglon), importe(debe_.importe),
              Qt::AlignRight);
        texto(QRectF(kAncho - kTotal, y_, kTotal, kRenglon), importe(haber_.importe),
              Qt::AlignRight);
        painter_.setFont(normal_);
        y_ += kRenglon;
    }

    void saltaPagina() {
        painter_.setPen(QPen(Qt::black, 0.5));
        raya(0, kAncho, y_);
        y_ += 2;
        const QString transporte =
            QStringLiteral("Transporte") + sinOcultos(debe_.ocultos + haber_.ocultos);
        lineaTotales(transporte);
        writer_.newPage();
        encabezaPagina();
        lineaTotales(transporte);
        y_ += kRenglon / 2;
    }

    void encabezaPagina() {
        ++pagina_;
        y_ = 0;
        QFont titulo = negrita_;
        titulo.setPointSizeF(12);
        painter_.setFont(titulo);
        texto(QRectF(0, y_, kAncho * 0.75, 16), encabezado_.empresa, Qt::AlignLeft);
        painter_.setFont(normal_);
        texto(QRectF(kAncho * 0.75, y_, kAncho * 0.25, 16),
              QStringLiteral("Página %1").arg(pagina_), Qt::AlignRight);
        y_ += 16;
        titulo.setPointSizeF(10);
        painter_.setFont(titulo);
        texto(QRectF(0, y_, kAncho, 14), tituloSubdiario(encabezado_), Qt::AlignLeft);
        y_ += 20;
        painter_.setFont(negrita_);
        for (double x : {0.0, kMitad + kMedianil}) {
            const bool debe = x == 0;
            texto(QRectF(x, y_, kMitad, kRenglon),
                  debe ? QStringLiteral("Debe") : QStringLiteral("Haber"), Qt::AlignHCenter);
            texto(QRectF(x, y_ + kRenglon, kCuenta, kRenglon), QStringLiteral("Cuenta"),
                  Qt::AlignLeft);
            texto(QRectF(x + kCuenta, y_ + kRenglon, kDescripcion, kRenglon),
                  QStringLiteral("Descripción"), Qt::AlignLeft);
            texto(QRectF(x + kMitad - kImporte, y_ + kRenglon, kImporte, kRenglon),
                  QStringLiteral("Importe"), Qt::AlignRight);
        }
        painter_.setFont(normal_);
        y_ += 2 * kRenglon + 2;
        painter_.setPen(QPen(Qt::black, 0.8));
        raya(0, kAncho, y_);
        painter_.drawLine(QPointF(kMargen + kMitad + kMedianil / 2, kMargen + y_ - 2 * kRenglon),
                          QPointF(kMargen + kMitad + kMedianil / 2, kMargen + y_));
        painter_.setPen(Qt::black);
        y_ += 4;
    }

    const EncabezadoSubdiario& encabezado_;
    QPainter painter_;
    QPdfWriter& writer_;
    QFont normal_, negrita_, italica_;
    double y_ = 0;  // from the top margin
    int pagina_ = 0;
    int asientos_ = 0;
    Suma debe_, haber_;
};

QString texto(const ado::Recordset& rs, const char* columna) {
    return Brimcor2::ValorNoNulo(rs.value(QString::fromLatin1(columna))).trimmed();
}

QString comprobante(const ado::Recordset& rs) {
    const QString tc = texto(rs, "TC");
    if (tc.isEmpty()) return QString();
    return QStringLiteral("%1 %2-%3 %4")
        .arg(tc, texto(rs, "SUCURSAL"), texto(rs, "NUMERO"), texto(rs, "LETRA"))
        .trimmed();
}

// How each fiscal year is called in the entries' heads: its description
// ("Ejercicio 2025"), else its number.
QHash<QString, QString> nombresEjercicios(db::DB_Dll& db) {
    QHash<QString, QString> nombres;
    QString sql = QStringLiteral("SELECT PERIODO, DESCRIPCION FROM MV_EJERCICIOS ORDER BY PERIODO");
    ado::Recordset rs;
    db.AbrirRecordset(sql, rs);
    for (; rs.State() == ado::adStateOpen && !rs.EOF(); rs.MoveNext()) {
        const QString descripcion = texto(rs, "DESCRIPCION");
        if (descripcion.isEmpty()) continue;
        nombres.insert(texto(rs, "PERIODO"),
                       descripcion.contains(QStringLiteral("ejercicio"), Qt::CaseInsensitive)
                           ? descripcion
                           : QStringLiteral("Ejercicio ") + descripcion);
    }
    db.CierraRecordset(rs);
    return nombres;
}

}  // namespace

QString tituloSubdiario(const EncabezadoSubdiario& e) {
    const QString rango = QStringLiteral("del %1 al %2").arg(e.desde, e.hasta);
    if (e.subdiario.trimmed().isEmpty()) return QStringLiteral("Libro Subdiario ") + rango;
    return QStringLiteral("Libro Subdiario %1 - %2").arg(e.subdiario.trimmed(), rango);
}

StepResult imprimeSubdiario(const QString& usuario, const EncabezadoSubdiario& encabezado,
                            const QString& salida, Impreso& impreso) {
    db::DB_Dll& db = db::sharedDb();
    const QHash<QString, QString> ejercicios = nombresEjercicios(db);
    QString sql = QStringLiteral("SELECT * FROM AUX_SUBDIARIOS WHERE RTRIM(LTRIM(USUARIO)) = ") +
                  db::sqlQuoted(usuario.trimmed()) +
                  QStringLiteral(" ORDER BY PERIODO, MES_OPERATIVO, [NUMERO ASIENTO], ID");
    ado::Recordset rs;
    db.AbrirRecordset(sql, rs);
    if (rs.State() != ado::adStateOpen)
        return RunError{1, QStringLiteral("no se pudieron leer las filas de AUX_SUBDIARIOS"),
                        QStringLiteral("klbase")};

    QPdfWriter writer(salida);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(tituloSubdiario(encabezado));
    writer.setCreator(QStringLiteral("klbase"));
    Impresion impresion(writer, encabezado);

    Asiento actual;
    QString clave;
    for (; !rs.EOF(); rs.MoveNext()) {
        const QString periodo = texto(rs, "PERIODO");
        const QString estaClave =
            periodo + u'/' + texto(rs, "MES_OPERATIVO") + u'/' + texto(rs, "NUMERO ASIENTO");
        if (estaClave != clave) {
            if (!actual.filas.empty()) impresion.asiento(actual);
            clave = estaClave;
            actual = Asiento{};
            actual.fecha = conv::formatDate(rs.value(QStringLiteral("FECHA")).toDateTime().date());
            actual.ejercicio =
                ejercicios.value(periodo, QStringLiteral("Ejercicio %1").arg(periodo));
            actual.numero =
                QStringLiteral("%1-%2")
                    .arg(texto(rs, "MES_OPERATIVO").toInt(), 4, 10, QLatin1Char('0'))
                    .arg(texto(rs, "NUMERO ASIENTO").toLongLong(), 7, 10, QLatin1Char('0'));
            actual.comprobante = comprobante(rs);
            actual.concepto = texto(rs, "CONCEPTO");
            actual.total = rs.value(QStringLiteral("CABIMPORTE"));
        }
        actual.filas.push_back({texto(rs, "CUENTA_D"),
                                texto(rs, "DESCRIPCION_D"),
                                texto(rs, "CUENTA_H"),
                                texto(rs, "DESCRIPCION_H"),
                                texto(rs, "CONCEPTO"),
                                {rs.value(QStringLiteral("IMPORTE_D"))},
                                {rs.value(QStringLiteral("IMPORTE_H"))}});
    }
    if (!actual.filas.empty()) impresion.asiento(actual);
    impreso = impresion.termina();
    return std::nullopt;
}

}  // namespace kl::klbase
