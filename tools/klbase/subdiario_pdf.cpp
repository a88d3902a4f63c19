#include "subdiario_pdf.h"

#include "dblayer/db_dll.h"
#include "dblayer/sql_text.h"
#include "platform/conversions.h"
#include "session/brimcor2.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <vector>

namespace kl::klbase {

namespace {

// Points (1/72 inch) on A4 paper.
constexpr double kMargen = 36;
constexpr double kAncho = 595 - 2 * kMargen;
constexpr double kAlto = 842 - 2 * kMargen;
constexpr double kRenglon = 11;
constexpr double kMitad = (kAncho - 12) / 2;  // each side, with a gutter between
constexpr double kCuenta = 62;
constexpr double kImporte = 74;
// Totals may outgrow an amount column: they take room from the name beside it.
constexpr double kTotal = 2 * kImporte;
constexpr double kPie = 3 * kRenglon;  // room kept for the carried totals

struct Fila {
    QString cuentaD, descripcionD, cuentaH, descripcionH, concepto;
    Value importeD, importeH;
};

struct Asiento {
    QString fecha, numero, comprobante, concepto;
    Value total;
    std::vector<Fila> filas;
};

QString importe(const Value& v) {
    if (v.isNull() || v.isEmpty()) return QString();
    return QLocale(QLocale::Spanish, QLocale::Argentina).toString(v.toDouble(), 'f', 2);
}

QString importe(double v) {
    return importe(Value(v));
}

class Impresion {
  public:
    Impresion(QPdfWriter& writer, const EncabezadoSubdiario& encabezado)
        : encabezado_(encabezado), painter_(&writer), writer_(writer) {
        normal_ = QFont(QStringLiteral("DejaVu Sans"));
        normal_.setPointSizeF(7.5);
        negrita_ = normal_;
        negrita_.setBold(true);
        painter_.setRenderHint(QPainter::TextAntialiasing);
        encabezaPagina();
    }

    void asiento(const Asiento& a) {
        // An entry starts on a page with room for its head, concept, a row and its
        // total.
        if (y_ + 4 * kRenglon > kAlto - kPie) saltaPagina();
        cabeceraAsiento(a, false);
        double debe = 0, haber = 0;
        for (const Fila& f : a.filas) {
            if (y_ + kRenglon > kAlto - kPie) {
                saltaPagina();
                cabeceraAsiento(a, true);
            }
            lado(0, f.cuentaD, f.descripcionD, f.importeD);
            lado(kMitad + 12, f.cuentaH, f.descripcionH, f.importeH);
            if (!f.concepto.isEmpty() && f.concepto != a.concepto) {
                y_ += kRenglon;
                texto(QRectF(kCuenta, y_, kAncho - kCuenta, kRenglon), f.concepto, Qt::AlignLeft,
                      true);
            }
            y_ += kRenglon;
            debe += f.importeD.toDouble();
            haber += f.importeH.toDouble();
        }
        painter_.setPen(QPen(Qt::gray, 0.4));
        raya(kMitad - kImporte, kMitad, y_ + 1);
        raya(kAncho - kImporte, kAncho, y_ + 1);
        painter_.setPen(Qt::black);
        painter_.setFont(negrita_);
        const bool balancea = qRound64(debe * 100) == qRound64(haber * 100);
        texto(QRectF(kCuenta, y_ + 1, kMitad - kCuenta - kImporte, kRenglon),
              balancea ? QStringLiteral("Total del asiento")
                       : QStringLiteral("Total del asiento (no balancea)"),
              Qt::AlignLeft);
        texto(QRectF(kMitad - kTotal, y_ + 1, kTotal, kRenglon), importe(debe), Qt::AlignRight);
        texto(QRectF(kAncho - kTotal, y_ + 1, kTotal, kRenglon), importe(haber), Qt::AlignRight);
        painter_.setFont(normal_);
        y_ += kRenglon * 1.8;
        totalDebe_ += debe;
        totalHaber_ += haber;
        ++asientos_;
    }

