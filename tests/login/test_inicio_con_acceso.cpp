// The start-up whose parameter string names a database that cannot be
// opened: the operator answers Yes, picks a registered connection in the
// login window, connects, and the session starts on it.

#include "database_file.h"
#include "demo.h"
#include "login/frm_acceso.h"
#include "login/registro_conexion.h"
#include "login/ventana_acceso.h"
#include "login_fixture.h"
#include "schema.h"
#include "startup/inicio_sesion.h"
#include "support/embedded_db.h"
#include "support/scripted_dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace kl::test {
namespace {

class InicioConAcceso : public LoginTest {
  protected:
    void SetUp() override {
        LoginTest::SetUp();
        ASSERT_TRUE(datos_.isValid());
        previaConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(datos_.filePath("config")));
        previoFin_ = db::installProgramEnd([this] { ++finales_; });
        base_ = datos_.filePath("demo.db");
        const StepResult creada =
            klbase::createDatabaseFile(base_, [](klbase::Database& database) -> StepResult {
                if (StepResult falla = klbase::createSchema(database)) return falla;
                klbase::DemoSummary resumen;
                return klbase::fillDemo(database, resumen);
            });
        ASSERT_FALSE(creada) << creada->description.toStdString();
        installLoginWindow();
    }
    void TearDown() override {
        setCommandLine(QString());
        db::installProgramEnd(previoFin_);
        qputenv("XDG_CONFIG_HOME", previaConfig_);
        LoginTest::TearDown();
    }

    QTemporaryDir datos_;
    QString base_;
    int finales_ = 0;

  private:
    QByteArray previaConfig_;
    db::ProgramEnd previoFin_;
};

TEST_F(InicioConAcceso, ARegisteredConnectionRescuesAStartUpThatCannotConnect) {
    ASSERT_FALSE(GrabaConexion("VENTAS / SRV02", "VENTAS", "VENTAS", "VENTAS", "SRV02", false));
    const QString nombre = login::nombreConexion(base_, "sqlite");
    ASSERT_FALSE(GrabaConexion(nombre, base_, base_, base_, "sqlite", false));
    setCommandLine("@Server=sqlite;@DbName=" + datos_.filePath("perdida.db") +
                   ";@Usuario=ADMIN;@Password=;@UsuarioLogeado=JUAN;@Caja=1;@Menu=M;"
                   "@ParametroAdicional=;");

    ScopedDialogs boxes;
    boxes.answer(answer::Yes);
    ModalDriver modals([&](QDialog& window) {
        auto& w = static_cast<frmAcceso&>(window);
        EXPECT_EQ(w.TxtUserId->text(), "JUAN");
        const QList<QListWidgetItem*> elegida = w.lstBases->findItems(nombre, Qt::MatchExactly);
        ASSERT_EQ(elegida.size(), 1);
        w.lstBases->setCurrentItem(elegida.first());
        w.TxtUserId->setText("JUAN");
        w.bcAceptar->click();
    });

    IniciaSesion();

    EXPECT_EQ(modals.driven(), 1);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, " Error de Conexion a Base de Datos");
    EXPECT_EQ(finales_, 0);
    const db::DB_Dll& db = db::sharedDb();
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gDBName, base_);
    // The connection logs in with the database's own name, which becomes the
    // session's user and is written into this run's entry of the access log.
    EXPECT_EQ(sesion().gUsuarioLogeado, base_);
    EXPECT_EQ(EmbeddedDb::scalar(base_,
                                 "SELECT NOMBREUSUARIO || '|' || IFNULL(EGRESO, 'NULL') "
                                 "FROM CONTROL_ACCESO ORDER BY ID DESC LIMIT 1"),
              base_ + "|NULL");
    FinalizaSesion();
}

// The desktop's menu entry starts the program with no parameter string: the
// login window comes first, with no driver error before it, and the first
// registered connection is ready for "Conectar".
TEST_F(InicioConAcceso, WithoutAServerTheLoginWindowComesFirstWithTheFirstConnectionReady) {
    const QString nombre = login::nombreConexion(base_, "sqlite");
    ASSERT_FALSE(GrabaConexion(nombre, base_, base_, base_, "sqlite", false));
    ASSERT_FALSE(GrabaConexion("VENTAS / SRV02", "VENTAS", "VENTAS", "VENTAS", "SRV02", false));
    ScopedDialogs boxes;
    ModalDriver modals([&](QDialog& window) {
        auto& w = static_cast<frmAcceso&>(window);
        EXPECT_TRUE(boxes.shown().empty());
        ASSERT_NE(w.lstBases->currentItem(), nullptr);
        EXPECT_EQ(w.lstBases->currentItem()->text(), nombre);
        EXPECT_EQ(w.TxtServidor->text(), "sqlite");
        EXPECT_EQ(w.TxtDbName->text(), base_);
        EXPECT_EQ(w.CboPlataformaDB->currentIndex(), frmAcceso::kPlataformaSqlite);
        w.bcAceptar->click();
    });
    modals.then([](QDialog& window) { static_cast<frmAcceso&>(window).bcCancelar->click(); });

    setCommandLine(QString());
    IniciaSesion();
    EXPECT_EQ(modals.driven(), 1);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(finales_, 0);
    EXPECT_TRUE(db::sharedDb().gOpenFlag);
    EXPECT_EQ(db::sharedDb().gDBName, base_);
    FinalizaSesion();

    // Cancelled, the program ends as when no connection can be made.
    setCommandLine("@Usuario=ADMIN;@UsuarioLogeado=JUAN;");
    IniciaSesion();
    EXPECT_EQ(modals.driven(), 2);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(finales_, 1);
    EXPECT_FALSE(db::sharedDb().gOpenFlag);
}

}  // namespace
}  // namespace kl::test
