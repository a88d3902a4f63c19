#include "config/frm_configuracion.h"

#include "session/sesion.h"
#include "session/session_db.h"
#include "startup/inicio_sesion.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace kl::test {
namespace {

class ConfigurationWindow : public SessionDbTest {
  protected:
    void SetUp() override {
        SessionDbTest::SetUp();
        previousConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("config")));
        exec(
            "INSERT INTO TA_MENU (CLAVE, NOMBRE, PROCESO) VALUES "
            "('0101', 'Configuración del Sistema', '" +
            procesoDelPrograma() +
            "');"
            "INSERT INTO TA_TAREAS (USUARIO, TAREA) VALUES ('ADMIN', '0101');");
        setCommandLine("@Server=sqlite;@DbName=" + file_ + ";@Usuario=ADMIN;@Password=;");
    }
    void TearDown() override {
        setCommandLine(QString());
        qApp->setStyleSheet(QString());
        qputenv("XDG_CONFIG_HOME", previousConfig_);
        SessionDbTest::TearDown();
    }

  private:
    QByteArray previousConfig_;
};

TEST_F(ConfigurationWindow, ItsLoadStartsTheSessionAndItsCloseEndsIt) {
    frmConfiguracion window;
    EXPECT_EQ(window.windowTitle(), u"Configuración del Sistema");
    window.Form_Load();
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_TRUE(db().gOpenFlag);
    // Skin 1 when the user chose none; the test program carries the skins.
    EXPECT_FALSE(window.SkinFramework1.styleSheet().isEmpty());
    // The window wears the program-wide skin.
    EXPECT_EQ(qApp->styleSheet(), window.SkinFramework1.styleSheet());
    const QString id = sesion().gIdAcceso.toString();
    EXPECT_EQ(scalar("SELECT TAREA || '|' || IFNULL(EGRESO, 'NULL') FROM CONTROL_ACCESO"),
              u"CONFIGURACIÓN DEL SISTEMA|NULL");

    window.show();
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_NE(scalar("SELECT EGRESO FROM CONTROL_ACCESO WHERE ID = " + id), u"<null>");
    EXPECT_FALSE(db().gOpenFlag);  // the access layer was released
    // A second close (the window's own unload ran already) writes nothing more.
    window.Form_Unload();
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM CONTROL_ACCESO"), u"1");
}

}  // namespace
}  // namespace kl::test
