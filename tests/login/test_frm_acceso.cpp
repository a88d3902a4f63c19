#include "login/frm_acceso.h"
#include "login_fixture.h"
#include "platform/ado/ado.h"
#include "session/brimcor2.h"
#include "support/embedded_db.h"
#include "support/scripted_dialogs.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace kl::test {

// Receives the addresses the program hands to the desktop.
class Navegador : public QObject {
    Q_OBJECT

  public:
    QList<QUrl> abiertas;

  public Q_SLOTS:
    void abre(const QUrl& url) { abiertas.append(url); }
};

namespace {

const QString kPistaUsuario = "Ingrese el usuario";
const QString kPistaBase = "ingrese el nombre de la base de datos";
const QString kPistaServidor = "ingrese el nombre del servidor e instancia";

QByteArray linea(const QString& nombre, const QString& base, const QString& servidor) {
    return cp1252::encode(nombre + "," + base + "," + base + "," + Brimcor2::CodificaTexto(base) +
                          "," + servidor + "\r\n");
}

class FrmAcceso : public LoginTest {
  protected:
    void TearDown() override {
        ventana_.reset();
        LoginTest::TearDown();
    }

    frmAcceso& carga() {
        ventana_ = std::make_unique<frmAcceso>();
        ventana_->Form_Load();
        return *ventana_;
    }
    frmAcceso& muestra() {
        frmAcceso& w = carga();
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }

    void escribeConocidas() {
        escribeBases(linea("CONTAB / SRV01", "CONTAB", "srv01:1500") +
                     linea("VENTAS / SRV02", "VENTAS", "SRV02") + linea("", "SINNOMBRE", "X") +
                     linea("ORA / ORASRV", "ORA", "#ORASRV"));
    }

    // A new embedded database to register, in the SQLite platform's boxes.
    QString preparaIncorporada(frmAcceso& w, const QString& nombre = "contab.db") {
        const QString file = files_.create(nombre, "CREATE TABLE T (A INT);");
        w.CboPlataformaDB->setCurrentIndex(frmAcceso::kPlataformaSqlite);
        w.TxtDbName->setText(file);
        return file;
    }

    static QStringList entradas(const frmAcceso& w) {
        QStringList nombres;
        for (int i = 0; i < w.lstBases->count(); ++i) nombres << w.lstBases->item(i)->text();
        return nombres;
    }

