#include "subdiario_literal.h"

#include "dblayer/db_dll.h"
#include "platform/ado/transaction_scope.h"
#include "session/brimcor2.h"
#include "session/sesion.h"

namespace kl::test {

namespace {

using Brimcor2::ValorNoNulo;

bool abre(QString sql, ado::Recordset& rs, int lockType) {
    db::sharedDb().AbrirRecordset(sql, rs, nullptr, ado::adOpenDynamic, lockType);
    return rs.State() == ado::adStateOpen;
}

long cuenta(ado::Recordset& rs) {
    if (rs.EOF()) return 0;
    rs.MoveLast();
    const long n = rs.RecordCount();
    rs.MoveFirst();
    return n;
}

QString nombre(const Value& cuenta) {
    return ValorNoNulo(db::sharedDb().DatosTabla(
        QStringLiteral("MA_CUENTAS"), ValorNoNulo(cuenta), QStringLiteral("DESCRIPCION"),
        QStringLiteral("CODIGO"), Value(8), QString(), true, true));
}

void lado(ado::Recordset& aux, ado::Recordset& linea, const QString& sufijo) {
    aux.setValue(QStringLiteral("cuenta_") + sufijo, ValorNoNulo(linea.value("Cuenta")));
    aux.setValue(QStringLiteral("descripcion_") + sufijo, nombre(linea.value("Cuenta")));
    aux.setValue(QStringLiteral("importe_") + sufijo, linea.value("Importe"));
}

}  // namespace

bool GeneraAuxiliarSubdiariosLiteral(QString& Fecha_Desde, const QString& Fecha_Hasta,
                                     const QString& TipoSub) {
    db::DB_Dll& db = db::sharedDb();
    ado::TransactionScope t(*db.gCnn);
    if (t.begin()) return false;
    const QString usuario = sesion().gUsuarioLogeado;
    QString borra = QStringLiteral("DELETE AUX_SUBDIARIOS WHERE RTRIM(LTRIM(USUARIO)) = '") +
                    usuario.trimmed() + u'\'';
    long afectadas = 0;
    db.EjecutaConsultaSQL(borra, afectadas);
    if (Fecha_Desde.trimmed().isEmpty()) Fecha_Desde = QStringLiteral("01/01/1990");
    ado::Recordset asientos, aux;
    if (!abre(QStringLiteral("SELECT DISTINCT Periodo,[MES_OPERATIVO],[NUMERO ASIENTO] FROM "
                             "MV_ASIENTOS WHERE RTRIM(LTRIM(TIPO_REG)) = '") +
                  TipoSub.trimmed() + QStringLiteral("' AND FECHA >= ") +
                  Brimcor2::FechaSQL(Value(Fecha_Desde)) + QStringLiteral(" AND FECHA <= ") +
                  Brimcor2::FechaSQL(Value(Fecha_Hasta)) +
                  QStringLiteral(" ORDER BY Periodo,[MES_OPERATIVO],[NUMERO ASIENTO]"),
              asientos, ado::adLockReadOnly) ||
        !abre(QStringLiteral("SELECT * FROM AUX_SUBDIARIOS"), aux, ado::adLockOptimistic))
        return false;
    for (; !asientos.EOF(); asientos.MoveNext()) {
        const QString periodo = ValorNoNulo(asientos.value(0));
        const QString mes = ValorNoNulo(asientos.value(1));
        const QString numero = ValorNoNulo(asientos.value(2));
        // The embedded engine compares RTRIM(LTRIM(PERIODO)), a text, with
        // a number as unequal; SQL Server converts it and compares numbers,
        // which is what comparing the column does, through its index.
        const QString comun = QStringLiteral(
                                  "SELECT * FROM MV_ASIENTOS WHERE "
                                  "RTRIM(LTRIM(TIPO_REG)) = '") +
                              TipoSub.trimmed() + QStringLiteral("' AND [NUMERO ASIENTO] = ") +
                              numero + QStringLiteral(" AND MES_OPERATIVO = ") + mes +
                              QStringLiteral(" AND PERIODO = ") + periodo;
        ado::Recordset debe, haber;
        if (!abre(comun + QStringLiteral(" AND [DEBE-HABER] = 'D' ORDER BY CUENTA, ID"), debe,
                  ado::adLockReadOnly) ||
            !abre(comun + QStringLiteral(" AND [DEBE-HABER] = 'H' ORDER BY CUENTA, ID"), haber,
                  ado::adLockReadOnly))
            return false;
        const bool guiaDebe = cuenta(debe) >= cuenta(haber);
        ado::Recordset& guia = guiaDebe ? debe : haber;
        ado::Recordset& otra = guiaDebe ? haber : debe;
        for (; !guia.EOF(); guia.MoveNext()) {
            aux.AddNew();
            aux.setValue(QStringLiteral("Usuario"), usuario);
            aux.setValue(QStringLiteral("Periodo"), ValorNoNulo(guia.value("Periodo")));
            aux.setValue(QStringLiteral("Mes_Operativo"), ValorNoNulo(guia.value("Mes_Operativo")));
            aux.setValue(QStringLiteral("numero asiento"), guia.value("numero asiento"));
            const Value fecha = guia.value("fecha");
            aux.setValue(
                QStringLiteral("fecha"),
                guiaDebe ? fecha : Value(fecha.toDateTime().toString(QStringLiteral("dd/MM/yy"))));
            for (const char* c : {"TC", "Sucursal", "Numero", "letra"})
                aux.setValue(QString::fromLatin1(c),
                             ValorNoNulo(guia.value(QString::fromLatin1(c))));
            aux.setValue(QStringLiteral("Cabimporte"), guia.value("Cabimporte"));
            lado(aux, guia, guiaDebe ? QStringLiteral("D") : QStringLiteral("H"));
            aux.setValue(QStringLiteral("Concepto"), ValorNoNulo(guia.value("Detalle")));
            if (!otra.EOF()) {
                lado(aux, otra, guiaDebe ? QStringLiteral("H") : QStringLiteral("D"));
                otra.MoveNext();
            }
            if (aux.Update()) return false;
        }
    }
    return !t.commit();
}

}  // namespace kl::test
