#include "login/frm_acceso.h"

#include "dblayer/db_dll.h"
#include "login/acceso_directo.h"
#include "login/bases_txt.h"
#include "login/existe_archivo.h"
#include "login/registro_conexion.h"
#include "platform/dialogs.h"
#include "platform/error_numbers.h"
#include "platform/module_settings.h"
#include "platform/ui/one_at_a_time.h"
#include "platform/ui/shell.h"
#include "platform/ui/windows.h"
#include "session/aviso_operador.h"
#include "session/brimcor2.h"
#include "session/sesion.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <utility>
#include <vector>

namespace kl {

namespace {

// The hints are shown in the colour the module's windows give them.
const QColor kColorPista(2, 0, 0);

QLabel* etiquetaDe(const QString& texto, QWidget* control) {
    auto* etiqueta = new QLabel(texto);
    etiqueta->setBuddy(control);
    // Screen readers name the box by its label as a person reads it.
    control->setAccessibleName(QString(texto).remove(u'&'));
    return etiqueta;
}

QLineEdit* cajaDeTexto(const QString& nombreObjeto, const QString& ayuda) {
    auto* caja = new QLineEdit;
    caja->setObjectName(nombreObjeto);
    caja->setToolTip(ayuda);
    return caja;
}

bool esEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int tecla = static_cast<const QKeyEvent*>(event)->key();
    return tecla == Qt::Key_Return || tecla == Qt::Key_Enter;
}

bool iniciaSinEsperar(const QString& programa, const QStringList& argumentos) {
    return startProgram(programa, argumentos).has_value();
}

}  // namespace

frmAcceso::frmAcceso(QWidget* parent)
    : QDialog(parent),
      TxtUserId(
          cajaDeTexto(QStringLiteral("TxtUserId"), QStringLiteral("Ingrese el nombre de usuario"))),
      TxtUserPassword(
          cajaDeTexto(QStringLiteral("TxtUserPassword"), QStringLiteral("Ingrese la contraseña"))),
      TxtDbName(cajaDeTexto(QStringLiteral("TxtDbName"),
                            QStringLiteral("ingrese el nombre de la base de datos"))),
      TxtServidor(cajaDeTexto(QStringLiteral("TxtServidor"),
                              QStringLiteral("ingrese el nombre del servidor e instancia"))),
      TxtPuerto(cajaDeTexto(QStringLiteral("TxtPuerto"), QStringLiteral("Ingrese el Puerto "))),
      CboPlataformaDB(new QComboBox),
      lstBases(new QListWidget),
      bcAceptar(captionedButton(QStringLiteral("bcAceptar"), QStringLiteral("&Conectar"))),
      bcCancelar(captionedButton(QStringLiteral("bcCancelar"), QStringLiteral("C&ancelar"))),
      CmdRegistrar(captionedButton(QStringLiteral("CmdRegistrar"), QStringLiteral("&Registrar"))),
      CmdLineaComando(captionedButton(QStringLiteral("CmdLineaComando"),
                                      QStringLiteral("Crear Acceso &Directo"))),
      Label8(new QLabel),
      CmdBuscarArchivo(captionedButton(QStringLiteral("CmdBuscarArchivo"), QStringLiteral("..."))),
      unaALaVez_(new OneAtATime(this)),
      iniciaPrograma_(iniciaSinEsperar) {
    setObjectName(QStringLiteral("frmAcceso"));
    setWindowTitle(QStringLiteral("Control de Acceso"));
    TxtUserPassword->setEchoMode(QLineEdit::Password);
    // Typed characters show as "*", as in the module's other windows.
    TxtUserPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    TxtPuerto->setText(QStringLiteral("1433"));
    CboPlataformaDB->setObjectName(QStringLiteral("CboPlataformaDB"));
    CboPlataformaDB->addItems(
        {QStringLiteral("SQL Server"), QStringLiteral("ORACLE"), QStringLiteral("SQLite")});
    lstBases->setObjectName(QStringLiteral("lstBases"));
    // Room for the accents of capitals (COMPAÑÍA), which tight rows clip.
    lstBases->setSpacing(1);
    CmdBuscarArchivo->setAccessibleName(QStringLiteral("Buscar el archivo de la base de datos"));
    CmdBuscarArchivo->setToolTip(QStringLiteral("Buscar el archivo de la base de datos"));
    CmdBuscarArchivo->setEnabled(false);
    Label8->setObjectName(QStringLiteral("Label8"));
    const QString sitio = sitioFabricante();
    Label8->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(sitio.toHtmlEscaped()));
    Label8->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    Label8->setAccessibleName(sitio);
    construyeVentana();
    conectaEventos();
}