    EmbeddedDb files_;
    std::unique_ptr<frmAcceso> ventana_;
};

TEST_F(FrmAcceso, WithoutBasesTxtTheListIsEmptyAndTheBoxesShowTheirHints) {
    frmAcceso& w = carga();
    EXPECT_EQ(w.windowTitle(), "Control de Acceso");
    EXPECT_EQ(w.lstBases->count(), 0);
    EXPECT_EQ(w.lstBases->currentRow(), -1);
    EXPECT_EQ(w.TxtUserId->text(), kPistaUsuario);
    EXPECT_EQ(w.TxtUserPassword->text(), "");
    EXPECT_EQ(w.TxtDbName->text(), kPistaBase);
    EXPECT_EQ(w.TxtServidor->text(), kPistaServidor);
    EXPECT_EQ(w.TxtPuerto->text(), "1433");
    EXPECT_EQ(w.TxtUserPassword->echoMode(), QLineEdit::Password);
    ASSERT_EQ(w.CboPlataformaDB->count(), 3);
    EXPECT_EQ(w.CboPlataformaDB->itemText(0), "SQL Server");
    EXPECT_EQ(w.CboPlataformaDB->itemText(1), "ORACLE");
    EXPECT_EQ(w.CboPlataformaDB->itemText(2), "SQLite");
    EXPECT_FALSE(w.Aceptar);
    EXPECT_EQ(w.TxtUserId->toolTip(), "Ingrese el nombre de usuario");
    EXPECT_EQ(w.TxtUserPassword->toolTip(), "Ingrese la contraseña");
    EXPECT_EQ(w.TxtDbName->toolTip(), kPistaBase);
    EXPECT_EQ(w.TxtServidor->toolTip(), kPistaServidor);
    EXPECT_EQ(w.TxtPuerto->toolTip(), "Ingrese el Puerto ");
    EXPECT_TRUE(w.Label8->text().contains(frmAcceso::sitioFabricante()));
}

TEST_F(FrmAcceso, ListHoldsTheNamedConnectionsAndShowsTheFirst) {
    escribeConocidas();
    frmAcceso& w = carga();
    EXPECT_EQ(entradas(w), (QStringList{"CONTAB / SRV01", "VENTAS / SRV02", "ORA / ORASRV"}));
    EXPECT_EQ(w.lstBases->currentRow(), 0);
    // The port goes to its own box; the server keeps what stood before it.
    EXPECT_EQ(w.TxtServidor->text(), "SRV01");
    EXPECT_EQ(w.TxtPuerto->text(), "1500");
    EXPECT_EQ(w.TxtDbName->text(), "CONTAB");
    EXPECT_EQ(w.conexionGuardada().clave, "CONTAB");
    EXPECT_EQ(w.CboPlataformaDB->currentIndex(), frmAcceso::kPlataformaSqlServer);
}

TEST_F(FrmAcceso, BlanksAroundAHandEditedPasswordDoNotLoseIt) {
    escribeBases(cp1252::encode("CONTAB / SRV01,CONTAB,CONTAB, " +
                                Brimcor2::CodificaTexto("clave") + "  ,SRV01\r\n"));
    frmAcceso& w = carga();
    EXPECT_EQ(w.conexionGuardada().clave, "clave");
}

TEST_F(FrmAcceso, SelectingAConnectionEmptiesUserAndPassword) {
    escribeConocidas();
    frmAcceso& w = carga();
    w.TxtUserId->setText("juan");
    w.TxtUserPassword->setText("secreto");
    w.lstBases->setCurrentRow(1);
    EXPECT_EQ(w.TxtServidor->text(), "SRV02");
    EXPECT_EQ(w.TxtDbName->text(), "VENTAS");
    EXPECT_EQ(w.TxtUserId->text(), "");
    EXPECT_EQ(w.TxtUserPassword->text(), "");
    // Without a port of its own the port shown before stays.
    EXPECT_EQ(w.TxtPuerto->text(), "1500");
    EXPECT_EQ(w.puertoGuardado(), "1500");

    // Clicking the entry already selected shows it again.
    w.TxtDbName->setText("OTRA");
    w.show();
    const QRect fila = w.lstBases->visualItemRect(w.lstBases->item(1));
    QTest::mouseClick(w.lstBases->viewport(), Qt::LeftButton, {}, fila.center());
    EXPECT_EQ(w.TxtDbName->text(), "VENTAS");
}

TEST_F(FrmAcceso, AnEntryWithoutAPortLeavesThePortBoxEmptyAtFirst) {
    escribeBases(linea("VENTAS / SRV02", "VENTAS", "SRV02"));
    frmAcceso& w = carga();
    EXPECT_EQ(w.TxtPuerto->text(), "");
}

TEST_F(FrmAcceso, PlatformFollowsTheConnectionShown) {
    escribeConocidas();
    frmAcceso& w = carga();
    w.lstBases->setCurrentRow(2);
    EXPECT_EQ(w.TxtServidor->text(), "#ORASRV");
    EXPECT_EQ(w.CboPlataformaDB->currentIndex(), frmAcceso::kPlataformaOracle);
    w.lstBases->setCurrentRow(0);
    EXPECT_EQ(w.CboPlataformaDB->currentIndex(), frmAcceso::kPlataformaSqlServer);
}

TEST_F(FrmAcceso, ABadBasesTxtStillGivesTheGoodEntries) {
    escribeBases(
        QByteArray("CORTA\r\n"
                   "\r\n"
                   "   \r\n"
                   "SEIS / S,B,U,C,S,EXTRA\r\n"
                   "RARO\x81\x9D / S,B\xff,U,C,S\r\n"
                   "ULTIMA / S9,B9,U,C,S9"));
    frmAcceso& w = carga();
    EXPECT_EQ(entradas(w),
              (QStringList{"CORTA", "SEIS / S",
                           QString("RARO") + QChar(0x81) + QChar(0x9D) + " / S", "ULTIMA / S9"}));
    // The short line has nothing to show but its name: the boxes show their hints.
    EXPECT_EQ(w.TxtDbName->text(), kPistaBase);
    EXPECT_EQ(w.TxtServidor->text(), kPistaServidor);
    w.lstBases->setCurrentRow(1);
    EXPECT_EQ(w.TxtServidor->text(), "S");
    w.lstBases->setCurrentRow(2);
    EXPECT_EQ(w.TxtDbName->text(), QString("B") + QChar(0xFF));
    w.lstBases->setCurrentRow(3);
    EXPECT_EQ(w.TxtServidor->text(), "S9");
    EXPECT_EQ(w.TxtDbName->text(), "B9");
}

TEST_F(FrmAcceso, AnEmptiedBoxShowsItsHintSelectedAndTypingReplacesIt) {
    frmAcceso& w = carga();
    for (const auto& [caja, pista] : std::vector<std::pair<QLineEdit*, QString>>{
             {w.TxtDbName, kPistaBase}, {w.TxtServidor, kPistaServidor}}) {
        caja->setText("algo");
        caja->setText("  ");
        EXPECT_EQ(caja->text(), pista);
        EXPECT_EQ(caja->selectedText(), pista);
        EXPECT_EQ(caja->palette().color(QPalette::Text), QColor(2, 0, 0));
        QTest::keyClicks(caja, "xy");
        EXPECT_EQ(caja->text(), "xy");
        // Deleting what was typed brings the hint back.
        QTest::keyClick(caja, Qt::Key_Backspace);
        QTest::keyClick(caja, Qt::Key_Backspace);
        EXPECT_EQ(caja->text(), pista);
    }
}

TEST_F(FrmAcceso, ThePasswordBoxNeverShowsAHintAndTheUserBoxOnlyOnFocus) {
    frmAcceso& w = carga();
    w.TxtUserPassword->setText("x");
    w.TxtUserPassword->clear();
    EXPECT_EQ(w.TxtUserPassword->text(), "");
    w.TxtUserId->clear();
    EXPECT_EQ(w.TxtUserId->text(), "");
    QFocusEvent foco(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(w.TxtUserId, &foco);
    EXPECT_EQ(w.TxtUserId->text(), kPistaUsuario);
    w.TxtUserId->setText("juan");
    QCoreApplication::sendEvent(w.TxtUserId, &foco);
    EXPECT_EQ(w.TxtUserId->text(), "juan");
}

TEST_F(FrmAcceso, ConectarKeepsTheUserBoxEvenItsHint) {
    escribeConocidas();
    const QString antes = leeBases();
    frmAcceso& w = carga();
    w.show();
    ASSERT_EQ(w.TxtUserId->text(), kPistaUsuario);
    w.bcAceptar->click();
    EXPECT_TRUE(w.Aceptar);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(sesion().gUsuarioLogeado, kPistaUsuario);
    EXPECT_EQ(leeBases(), antes);
}

TEST_F(FrmAcceso, CancelarHidesWithoutAccepting) {
    escribeConocidas();
    sesion().gUsuarioLogeado = "JUAN";
    frmAcceso& w = carga();
    w.show();
    w.TxtUserId->setText("otro");
    w.bcCancelar->click();
    EXPECT_FALSE(w.Aceptar);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(sesion().gUsuarioLogeado, "JUAN");
}

TEST_F(FrmAcceso, DoubleClickShowsTheConnectionAndConnects) {
    escribeConocidas();
    frmAcceso& w = carga();
    w.show();
    // A double-click selects the entry (its press) and then reports it.
    w.lstBases->setCurrentRow(1);
    Q_EMIT w.lstBases->itemDoubleClicked(w.lstBases->item(1));
    EXPECT_TRUE(w.Aceptar);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.TxtDbName->text(), "VENTAS");
    EXPECT_EQ(w.TxtServidor->text(), "SRV02");
}

TEST_F(FrmAcceso, EnterWalksTheBoxesToConectarWhichItThenPresses) {
    escribeConocidas();
    frmAcceso& w = muestra();
    w.TxtUserId->setFocus();
    const std::vector<QWidget*> cadena = {w.TxtUserPassword, w.TxtDbName, w.TxtServidor,
                                          w.bcAceptar};
    for (QWidget* siguiente : cadena) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), siguiente) << siguiente->objectName().toStdString();
        EXPECT_FALSE(w.Aceptar);
    }
    QTest::keyClick(w.bcAceptar, Qt::Key_Enter);
    EXPECT_TRUE(w.Aceptar);
}

