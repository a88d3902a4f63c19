// The subsidiary-journal report on klbase "volumen" journals regrouped into
// entries of ten lines of one journal ("VENTAS", with vouchers, some entries
// longer on one side): the set-based report against the entry-by-entry one
// (one query per entry and side, one account lookup per line, rows added
// through a recordset), each measured in a process of its own.
//
//     bench_subdiarios [FOLDER]
//
// The databases are made in FOLDER (default: the temporary folder) on first
// use and kept: volumen_5000_100000_subdiario.db and
// volumen_5000_1000000_subdiario.db.

#include "medicion.h"
#include "subdiario_literal/subdiario_literal.h"

#include "accounting/auxiliar_subdiarios.h"
#include "accounting/lbc_asiento.h"
#include "session/sesion.h"
#include "sqlite_db.h"

#include <QApplication>

#include <cstdio>

namespace {

constexpr int kCuentas = 5000;
const QString kDesde = QStringLiteral("01/01/2026");
const QString kHasta = QStringLiteral("31/12/2026");
const QString kSubdiario = QStringLiteral("VENTAS");

// Ten consecutive lines make an entry, dated and numbered as its first line;
// every seventh credit becomes a debit and every eleventh debit a credit.
bool reagrupa(const QString& archivo) {
    kl::klbase::Database db;
    kl::StepResult e = db.open(archivo, kl::klbase::Database::Mode::OpenExisting);
    if (!e)
        e = db.exec(QStringLiteral(
            "BEGIN; UPDATE MV_ASIENTOS SET TIPO_REG = 'VENTAS', [NUMERO ASIENTO] = (ID - 1) / 10 "
            "+ 1, MES_OPERATIVO = (SELECT B.MES_OPERATIVO FROM MV_ASIENTOS B WHERE B.ID = "
            "((MV_ASIENTOS.ID "
            "- 1) / 10) * 10 + 1), FECHA = (SELECT B.FECHA FROM MV_ASIENTOS B WHERE B.ID = "
            "((MV_ASIENTOS.ID - 1) / 10) * 10 + 1), [DEBE-HABER] = CASE WHEN ID % 7 = 0 THEN 'D' "
            "WHEN ID % 11 = 0 THEN 'H' ELSE [DEBE-HABER] END, TC = 'FC', SUCURSAL = '0001', "
            "NUMERO = substr('0000000' || ((ID - 1) / 10 + 1), -8), LETRA = 'A', CABIMPORTE = "
            "IMPORTE * 5; COMMIT"));
    if (e) std::fprintf(stderr, "%s\n", qUtf8Printable(e->description));
    return !e;
}

bool genera(const QString& como) {
    kl::sesion().gUsuarioLogeado = QStringLiteral("ADMIN");
    QString desde = kDesde;
    QString hasta = kHasta;
    if (como == QLatin1String("literal"))
        return kl::test::GeneraAuxiliarSubdiariosLiteral(desde, hasta, kSubdiario);
    kl::test::SinAvance sinAviso;
    return kl::accounting::Lbc_Asiento(1)
               .GeneraAuxiliarSubdiarios(desde, hasta, kSubdiario, kl::Value(), &sinAviso)
               .estado == kl::accounting::ResultadoSubdiarios::Estado::Completo;
}

}  // namespace

int main(int argc, char** argv) {
    // Runs unattended: no window ever needs a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (kl::bench::esMedicion(args)) return kl::bench::mide(args, genera);
    using kl::bench::Figura;
    using kl::bench::imprime;

    const QDir carpeta(args.size() > 1 ? args[1] : QDir::tempPath());
    const QString sufijo = QStringLiteral("_subdiario");
    const QString cien = kl::bench::baseVolumen(carpeta, kCuentas, 100000, sufijo, reagrupa);
    const QString millon = kl::bench::baseVolumen(carpeta, kCuentas, 1000000, sufijo, reagrupa);
    if (cien.isEmpty() || millon.isEmpty()) return 1;

    // The set-based report first: the entry-by-entry one takes far longer.
    const Figura conjuntos1 = kl::bench::corre(QStringLiteral("conjuntos"), cien);
    imprime("por conjuntos, 100.000 renglones", conjuntos1);
    const Figura conjuntos10 = kl::bench::corre(QStringLiteral("conjuntos"), millon);
    imprime("por conjuntos, 1.000.000 renglones", conjuntos10);
    if (conjuntos1.ok && conjuntos10.ok)
        std::printf(
            "  por conjuntos, 1.000.000 / 100.000: %.2f veces el tiempo (CPU %.2f), "
            "%.2f veces la memoria\n",
            conjuntos10.segundos / conjuntos1.segundos, conjuntos10.cpu / conjuntos1.cpu,
            conjuntos10.megabytes / conjuntos1.megabytes);
    const Figura literal1 = kl::bench::corre(QStringLiteral("literal"), cien);
    imprime("asiento por asiento, 100.000 renglones", literal1);
    if (literal1.ok && conjuntos1.ok)
        std::printf("  asiento por asiento / por conjuntos: %.1f veces (CPU %.1f)\n",
                    literal1.segundos / conjuntos1.segundos, literal1.cpu / conjuntos1.cpu);
    const Figura literal = kl::bench::corre(QStringLiteral("literal"), millon);
    imprime("asiento por asiento, 1.000.000 renglones", literal);
    if (literal.ok && conjuntos10.ok)
        std::printf("  asiento por asiento / por conjuntos: %.1f veces (CPU %.1f)\n",
                    literal.segundos / conjuntos10.segundos, literal.cpu / conjuntos10.cpu);
    return literal.ok && literal1.ok && conjuntos1.ok && conjuntos10.ok ? 0 : 1;
}