    int termina() {
        if (y_ + 2 * kRenglon > kAlto) saltaPagina();
        painter_.setPen(QPen(Qt::black, 0.8));
        raya(0, kAncho, y_);
        y_ += 2;
        lineaTotales(QStringLiteral("Totales del subdiario (%1 asientos)").arg(asientos_));
        painter_.end();
        return pagina_;
    }

  private:
    void texto(const QRectF& r, const QString& t, Qt::Alignment a, bool italica = false) {
        QFont f = painter_.font();
        f.setItalic(italica);
        painter_.setFont(f);
        const QString cabe = QFontMetricsF(f).elidedText(t, Qt::ElideRight, r.width());
        painter_.drawText(r.translated(kMargen, kMargen), a | Qt::AlignVCenter, cabe);
        f.setItalic(false);
        painter_.setFont(f);
    }

    // A horizontal rule, in the page's coordinates without the margins.
    void raya(double desde, double hasta, double y) {
        painter_.drawLine(QPointF(kMargen + desde, kMargen + y),
                          QPointF(kMargen + hasta, kMargen + y));
    }

    void lado(double x, const QString& cuenta, const QString& descripcion, const Value& monto) {
        texto(QRectF(x, y_, kCuenta, kRenglon), cuenta, Qt::AlignLeft);
        texto(QRectF(x + kCuenta, y_, kMitad - kCuenta - kImporte - 4, kRenglon), descripcion,
              Qt::AlignLeft);
        texto(QRectF(x + kMitad - kImporte, y_, kImporte, kRenglon), importe(monto),
              Qt::AlignRight);
    }

    void cabeceraAsiento(const Asiento& a, bool continua) {
        painter_.fillRect(QRectF(kMargen, kMargen + y_, kAncho, kRenglon), QColor(235, 235, 235));
        painter_.setFont(negrita_);
        QString cabeza = a.fecha + QStringLiteral("   Asiento ") + a.numero;
        if (!a.comprobante.isEmpty()) cabeza += QStringLiteral("   ") + a.comprobante;
        if (continua) cabeza += QStringLiteral("   (continuación)");
        const double total = kAncho * 0.3;
        texto(QRectF(2, y_, kAncho - total, kRenglon), cabeza, Qt::AlignLeft);
        painter_.setFont(normal_);
        if (!a.total.isNull() && !a.total.isEmpty())
            texto(QRectF(kAncho - total, y_, total - 2, kRenglon),
                  QStringLiteral("Total comprobante $ ") + importe(a.total), Qt::AlignRight);
        y_ += kRenglon + 1;
        if (a.concepto.isEmpty()) return;
        texto(QRectF(2, y_, kAncho - 2, kRenglon), a.concepto, Qt::AlignLeft, true);
        y_ += kRenglon;
    }

    void lineaTotales(const QString& que) {
        painter_.setFont(negrita_);
        texto(QRectF(0, y_, kMitad - kImporte - 4, kRenglon), que, Qt::AlignLeft);
        texto(QRectF(kMitad - kTotal, y_, kTotal, kRenglon), importe(totalDebe_), Qt::AlignRight);
        texto(QRectF(kAncho - kTotal, y_, kTotal, kRenglon), importe(totalHaber_), Qt::AlignRight);
        painter_.setFont(normal_);
        y_ += kRenglon;
    }