TEST_F(FrmAcceso, EnterOnAnotherControlPressesNoButton) {
    escribeConocidas();
    frmAcceso& w = muestra();
    for (QWidget* control : std::vector<QWidget*>{w.TxtPuerto, w.CboPlataformaDB, w.lstBases}) {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
        EXPECT_TRUE(w.isVisible()) << control->objectName().toStdString();
    }
    EXPECT_FALSE(w.Aceptar);
}

TEST_F(FrmAcceso, ControlsAreNamedByTheirLabelsAndReachedByTheirMnemonics) {
    frmAcceso& w = muestra();
    const std::vector<std::tuple<QWidget*, QString, Qt::Key>> controles = {
        {w.TxtUserId, "Usuario", Qt::Key_U},
        {w.TxtUserPassword, "Contraseña", Qt::Key_O},
        {w.TxtDbName, "Base de datos", Qt::Key_B},
        {w.TxtServidor, "Servidor", Qt::Key_S},
        {w.TxtPuerto, "Puerto", Qt::Key_T},
        {w.CboPlataformaDB, "Plataforma", Qt::Key_P},
        {w.lstBases, "Conexiones registradas", Qt::Key_G}};
    for (const auto& [control, nombre, tecla] : controles) {
        EXPECT_EQ(control->accessibleName(), nombre);
        // The label reads exactly so: no colon added.
        const QList<QLabel*> etiquetas = w.findChildren<QLabel*>();
        const auto etiqueta = std::find_if(etiquetas.begin(), etiquetas.end(),
                                           [&](const QLabel* l) { return l->buddy() == control; });
        ASSERT_NE(etiqueta, etiquetas.end()) << nombre.toStdString();
        EXPECT_EQ((*etiqueta)->text().remove('&'), nombre);
        QTest::keyClick(&w, tecla, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), control) << nombre.toStdString();
    }
    const std::vector<std::pair<QPushButton*, QString>> botones = {
        {w.bcAceptar, "Conectar"},
        {w.bcCancelar, "Cancelar"},
        {w.CmdRegistrar, "Registrar"},
        {w.CmdLineaComando, "Crear Acceso Directo"}};
    for (const auto& [b, titulo] : botones) {
        EXPECT_EQ(b->accessibleName(), titulo);
        EXPECT_EQ(b->text().remove('&'), titulo);
    }
    // A button's mnemonic presses it (the click itself follows on a timer).
    for (const auto& [b, tecla] :
         std::vector<std::pair<QPushButton*, Qt::Key>>{{w.bcAceptar, Qt::Key_C},
                                                       {w.bcCancelar, Qt::Key_A},
                                                       {w.CmdRegistrar, Qt::Key_R},
                                                       {w.CmdLineaComando, Qt::Key_D}}) {
        QTest::keyClick(&w, tecla, Qt::AltModifier);
        EXPECT_TRUE(b->isDown()) << b->objectName().toStdString();
        b->setDown(false);
    }
}

