#include "support/accounting_db/accounting_db.h"

#include "database_file.h"
#include "schema.h"

#include "progress/dll_display.h"
#include "session/sesion.h"
#include "support/shared_db/shared_db.h"

namespace kl::accounting::test {

void AccountingDbTest::SetUp() {
    DatabaseTest::SetUp();
    sesion() = Sesion{};
    file_ = path(QStringLiteral("contab.db"));
    const StepResult created = klbase::createDatabaseFile(
        file_, [](klbase::Database& database) { return klbase::createSchema(database); });
    ASSERT_FALSE(created) << created->description.toStdString();
    ASSERT_TRUE(connectShared(file_, QStringLiteral("ADMIN")));
}

void AccountingDbTest::TearDown() {
    releaseDllDisplay();
    kl::test::releaseSharedSession();
    DatabaseTest::TearDown();
}

void AccountingDbTest::addYear(int periodo, const QString& desde, const QString& hasta,
                               bool cerrado, bool cancelacion, bool cierre) {
    exec(QStringLiteral("INSERT INTO MV_EJERCICIOS (PERIODO, DESCRIPCION, [FECHA DESDE], "
                        "[FECHA HASTA], CERRADO, CANCELACION, CIERRE) VALUES (%1, 'Ejercicio %1', "
                        "'%2 00:00:00', '%3 00:00:00', %4, %5, %6)")
             .arg(periodo)
             .arg(desde, hasta)
             .arg(int{cerrado})
             .arg(int{cancelacion})
             .arg(int{cierre}));
}

void AccountingDbTest::setKey(const QString& clave, const QString& valor) {
    exec(QStringLiteral("INSERT OR REPLACE INTO TA_CONFIGURACION (GRUPO, CLAVE, VALOR) VALUES "
                        "('DATOS', '%1', '%2')")
             .arg(clave, valor));
}

void AccountingDbTest::addLine(const Renglon& r) {
    const auto texto = [](const QString& t) {
        return t.isEmpty() ? QStringLiteral("NULL") : u'\'' + t + u'\'';
    };
    exec(QStringLiteral("INSERT INTO MV_ASIENTOS (PERIODO, MES_OPERATIVO, [NUMERO ASIENTO], FECHA, "
                        "TIPO_REG, CUENTA, [DEBE-HABER], TC, SUCURSAL, NUMERO, LETRA, CABCUENTA, "
                        "ESRESUMEN, ESAJUSTE, AJUSTE_HASTA) VALUES (%1, %2, %3, '%4 00:00:00', "
                        "'%5', '%6', 'D', %7, %8, %9, %10, %11, %12, %13, %14)")
             .arg(r.periodo)
             .arg(r.mes)
             .arg(r.numero)
             .arg(r.fecha, r.tipoReg, r.cuenta, texto(r.tc), texto(r.sucursal),
                  texto(r.comprobante), texto(r.letra), texto(r.cabCuenta))
             .arg(int{r.esResumen})
             .arg(int{r.esAjuste})
             .arg(texto(r.ajusteHasta)));
}

}  // namespace kl::accounting::test