    void saltaPagina() {
        painter_.setPen(QPen(Qt::black, 0.5));
        raya(0, kAncho, y_);
        y_ += 2;
        lineaTotales(QStringLiteral("Transporte"));
        writer_.newPage();
        encabezaPagina();
        lineaTotales(QStringLiteral("Transporte"));
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
        texto(QRectF(0, y_, kAncho, 14),
              QStringLiteral("Libro Subdiario %1 - del %2 al %3")
                  .arg(encabezado_.subdiario, encabezado_.desde, encabezado_.hasta),
              Qt::AlignLeft);
        y_ += 20;
        painter_.setFont(negrita_);
        for (double x : {0.0, kMitad + 12}) {
            const bool debe = x == 0;
            texto(QRectF(x, y_, kMitad, kRenglon),
                  debe ? QStringLiteral("Debe") : QStringLiteral("Haber"), Qt::AlignHCenter);
            texto(QRectF(x, y_ + kRenglon, kCuenta, kRenglon), QStringLiteral("Cuenta"),
                  Qt::AlignLeft);
            texto(QRectF(x + kCuenta, y_ + kRenglon, kMitad - kCuenta - kImporte, kRenglon),
                  QStringLiteral("Descripción"), Qt::AlignLeft);
            texto(QRectF(x + kMitad - kImporte, y_ + kRenglon, kImporte, kRenglon),
                  QStringLiteral("Importe"), Qt::AlignRight);
        }
        painter_.setFont(normal_);
        y_ += 2 * kRenglon + 2;
        painter_.setPen(QPen(Qt::black, 0.8));
        raya(0, kAncho, y_);
        painter_.drawLine(QPointF(kMargen + kMitad + 6, kMargen + y_ - 2 * kRenglon),
                          QPointF(kMargen + kMitad + 6, kMargen + y_));
        painter_.setPen(Qt::black);
        y_ += 4;
    }

    const EncabezadoSubdiario& encabezado_;
    QPainter painter_;
    QPdfWriter& writer_;
    QFont normal_, negrita_;
    double y_ = 0;  // from the top margin
    int pagina_ = 0;
    int asientos_ = 0;
    double totalDebe_ = 0, totalHaber_ = 0;
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

}  // namespace

StepResult imprimeSubdiario(const QString& usuario, const EncabezadoSubdiario& encabezado,
                            const QString& salida, int& paginas) {
    db::DB_Dll& db = db::sharedDb();
    QString sql = QStringLiteral("SELECT * FROM AUX_SUBDIARIOS WHERE RTRIM(LTRIM(USUARIO)) = ") +
                  db::sqlQuoted(usuario.trimmed()) + QStringLiteral(" ORDER BY ID");
    ado::Recordset rs;
    db.AbrirRecordset(sql, rs);
    if (rs.State() != ado::adStateOpen)
        return RunError{1, QStringLiteral("no se pudieron leer las filas de AUX_SUBDIARIOS"),
                        QStringLiteral("klbase")};

    QPdfWriter writer(salida);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QStringLiteral("Libro Subdiario %1").arg(encabezado.subdiario));
    writer.setCreator(QStringLiteral("klbase"));
    Impresion impresion(writer, encabezado);

    Asiento actual;
    QString clave;
    for (; !rs.EOF(); rs.MoveNext()) {
        const QString estaClave = texto(rs, "PERIODO") + u'/' + texto(rs, "MES_OPERATIVO") + u'/' +
                                  texto(rs, "NUMERO ASIENTO");
        if (estaClave != clave) {
            if (!actual.filas.empty()) impresion.asiento(actual);
            clave = estaClave;
            actual = Asiento{};
            actual.fecha = conv::formatDate(rs.value(QStringLiteral("FECHA")).toDateTime().date());
            actual.numero =
                QStringLiteral("%1-%2")
                    .arg(texto(rs, "MES_OPERATIVO").toInt(), 4, 10, QLatin1Char('0'))
                    .arg(texto(rs, "NUMERO ASIENTO").toLongLong(), 7, 10, QLatin1Char('0'));
            actual.comprobante = comprobante(rs);
            actual.concepto = texto(rs, "CONCEPTO");
            actual.total = rs.value(QStringLiteral("CABIMPORTE"));
        }
        actual.filas.push_back({texto(rs, "CUENTA_D"), texto(rs, "DESCRIPCION_D"),
                                texto(rs, "CUENTA_H"), texto(rs, "DESCRIPCION_H"),
                                texto(rs, "CONCEPTO"), rs.value(QStringLiteral("IMPORTE_D")),
                                rs.value(QStringLiteral("IMPORTE_H"))});
    }
    if (!actual.filas.empty()) impresion.asiento(actual);
    paginas = impresion.termina();
    return std::nullopt;
}

}  // namespace kl::klbase