TEST_F(FrmAcceso, TabGoesFromTheBoxesToTheButtonsAndThenTheList) {
    frmAcceso& w = carga();
    QStringList orden;
    QWidget* control = w.TxtUserId;
    do {
        if (control->focusPolicy() & Qt::TabFocus) orden << control->objectName();
        control = control->nextInFocusChain();
    } while (control != w.TxtUserId);
    EXPECT_EQ(orden,
              (QStringList{"TxtUserId", "TxtUserPassword", "TxtDbName", "CmdBuscarArchivo",
                           "TxtServidor", "TxtPuerto", "CboPlataformaDB", "bcAceptar", "bcCancelar",
                           "lstBases", "CmdRegistrar", "CmdLineaComando", "Label8"}));
}

TEST_F(FrmAcceso, SqlitePlatformTakesADatabaseFile) {
    frmAcceso& w = carga();
    EXPECT_FALSE(w.findChild<QPushButton*>("CmdBuscarArchivo")->isEnabled());
    w.CboPlataformaDB->setCurrentIndex(frmAcceso::kPlataformaSqlite);
    EXPECT_EQ(w.TxtServidor->text(), "sqlite");
    EXPECT_TRUE(w.TxtServidor->isReadOnly());
    EXPECT_EQ(w.TxtDbName->toolTip(), "ingrese la ruta del archivo de la base de datos");

    ScopedDialogs boxes;
    boxes.file("/datos/contab.db");
    w.findChild<QPushButton*>("CmdBuscarArchivo")->click();
    EXPECT_EQ(w.TxtDbName->text(), "/datos/contab.db");

    w.CboPlataformaDB->setCurrentIndex(frmAcceso::kPlataformaSqlServer);
    EXPECT_EQ(w.TxtServidor->text(), kPistaServidor);
    EXPECT_FALSE(w.TxtServidor->isReadOnly());
}

