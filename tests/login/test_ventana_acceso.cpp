// The login window as the access layer shows it: filled from the layer,
// driven as an operator would, read back by OpenServerADODB.

#include "login/frm_acceso.h"
#include "login/ventana_acceso.h"
#include "login_fixture.h"
#include "platform/ado/ado.h"
#include "session/brimcor2.h"
#include "support/embedded_db.h"
#include "support/scripted_dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace kl::test {
namespace {

frmAcceso& acceso(QDialog& window) {
    auto* w = qobject_cast<frmAcceso*>(&window);
    EXPECT_NE(w, nullptr);
    return *w;
}

class VentanaAccesoTest : public LoginTest {
  protected:
    void SetUp() override {
        LoginTest::SetUp();
        installLoginWindow();
        db::SessionLink enlace;
        enlace.usuarioLogeado = [] { return sesion().gUsuarioLogeado; };
        previo_ = db::installSessionLink(std::move(enlace));
        registrada_ = files_.create("contab.db", "CREATE TABLE T (A INT);");
        escribeBases(cp1252::encode("VENTAS / SRV02,VENTAS,VENTAS,x,SRV02\r\n" +
                                    registrada_.toUpper() + " / SQLITE," + registrada_ + "," +
                                    registrada_ + "," + Brimcor2::CodificaTexto(registrada_) +
                                    ",sqlite\r\n"));
    }
    void TearDown() override {
        db::installSessionLink(previo_);
        LoginTest::TearDown();
    }

    db::DB_Dll& db() { return db::sharedDb(); }

    EmbeddedDb files_;
    QString registrada_;
    db::SessionLink previo_;
};

TEST_F(VentanaAccesoTest, TheLayerFillsTheWindowAndConnectsToTheConnectionPicked) {
    sesion().gUsuarioLogeado = "JUAN";
    db().gServidor = "SRV09";
    db().gDBName = "PERDIDA";
    db().gUsuarioClave = "clave";
    ModalDriver modals([&](QDialog& window) {
        frmAcceso& w = acceso(window);
        EXPECT_EQ(w.windowTitle(), "Control de Acceso");
        EXPECT_EQ(w.TxtDbName->text(), "PERDIDA");
        EXPECT_EQ(w.TxtServidor->text(), "SRV09");
        EXPECT_EQ(w.TxtUserId->text(), "JUAN");
        EXPECT_EQ(w.TxtUserPassword->text(), "clave");
        EXPECT_EQ(w.CboPlataformaDB->currentIndex(), frmAcceso::kPlataformaSqlServer);
        EXPECT_EQ(w.lstBases->count(), 2);
        w.lstBases->setCurrentRow(1);
        w.TxtUserId->setText("ANA");
        w.bcAceptar->click();
    });
    db().OpenServerADODB(true, ado::adUseClient, QString(), false, false);
    EXPECT_EQ(modals.driven(), 1);
    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(db().gCnn->State(), ado::adStateOpen);
    EXPECT_EQ(db().gServidor, "sqlite");
    EXPECT_EQ(db().gDBName, registrada_);
    EXPECT_EQ(db().gUsuario, registrada_);
    EXPECT_EQ(db().gProveedor, "SQLOLEDB");
    EXPECT_EQ(sesion().gUsuarioLogeado, "ANA");
}

TEST_F(VentanaAccesoTest, CancellingLeavesTheLayerWithoutAConnection) {
    ModalDriver modals([](QDialog& window) { acceso(window).bcCancelar->click(); });
    db().OpenServerADODB(true, ado::adUseClient, QString(), false, false);
    EXPECT_FALSE(db().gOpenFlag);
    EXPECT_EQ(db().gCnn->State(), ado::adStateClosed);
}

TEST_F(VentanaAccesoTest, ThePlatformReachesTheLayerAsItKnowsIt) {
    db::LoginBoxes inicial;
    inicial.TxtServidor = "ORASRV";
    ModalDriver modals([](QDialog& window) {
        frmAcceso& w = acceso(window);
        EXPECT_EQ(w.TxtServidor->text(), "ORASRV");
        w.CboPlataformaDB->setCurrentIndex(frmAcceso::kPlataformaOracle);
        w.bcAceptar->click();
    });
    modals.then([](QDialog& window) {
        frmAcceso& w = acceso(window);
        // A server "sqlite" shows the embedded platform.
        EXPECT_EQ(w.CboPlataformaDB->currentIndex(), frmAcceso::kPlataformaSqlite);
        w.bcAceptar->click();
    });
    const db::LoginAnswer oracle = db::loginPrompt().show(inicial);
    EXPECT_TRUE(oracle.Aceptar);
    EXPECT_EQ(oracle.boxes.CboPlataformaDB, frmAcceso::kPlataformaOracle);
    EXPECT_EQ(oracle.boxes.TxtServidor, "ORASRV");

    inicial.TxtServidor = "sqlite";
    const db::LoginAnswer incorporada = db::loginPrompt().show(inicial);
    EXPECT_EQ(incorporada.boxes.CboPlataformaDB, frmAcceso::kPlataformaSqlServer);
    EXPECT_EQ(incorporada.boxes.TxtServidor, "sqlite");
}

// The layer's own retry: a failed open, "Yes" to try again, and the login
// window gives the connection that works.
TEST_F(VentanaAccesoTest, AfterAFailedOpenTheOperatorPicksAWorkingConnection) {
    db().gServidor = "sqlite";
    db().gDBName = files_.path("no-existe.db");
    ScopedDialogs boxes;
    boxes.answer(answer::Yes);
    ModalDriver modals([](QDialog& window) {
        frmAcceso& w = acceso(window);
        w.lstBases->setCurrentRow(1);
        w.bcAceptar->click();
    });
    db().OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, " Error de Conexion a Base de Datos");
    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(db().gDBName, registrada_);
}

}  // namespace
}  // namespace kl::test