frmAcceso::~frmAcceso() = default;

void frmAcceso::construyeVentana() {
    auto* titulo = new QLabel(QStringLiteral("Control de Acceso"));
    titulo->setObjectName(QStringLiteral("lblTitulo"));
    QFont letraTitulo = titulo->font();
    letraTitulo.setPointSizeF(letraTitulo.pointSizeF() * 1.6);
    letraTitulo.setBold(true);
    titulo->setFont(letraTitulo);
    auto* producto = new QLabel(QStringLiteral("KLStuff Contable"));
    producto->setObjectName(QStringLiteral("lblProducto"));
    auto* encabezado = new QLabel(QStringLiteral("AUTENTICACION"));
    encabezado->setObjectName(QStringLiteral("lblAutenticacion"));
    QFont letraEncabezado = encabezado->font();
    letraEncabezado.setBold(true);
    encabezado->setFont(letraEncabezado);

    auto* cabecera = new QHBoxLayout;
    cabecera->addWidget(titulo);
    cabecera->addStretch();
    cabecera->addWidget(producto, 0, Qt::AlignBottom);

    auto* izquierda = new QVBoxLayout;
    izquierda->addWidget(etiquetaDe(QStringLiteral("Conexiones re&gistradas"), lstBases));
    izquierda->addWidget(lstBases, 1);
    auto* registro = new QHBoxLayout;
    registro->addWidget(CmdRegistrar);
    registro->addWidget(CmdLineaComando);
    izquierda->addLayout(registro);

    auto* cajas = new QGridLayout;
    cajas->addWidget(etiquetaDe(QStringLiteral("&Usuario"), TxtUserId), 0, 0);
    cajas->addWidget(TxtUserId, 0, 1, 1, 3);
    cajas->addWidget(etiquetaDe(QStringLiteral("C&ontraseña"), TxtUserPassword), 1, 0);
    cajas->addWidget(TxtUserPassword, 1, 1, 1, 3);
    cajas->addWidget(etiquetaDe(QStringLiteral("&Base de datos"), TxtDbName), 2, 0);
    cajas->addWidget(TxtDbName, 2, 1, 1, 2);
    cajas->addWidget(CmdBuscarArchivo, 2, 3);
    cajas->addWidget(etiquetaDe(QStringLiteral("&Servidor"), TxtServidor), 3, 0);
    cajas->addWidget(TxtServidor, 3, 1);
    cajas->addWidget(etiquetaDe(QStringLiteral("Puer&to"), TxtPuerto), 3, 2);
    cajas->addWidget(TxtPuerto, 3, 3);
    cajas->addWidget(etiquetaDe(QStringLiteral("&Plataforma"), CboPlataformaDB), 4, 0);
    cajas->addWidget(CboPlataformaDB, 4, 1, 1, 3);
    cajas->setColumnStretch(1, 1);
    // A hint is read whole, not scrolled to its end.
    for (QLineEdit* caja : {TxtDbName, TxtServidor})
        caja->setMinimumWidth(caja->fontMetrics().horizontalAdvance(caja->toolTip()) + 16);
    TxtPuerto->setFixedWidth(TxtPuerto->fontMetrics().horizontalAdvance(QStringLiteral("000000")) +
                             16);
    CmdBuscarArchivo->setMaximumWidth(
        CmdBuscarArchivo->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(bcAceptar);
    botones->addWidget(bcCancelar);

    auto* derecha = new QVBoxLayout;
    derecha->addWidget(encabezado);
    derecha->addLayout(cajas);
    derecha->addStretch();
    derecha->addLayout(botones);

    auto* cuerpo = new QHBoxLayout;
    cuerpo->addLayout(izquierda, 1);
    cuerpo->addSpacing(12);
    cuerpo->addLayout(derecha, 1);

    auto* ventana = new QVBoxLayout(this);
    ventana->addLayout(cabecera);
    ventana->addLayout(cuerpo, 1);
    ventana->addWidget(Label8, 0, Qt::AlignRight);

    // The boxes in the order Enter walks them, then the buttons, then the
    // known connections and what registers them.
    const QList<QWidget*> orden = {TxtUserId,   TxtUserPassword, TxtDbName,       CmdBuscarArchivo,
                                   TxtServidor, TxtPuerto,       CboPlataformaDB, bcAceptar,
                                   bcCancelar,  lstBases,        CmdRegistrar,    CmdLineaComando,
                                   Label8};
    for (qsizetype i = 1; i < orden.size(); ++i) setTabOrder(orden[i - 1], orden[i]);
    Label8->setFocusPolicy(Qt::TabFocus);
    lstBases->setMinimumWidth(lstBases->fontMetrics().horizontalAdvance(u'M') * 18);
}

void frmAcceso::conectaEventos() {
    for (QObject* observado : std::initializer_list<QObject*>{
             TxtUserId, TxtUserPassword, TxtDbName, TxtServidor, lstBases, bcAceptar, bcCancelar,
             CmdRegistrar, CmdLineaComando, CmdBuscarArchivo})
        observado->installEventFilter(this);
    for (QLineEdit* caja : {TxtDbName, TxtServidor, TxtUserPassword})
        connect(caja, &QLineEdit::textChanged, this, [this, caja] { MensajeInicial(caja); });
    connect(lstBases, &QListWidget::currentRowChanged, this, [this] { AsignarDatosBase(); });
    connect(lstBases, &QListWidget::itemClicked, this, [this] { AsignarDatosBase(); });
    // Registering tests the connection and may ask the operator: a second
    // press meanwhile, or a double click's, would register it twice.
    connect(lstBases, &QListWidget::itemDoubleClicked, this, [this] {
        unaALaVez_->run([this] {
            AsignarDatosBase();
            bcAceptar_Click();
        });
    });
    connect(CboPlataformaDB, &QComboBox::currentIndexChanged, this, &frmAcceso::plataformaElegida);
    // The server "sqlite" typed names the embedded engine, as choosing it does.
    connect(TxtServidor, &QLineEdit::textChanged, this, [this](const QString& servidor) {
        if (login::esServidorIncorporado(servidor))
            CboPlataformaDB->setCurrentIndex(kPlataformaSqlite);
    });
    unaALaVez_->connect(*bcAceptar, [this] { bcAceptar_Click(); });
    unaALaVez_->connect(*bcCancelar, [this] { bcCancelar_Click(); });
    unaALaVez_->connect(*CmdRegistrar, [this] { CmdRegistrar_Click(); });
    unaALaVez_->connect(*CmdLineaComando, [this] { CmdLineaComando_Click(); });
    unaALaVez_->connect(*CmdBuscarArchivo, [this] { buscaArchivoBase(); });
    connect(Label8, &QLabel::linkActivated, this, &frmAcceso::Label8_Click);
}

void frmAcceso::Form_Load() {
    Aceptar = false;
    adjustSize();
    Brimcor2::PreparaFormulario(this, true);
    llenarlist();
    for (QLineEdit* caja : {TxtUserId, TxtUserPassword, TxtDbName, TxtServidor})
        MensajeInicial(caja);
}

bool frmAcceso::eventFilter(QObject* watched, QEvent* event) {
    if (esEnter(event)) {
        if (auto* b = qobject_cast<QPushButton*>(watched)) {
            b->click();
            return true;
        }
        const std::pair<QObject*, QWidget*> cadena[] = {{TxtUserId, TxtUserPassword},
                                                        {TxtUserPassword, TxtDbName},
                                                        {TxtDbName, TxtServidor},
                                                        {TxtServidor, bcAceptar}};
        for (const auto& [desde, hacia] : cadena) {
            if (watched == desde) {
                hacia->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
    }
    if (watched == TxtUserId && event->type() == QEvent::FocusIn) MensajeInicial(TxtUserId);
    if (watched == lstBases && event->type() == QEvent::KeyPress) AsignarDatosBase();
    return QDialog::eventFilter(watched, event);
}

void frmAcceso::llenarlist() {
    const QString ruta = login::rutaBases();
    if (!ExisteArchivo(ruta)) {
        lstBases->clear();
        return;
    }
    std::vector<login::LineaBases> lineas;
    const StepOutcome leido = runStep([&] { return login::leeBases(ruta, lineas); },
                                      avisoOperadorPara(QStringLiteral("FormLoad")));
    if (leido == StepOutcome::Abandoned) return;
    {
        // The first entry is selected below, once, as the list's own event.
        const QSignalBlocker sinEventos(lstBases);
        lstBases->clear();
        for (const login::LineaBases& linea : lineas) {
            if (!linea.nombre.isEmpty()) lstBases->addItem(linea.nombre);
        }
        lstBases->setCurrentRow(-1);
    }
    if (lstBases->count() > 0) lstBases->setCurrentRow(0);
}

bool frmAcceso::DatosBase(const QString& Nombre) {
    const QString ruta = login::rutaBases();
    if (!ExisteArchivo(ruta)) return false;
    std::vector<login::LineaBases> lineas;
    if (const StepResult falla = login::leeBases(ruta, lineas)) {
        AvisoOperador(*falla, kEstiloAvisoOperador, QStringLiteral("DatosBase"));
        return false;
    }
    const QString buscado = Nombre.trimmed();
    for (const login::LineaBases& linea : lineas) {
        if (linea.nombre != buscado) continue;
        guardada_ = {linea.nombre, linea.base, linea.usuario,
                     Brimcor2::DecodificaTexto(linea.clave), linea.servidor};
        return true;
    }
    return false;
}

void frmAcceso::AsignarDatosBase() {
    const QListWidgetItem* elegida = lstBases->currentItem();
    if (!elegida) return;
    DatosBase(elegida->text().trimmed());
    const qsizetype dosPuntos = guardada_.servidor.indexOf(u':');
    if (dosPuntos >= 0) {
        puerto_ = guardada_.servidor.mid(dosPuntos + 1);
        guardada_.servidor = guardada_.servidor.left(dosPuntos).trimmed().toUpper();
    }
    TxtServidor->setText(guardada_.servidor);
    TxtUserId->clear();
    TxtUserPassword->clear();
    TxtDbName->setText(guardada_.base);
    TxtPuerto->setText(puerto_);
    // The platform list follows the connection shown, so a server picked
    // from the list is never reached through another platform chosen before.
    CboPlataformaDB->setCurrentIndex(plataformaDe(guardada_.servidor));
}

void frmAcceso::MensajeInicial(QLineEdit* ObjTxt) {
    QString pista;
    if (ObjTxt == TxtUserId) {
        pista = QStringLiteral("Ingrese el usuario");
    } else if (ObjTxt == TxtDbName) {
        pista = QStringLiteral("ingrese el nombre de la base de datos");
    } else if (ObjTxt == TxtServidor) {
        pista = QStringLiteral("ingrese el nombre del servidor e instancia");
    }
    const QString texto = ObjTxt->text().trimmed();
    if (!texto.isEmpty() && texto != pista) return;
    if (ObjTxt->text() != pista) ObjTxt->setText(pista);
    QPalette colores = ObjTxt->palette();
    colores.setColor(QPalette::Text, kColorPista);
    ObjTxt->setPalette(colores);
    ObjTxt->setSelection(0, static_cast<int>(ObjTxt->text().trimmed().size()));
}

void frmAcceso::RegistrarBases() {
    if (!ExisteArchivo(login::rutaBases())) CmdRegistrar_Click();
}

void frmAcceso::bcAceptar_Click() {
    sesion().gUsuarioLogeado = TxtUserId->text();
    Aceptar = true;
    RegistrarBases();
    accept();
}

void frmAcceso::bcCancelar_Click() {
    Aceptar = false;
    reject();
}

void frmAcceso::CmdRegistrar_Click() {
    db::DB_Dll& db = db::sharedDb();
    const QString nombre = login::nombreConexion(TxtDbName->text(), TxtServidor->text());
    if (const QString motivo = login::motivoNoRegistrable(TxtDbName->text(), TxtServidor->text());
        !motivo.isEmpty()) {
        MsgBox(motivo, mb::Exclamation, QStringLiteral("Atencion"));
        return;
    }
    if (DatosBase(nombre)) {
        MsgBox(QStringLiteral("La conexion que intenta registrar ya existe "), mb::Information,
               QStringLiteral("Atencion"));
        return;
    }
    for (QLineEdit* caja : {TxtServidor, TxtUserId, TxtUserPassword, TxtDbName})
        caja->setText(caja->text().trimmed());

    // A failure the registration does not pass over is shown, and the
    // registration goes on with its closing steps.
    const auto sigue = [](const StepResult& falla) {
        if (!falla || login::fallaIgnorada(falla->number)) return true;
        MsgBox(login::textoFallaRegistro(*falla));
        return false;
    };
    const QString servidor = TxtServidor->text();
    const QString base = TxtDbName->text();
    // A company database logs in with its own name, in capitals; an
    // embedded database's path keeps its letters, which name the file.
    const QString archivoOBase = login::esServidorIncorporado(servidor) ? base : base.toUpper();
    const bool probada = ExisteBaseDeDatos(servidor, archivoOBase, base.toUpper(), base.toUpper(),
                                           QStringLiteral("SQLOLEDB"));
    bool registrar = true;
    if (!probada) {
        if (db.gOpenFlag) registrar = sigue(db.gCnn->Close());
        if (registrar) {
            db.gServidor = servidor;
            db.gUsuario = TxtUserId->text();
            db.gUserPassWord = TxtUserPassword->text();
            db.gDBName = base;
            db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
            if (!db.gOpenFlag) {
                MsgBox(QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR ") + servidor +
                           QStringLiteral(" VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD INGRESADO"),
                       mb::Information, QStringLiteral("AVISO AL OPERADOR"));
                return;
            }
        }
    }
    if (registrar) sigue(GrabaConexion(nombre, base, base, base, servidor, false));

    const QString utilidad = login::carpetaPrograma() + QLatin1String(login::kUtilidadODBC);
    if (QFileInfo(utilidad).isFile()) {
        // The database typed in the window, which the connection just
        // registered names, whichever way it was tested.
        if (!iniciaPrograma_(utilidad, {login::argumentoODBC(servidor, base)})) {
            sigue(RunError{ado::err::FileNotFound, QStringLiteral("No se pudo iniciar ") + utilidad,
                           QStringLiteral("frmAcceso")});
        }
    }
    sigue(db.gCnn->Close());
    llenarlist();
    // The boxes show what was just registered, not whichever connection
    // heads the list, so "Conectar" goes where the operator registered.
    const QList<QListWidgetItem*> registrada = lstBases->findItems(nombre, Qt::MatchExactly);
    if (!registrada.isEmpty()) lstBases->setCurrentItem(registrada.first());
}

void frmAcceso::CmdLineaComando_Click() {
    const QString programa =
        login::carpetaPrograma() + QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (const StepResult falla = login::creaAccesoDirecto(login::carpetaEscritorio(), programa,
                                                          login::iconoPrograma())) {
        MsgBox(falla->description, mb::Critical, QStringLiteral("Crear Acceso Directo"));
    }
}

void frmAcceso::Label8_Click() {
    AbreDocumento(sitioFabricante(), true);
}

QString frmAcceso::sitioFabricante() {
    return readModuleSetting(QStringLiteral("Acceso"), QStringLiteral("SitioWeb"),
                             QStringLiteral("http://www.brimcor.com.ar"));
}

void frmAcceso::setIniciaPrograma(IniciaPrograma inicia) {
    iniciaPrograma_ = inicia ? std::move(inicia) : IniciaPrograma(iniciaSinEsperar);
}

frmAcceso::Plataforma frmAcceso::plataformaDe(const QString& servidor) {
    if (servidor.contains(u'#')) return kPlataformaOracle;
    if (login::esServidorIncorporado(servidor)) return kPlataformaSqlite;
    return kPlataformaSqlServer;
}

void frmAcceso::plataformaElegida(int indice) {
    const bool incorporada = indice == kPlataformaSqlite;
    if (incorporada) {
        TxtServidor->setText(QLatin1String(login::kServidorIncorporado));
    } else if (login::esServidorIncorporado(TxtServidor->text())) {
        TxtServidor->clear();
    }
    TxtServidor->setReadOnly(incorporada);
    // A file has no port.
    TxtPuerto->setEnabled(!incorporada);
    CmdBuscarArchivo->setEnabled(incorporada);
    TxtDbName->setToolTip(incorporada
                              ? QStringLiteral("ingrese la ruta del archivo de la base de datos")
                              : QStringLiteral("ingrese el nombre de la base de datos"));
}

void frmAcceso::buscaArchivoBase() {
    FileDialogRequest pedido;
    pedido.title = QStringLiteral("Buscar Base de Datos");
    pedido.filter =
        QStringLiteral("Base de Datos SQLite|*.db;*.sqlite;*.sqlite3|Todos los archivos|*");
    if (QFileInfo(TxtDbName->text()).isFile()) pedido.initialFile = TxtDbName->text();
    const QString elegido = dialogs().openFile(pedido);
    if (!elegido.isEmpty()) TxtDbName->setText(elegido);
}

}  // namespace kl