TEST_F(FrmAcceso, TypingSqliteAsTheServerChoosesTheEmbeddedPlatform) {
    frmAcceso& w = muestra();
    w.TxtServidor->setFocus();
    w.TxtServidor->selectAll();
    QTest::keyClicks(w.TxtServidor, "SQLite");
    EXPECT_EQ(w.CboPlataformaDB->currentIndex(), frmAcceso::kPlataformaSqlite);
    EXPECT_TRUE(w.findChild<QPushButton*>("CmdBuscarArchivo")->isEnabled());
    EXPECT_FALSE(w.TxtPuerto->isEnabled());
    EXPECT_EQ(w.TxtServidor->text(), "sqlite");
}

// A registration is quick: the second press of a double click arrives once
// it is over, and must not register again (nor say that it exists).
TEST_F(FrmAcceso, ADoubleClickOnRegistrarRegistersOnce) {
    frmAcceso& w = muestra();
    const QString file = preparaIncorporada(w);
    ScopedDialogs boxes;
    QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, {},
                       w.CmdRegistrar->mapTo(&w, w.CmdRegistrar->rect().center()));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(leeBases().count("\r\n"), 1);
    EXPECT_EQ(entradas(w), QStringList{file.toUpper() + " / SQLITE"});
}

TEST_F(FrmAcceso, PasswordCharactersShowAsAsterisks) {
    frmAcceso& w = carga();
    w.TxtUserPassword->setText("abcd");
    EXPECT_EQ(w.TxtUserPassword->displayText(), "****");
}

TEST_F(FrmAcceso, TheLinkOpensTheMakersAddress) {
    Navegador navegador;
    QDesktopServices::setUrlHandler("http", &navegador, "abre");
    QDesktopServices::setUrlHandler("https", &navegador, "abre");
    frmAcceso& w = carga();
    Q_EMIT w.Label8->linkActivated(frmAcceso::sitioFabricante());
    QDesktopServices::unsetUrlHandler("http");
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(navegador.abiertas.size(), 1);
    EXPECT_EQ(navegador.abiertas[0], QUrl(frmAcceso::sitioFabricante()));
}

