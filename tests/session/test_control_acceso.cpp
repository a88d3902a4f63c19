#include "session/control_acceso.h"

#include "dblayer/program_info.h"

#include "session/brimcor2.h"
#include "session/sesion.h"
#include "session_db.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace kl::test {
namespace {

TEST(AccessStamp, DayMonthYearHourAndMinutesOfTwoDigits) {
    EXPECT_EQ(FormatoFecha(), u"dd/mm/yy");
    EXPECT_EQ(FormatoHora(), u"hh:mm");
    EXPECT_EQ(marcaDeAcceso(QDateTime(QDate(2026, 12, 8), QTime(9, 5, 59))), u"08/12/26 09:05");
    EXPECT_EQ(marcaDeAcceso(QDateTime(QDate(2027, 1, 31), QTime(23, 40))), u"31/01/27 23:40");
}

class AccessLog : public SessionDbTest {
  protected:
    void SetUp() override {
        SessionDbTest::SetUp();
        exec(
            "INSERT INTO TA_MENU (CLAVE, NOMBRE, PROCESO) VALUES "
            "('0101', ' Configuración del Sistema ', '" +
            procesoDelPrograma() +
            "'), "
            "('0102', 'Plan de Cuentas', 'SHELL:KLCUENTAS'), "
            "('0901', 'Menu Principal', 'KL000PR');"
            "INSERT INTO TA_TAREAS (USUARIO, TAREA) VALUES ('ADMIN', '0101'), ('ADMIN', '0102'), "
            "('O''BRIEN', '0101'), ('OPERADOR', '0102');");
        connect();
    }
    QString row(const QString& columns, const QString& where = "1=1") {
        return scalar("SELECT " + columns + " FROM CONTROL_ACCESO WHERE " + where);
    }
};

TEST_F(AccessLog, TheEntryRowCarriesTheTaskTheSeatAndTheUser) {
    sesion().gUsuarioLogeado = "ADMIN";
    ControlAcceso();
    EXPECT_EQ(traced().first(),
              QStringLiteral(
                  "SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , TA_MENU.Nombre  FROM "
                  "TA_TAREAS INNER JOIN TA_MENU ON TA_TAREAS.TAREA = TA_MENU.Clave  WHERE "
                  "(TA_TAREAS.USUARIO = 'ADMIN') AND (TA_MENU.Proceso LIKE '%") +
                  db::executableName() + "%')");
    EXPECT_EQ(row("COUNT(*)"), u"1");
    EXPECT_EQ(row("TAREA"), u"CONFIGURACIÓN DEL SISTEMA");
    EXPECT_EQ(row("MAQUINA"), Brimcor2::NombreMaquina().trimmed().toUpper());
    EXPECT_EQ(row("USUARIO"), Brimcor2::UsuarioWindows().trimmed().toUpper());
    EXPECT_EQ(row("FORMULARIO"), u"");
    EXPECT_EQ(row("NOMBREUSUARIO"), u"ADMIN");
    EXPECT_EQ(row("EGRESO"), u"<null>");
    EXPECT_NE(row("INGRESO"), u"<null>");
    EXPECT_EQ(sesion().gIdAcceso.toString(), row("ID"));
}

TEST_F(AccessLog, TheUserNameIsWrittenAsItCameAndTheLayersUserStandsInForNone) {
    sesion().gUsuarioLogeado = " admin ";
    ControlAcceso();
    EXPECT_EQ(row("NOMBREUSUARIO"), u" admin ");
    sesion().gUsuarioLogeado.clear();
    ControlAcceso();
    EXPECT_EQ(sesion().gUsuarioLogeado, u"ADMIN");
    EXPECT_EQ(row("NOMBREUSUARIO || '|' || TAREA", "ID = " + sesion().gIdAcceso.toString()),
              u"ADMIN|CONFIGURACIÓN DEL SISTEMA");
}

TEST_F(AccessLog, AUserWithoutTheTaskStillGetsARowWithAnEmptyTask) {
    sesion().gUsuarioLogeado = "OPERADOR";
    ControlAcceso();
    EXPECT_EQ(row("COUNT(*) || '|' || TAREA"), u"1|");
}

TEST_F(AccessLog, AQuoteInTheUserNameFindsHisTasksAndChangesNoStatement) {
    sesion().gUsuarioLogeado = "O'Brien";
    ControlAcceso();
    EXPECT_EQ(row("TAREA || '|' || NOMBREUSUARIO"), u"CONFIGURACIÓN DEL SISTEMA|O'Brien");
    sesion().gUsuarioLogeado = "X') OR ('1'='1";
    ControlAcceso();
    EXPECT_EQ(row("TAREA", "ID = " + sesion().gIdAcceso.toString()), u"");
}

TEST_F(AccessLog, WithoutTheAccessTableNothingIsWrittenAndNothingShown) {
    exec("DROP TABLE CONTROL_ACCESO");
    sesion().gUsuarioLogeado = "ADMIN";
    ControlAcceso();
    EXPECT_TRUE(sesion().gIdAcceso.isEmpty());
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(AccessLog, TheExitGoesIntoThisRunsRowOnly) {
    exec("INSERT INTO CONTROL_ACCESO (TAREA, NOMBREUSUARIO) VALUES ('OTRA', 'X'), ('OTRA', 'Y')");
    sesion().gUsuarioLogeado = "ADMIN";
    ControlAcceso();
    const QString id = sesion().gIdAcceso.toString();
    traced();
    RegistraEgreso();
    const QStringList statements = traced();
    ASSERT_EQ(statements.size(), 1);
    static const QRegularExpression kUpdate(
        "^UPDATE CONTROL_ACCESO  SET EGRESO = '\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d' WHERE EGRESO "
        "IS NULL AND  ID = " +
        id + "$");
    EXPECT_TRUE(kUpdate.match(statements[0]).hasMatch()) << statements[0].toStdString();
    EXPECT_NE(row("EGRESO", "ID = " + id), u"<null>");
    EXPECT_EQ(row("COUNT(*)", "EGRESO IS NULL"), u"2");
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(AccessLog, AnExitAlreadyWrittenIsKept) {
    sesion().gUsuarioLogeado = "ADMIN";
    ControlAcceso();
    const QString id = sesion().gIdAcceso.toString();
    exec("UPDATE CONTROL_ACCESO SET EGRESO = '2001-01-01 00:00:00'");
    RegistraEgreso();
    EXPECT_EQ(row("EGRESO", "ID = " + id), u"2001-01-01 00:00:00");
}

TEST_F(AccessLog, WithoutAnEntryRowThereIsNoExitToWrite) {
    RegistraEgreso();
    EXPECT_TRUE(traced().isEmpty());
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(AccessLog, AFailedExitIsShownInAPlainMessageBox) {
    sesion().gUsuarioLogeado = "ADMIN";
    ControlAcceso();
    exec("DROP TABLE CONTROL_ACCESO");
    boxes_.answer(answer::Ok);
    RegistraEgreso();
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].style, mb::OkOnly);
    EXPECT_EQ(boxes_.shown()[0].text, db().gCnn->errors().Item(0).Description);
}

}  // namespace
}  // namespace kl::test