TEST_F(FrmAcceso, TheMakersAddressCanBeConfigured) {
    QTemporaryDir config;
    const QByteArray previa = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    ASSERT_TRUE(cp1252::writeFile(config.filePath("KL000p.INI"),
                                  "[Acceso]\r\nSitioWeb=https://soporte.example.com.ar\r\n"));
    const QString sitio = frmAcceso::sitioFabricante();
    qputenv("XDG_CONFIG_HOME", previa);
    EXPECT_EQ(sitio, "https://soporte.example.com.ar");
}

// ---- Registration ------------------------------------------------------

TEST_F(FrmAcceso, RegistrarAddsATestedEmbeddedDatabase) {
    escribeConocidas();
    frmAcceso& w = carga();
    std::vector<QStringList> iniciados;
    w.setIniciaPrograma([&](const QString& p, const QStringList& a) {
        iniciados.push_back(QStringList{p} + a);
        return true;
    });
    const QString file = preparaIncorporada(w);
    ScopedDialogs boxes;
    w.CmdRegistrar->click();
    EXPECT_TRUE(boxes.shown().empty());

    const QString nombre = file.toUpper() + " / SQLITE";
    const QStringList lineas = leeBases().split("\r\n");
    ASSERT_EQ(lineas.size(), 6);
    const login::LineaBases nueva = login::leeLineaBases(lineas[4]);
    EXPECT_EQ(nueva.nombre, nombre);
    EXPECT_EQ(nueva.base, file);
    EXPECT_EQ(nueva.usuario, file);
    EXPECT_EQ(Brimcor2::DecodificaTexto(nueva.clave), file);
    EXPECT_EQ(nueva.servidor, "sqlite");
    EXPECT_EQ(entradas(w).last(), nombre);
    // The boxes show the connection registered, ready for "Conectar".
    EXPECT_EQ(w.lstBases->currentItem()->text(), nombre);
    EXPECT_EQ(w.TxtDbName->text(), file);
    EXPECT_EQ(db::sharedDb().gCnn->State(), ado::adStateClosed);
    // Without ODBC.exe in the program's folder nothing is started.
    EXPECT_TRUE(iniciados.empty());
}

TEST_F(FrmAcceso, OdbcUtilityStartsAfterRegisteringWhenItIsThere) {
    {
        QFile utilidad(QDir(carpeta()).filePath("ODBC.exe"));
        ASSERT_TRUE(utilidad.open(QIODevice::WriteOnly));
    }
    frmAcceso& w = carga();
    std::vector<QStringList> iniciados;
    w.setIniciaPrograma([&](const QString& p, const QStringList& a) {
        iniciados.push_back(QStringList{p} + a);
        return true;
    });
    const QString file = preparaIncorporada(w);
    w.CmdRegistrar->click();
    ASSERT_EQ(iniciados.size(), 1u);
    EXPECT_EQ(iniciados[0],
              (QStringList{carpeta() + "/ODBC.exe", "Server=sqlite;DB=" + file + ";"}));
}

TEST_F(FrmAcceso, RegistrarRefusesANameAlreadyRegistered) {
    escribeConocidas();
    const QString antes = leeBases();
    frmAcceso& w = carga();
    w.TxtDbName->setText("contab");
    w.TxtServidor->setText("srv01:1433");
    ScopedDialogs boxes;
    boxes.answer(answer::Ok);
    w.CmdRegistrar->click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "La conexion que intenta registrar ya existe ");
    EXPECT_EQ(boxes.shown()[0].title, "Atencion");
    EXPECT_EQ(boxes.shown()[0].style, mb::Information);
    EXPECT_EQ(leeBases(), antes);
}

TEST_F(FrmAcceso, RegistrarRefusesACommaAndSaysWhy) {
    frmAcceso& w = carga();
    w.TxtDbName->setText("con,tab");
    w.TxtServidor->setText("SRV01");
    ScopedDialogs boxes;
    boxes.answer(answer::Ok);
    w.CmdRegistrar->click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.shown()[0].text.contains("comas")) << boxes.shown()[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(bases()));
    EXPECT_TRUE(db::sharedDb().gCnn->errors().empty());
}

TEST_F(FrmAcceso, FirstConectarWithoutBasesTxtRegistersTheConnection) {
    frmAcceso& w = carga();
    const QString file = preparaIncorporada(w);
    w.TxtUserId->setText("  juan ");
    w.show();
    w.bcAceptar->click();
    EXPECT_TRUE(w.Aceptar);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(leeBases(), file.toUpper() + " / SQLITE," + file + "," + file + "," +
                              Brimcor2::CodificaTexto(file) + ",sqlite\r\n");
    // The user is kept as typed; the new entry is then shown.
    EXPECT_EQ(sesion().gUsuarioLogeado, "  juan ");
    EXPECT_EQ(w.lstBases->currentItem()->text(), file.toUpper() + " / SQLITE");
    EXPECT_EQ(w.TxtDbName->text(), file);
    EXPECT_EQ(w.TxtServidor->text(), "sqlite");
}

TEST_F(FrmAcceso, AConnectionThatCannotBeMadeIsNotRegistered) {
    frmAcceso& w = carga();
    w.CboPlataformaDB->setCurrentIndex(frmAcceso::kPlataformaSqlite);
    const QString missing = files_.path("no-existe.db");
    w.TxtDbName->setText(missing);
    w.TxtUserId->setText("juan");
    w.TxtUserPassword->setText("clave");
    ScopedDialogs boxes;
    boxes.answer(answer::No).answer(answer::Ok);
    w.CmdRegistrar->click();
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].title, " Error de Conexion a Base de Datos");
    EXPECT_EQ(boxes.shown()[1].text,
              "NO SE PUDO CONECTAR AL SERVIDOR sqlite VERIFIQUE EL NOMBRE "
              "DE USUARIO Y PASSWORD INGRESADO");
    EXPECT_EQ(boxes.shown()[1].title, "AVISO AL OPERADOR");
    EXPECT_EQ(boxes.shown()[1].style, mb::Information);
    EXPECT_FALSE(QFile::exists(bases()));
    // The second attempt used the typed user and password.
    const db::DB_Dll& db = db::sharedDb();
    EXPECT_EQ(db.gServidor, "sqlite");
    EXPECT_EQ(db.gDBName, missing);
    EXPECT_EQ(db.gUsuario, "juan");
    EXPECT_EQ(db.gUserPassWord, "clave");
    EXPECT_FALSE(db.gOpenFlag);
}

TEST_F(FrmAcceso, AFailureToWriteIsShownAndTheRegistrationEnds) {
    // A folder where the file should be: it cannot be read or appended to.
    ASSERT_TRUE(QDir(carpeta()).mkdir("BASES.TXT"));
    frmAcceso& w = carga();
    preparaIncorporada(w);
    ScopedDialogs boxes;
    boxes.answer(answer::Ok);
    w.CmdRegistrar->click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(
        boxes.shown()[0].text.startsWith("SQL Server start failed.  \nSQL-DMO error:   75 "))
        << boxes.shown()[0].text.toStdString();
    EXPECT_EQ(boxes.shown()[0].style, mb::OkOnly);
    EXPECT_EQ(w.lstBases->count(), 0);
    EXPECT_EQ(db::sharedDb().gCnn->State(), ado::adStateClosed);
}

TEST_F(FrmAcceso, DesktopEntryGoesToTheUsersDesktop) {
    QTemporaryDir home;
    const QByteArray previoHome = qgetenv("HOME");
    const QByteArray previoConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    frmAcceso& w = carga();
    w.CmdLineaComando->click();
    qputenv("HOME", previoHome);
    if (previoConfig.isNull()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", previoConfig);
    }
    const QString entrada = home.path() + "/Desktop/test_login.desktop";
    const std::optional<QString> texto = cp1252::readFile(entrada);
    ASSERT_TRUE(texto);
    EXPECT_TRUE(texto->contains("\nExec=\"" + carpeta() + "/test_login\"\n"))
        << texto->toStdString();
}

}  // namespace
}  // namespace kl::test

#include "test_frm_acceso.moc"
