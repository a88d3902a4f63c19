#include "config/frm_configuracion.h"

#include "config/aceptacion.h"
#include "config/claves_formulario.h"
#include "config/consulta_historial.h"
#include "config/filtro_teclas.h"
#include "config/wiz_ejercicio.h"
#include "dblayer/db_dll.h"
#include "lookup/def_qconsulta.h"
#include "platform/dialogs.h"
#include "platform/error_numbers.h"
#include "platform/ui/fitted_image.h"
#include "platform/ui/one_at_a_time.h"
#include "platform/ui/windows.h"
#include "session/brimcor2.h"
#include "session/claves_configuracion.h"
#include "session/estilo_ventanas.h"
#include "session/historial_cambios.h"
#include "session/sesion.h"
#include "startup/inicio_sesion.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kl {

using config::ControlEnlazado;
using config::Pestana;
using config::TipoControl;

frmConfiguracion::frmConfiguracion(QWidget* parent)
    : QWidget(parent), unaALaVez_(new OneAtATime(this)) {
    setObjectName(QStringLiteral("frmConfiguracion"));
    setWindowTitle(QStringLiteral("Configuración del Sistema"));
    // The client area measures 7365 x 5235 twips.
    resize(7365 / twipsPerPixelX(), 5235 / twipsPerPixelY());

    auto* raiz = new QVBoxLayout(this);
    construyeControles(*raiz);

    // The buttons stand left to right as the module's windows place them
    // (left edges at 360, 2640 and 4920 twips), whatever the desktop's
    // own button order.
    auto* botones = new QHBoxLayout;
    auto* aceptar = new QPushButton(QStringLiteral("&Aceptar"));
    auto* aplicar = new QPushButton(QStringLiteral("A&plicar"));
    auto* cancelar = new QPushButton(QStringLiteral("&Cancelar"));
    const int paso = (2640 - 360) / twipsPerPixelX();
    botones->setSpacing(8);
    botones->addSpacing(360 / twipsPerPixelX());
    for (QPushButton* boton : {aceptar, aplicar, cancelar}) {
        boton->setFixedWidth(paso - 8);
        botones->addWidget(boton);
    }
    botones->addStretch();
    auto* historial = new QPushButton(QStringLiteral("&Historial..."));
    historial->setObjectName(QStringLiteral("cmdHistorial"));
    connect(historial, &QPushButton::clicked, this, &frmConfiguracion::cmdHistorial_Click);
    botones->addWidget(historial);
    aceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cancelar->setObjectName(QStringLiteral("cmdCancelar"));
    aplicar->setObjectName(QStringLiteral("cmdAplicar"));
    aceptar->setDefault(true);
    unaALaVez_->watch(*aceptar);
    connect(aceptar, &QPushButton::clicked, this, &frmConfiguracion::cmdAceptar_Click);
    connect(cancelar, &QPushButton::clicked, this, &frmConfiguracion::cmdCancelar_Click);
    // "A&plicar" has no action of its own; it only follows the tab shown.
    cmdAplicar_ = aplicar;
    connect(SSpaneles_, &QTabWidget::currentChanged, this, &frmConfiguracion::SSpaneles_Click);
    SSpaneles_Click();
    raiz->addLayout(botones);
    validacion_.setReglasEjercicio(reglas_);
    // Every tab's caption is shown whole, so the window grows to its tabs.
    resize(size().expandedTo(sizeHint()));
}

void frmConfiguracion::SSpaneles_Click() {
    cmdAplicar_->setEnabled(enPantalla());
}

bool frmConfiguracion::enPantalla() const {
    return SSpaneles_->tabText(SSpaneles_->currentIndex())
               .compare(config::captionPestana(Pestana::Pantalla), Qt::CaseInsensitive) == 0;
}

void frmConfiguracion::Form_Load() {
    Brimcor2::PreparaFormulario(this, true);
    AsignaIcono(*this);
    IniciaSesion();
    AplicaEstiloVisual(*this, SkinFramework1);
    if (db::sharedDb().gOpenFlag) CargaConfiguracion();
}

void frmConfiguracion::CargaConfiguracion() {
    cargando_ = true;
    // The stored image stays the confirmed one until the operator changes
    // it: the save writes it back every time.
    sesion().gImagenFondo = Cfg(QStringLiteral("IMAGEN DE FONDO")).trimmed();
    rutaElegida_ = sesion().gImagenFondo;
    muestraImagen(rutaElegida_);
    lblTitulo1_->setText(Brimcor2::DivideRuta(rutaElegida_).archivo);
    // A level count that cannot be read leaves the levels after it as they
    // were; the positions are worked out all the same.
    LeeDigitosNiveles();
    CalculaPosicionesNiveles();
    digitosAnteriores_ = sesion().gDigitosNivel;
    for (const ControlEnlazado& c : config::controlesEnlazados()) {
        if (c.fijaSoloMayusculas) setValor(c, sesion().gSoloMayusculas ? 1 : 0);
    }
    // A first-time configuration (no company name stored) keeps the
    // designer's texts so that accepting stores them all.
    if (!Cfg(QStringLiteral("NOMBRE")).trimmed().isEmpty()) {
        cargados_ = config::CargaClaves(*this);
    } else if (const ControlEnlazado* nombre = config::buscaClave(QStringLiteral("NOMBRE"))) {
        setTexto(*nombre, QString());
    }
    Datos_Ejercicios();
    historial::PreparaHistorial();
    SSpaneles_Click();
    // The shared-database and password options are shown, never changed here.
    for (const char* name : {"ChkBdu", "ChkPass"}) {
        if (const ControlEnlazado* c = config::buscaNombre(QLatin1String(name)))
            habilita(*c, false);
    }
    cargando_ = false;
}

void frmConfiguracion::Datos_Ejercicios() {
    informaFallo([this] { panel_.Datos_Ejercicios(cargando_); });
}

void frmConfiguracion::SldrEjercicio_Change() {
    informaFallo([this] { panel_.SldrEjercicio_Change(cargando_); });
}

void frmConfiguracion::CmdAbrirEjercicio_Click() {
    sinSolapar([this] { informaFallo([this] { panel_.CmdAbrirEjercicio_Click(); }); });
}

void frmConfiguracion::CmdCerrarEjercicio_Click() {
    sinSolapar([this] { informaFallo([this] { panel_.CmdCerrarEjercicio_Click(); }); });
}

void frmConfiguracion::CmdCrearEjercicio_Click() {
    sinSolapar([this] {
        informaFallo([this] {
            const config::PedidoAsistente pedido = panel_.preparaAsistente();
            WizEjercicio wizard(this);
            wizard.pNoHabilitarFdesde = !pedido.primerEjercicio;
            wizard.pPedirNroEjercicioInicial = pedido.primerEjercicio;
            wizard.pFecha_Desde = pedido.fechaDesde;
            wizard.pFecha_Hasta = pedido.fechaHasta;
            showModal(wizard);
            panel_.asistenteCerrado(pedido, wizard.creado(), wizard.pNuevo_Ejercicio);
        });
    });
}

void frmConfiguracion::sinSolapar(const std::function<void()>& accion) {
    unaALaVez_->run(accion);
}

void frmConfiguracion::informaFallo(const std::function<void()>& accion) {
    const StepResult failure = guarded(
        [&]() -> StepResult {
            accion();
            return std::nullopt;
        },
        objectName());
    if (failure) {
        MsgBox(QStringLiteral("No se pudo completar la operación: ") + failure->description,
               mb::OkOnly | mb::Critical, QStringLiteral("Aviso al operador"));
    }
}

void frmConfiguracion::muestraImagen(const QString& path) {
    Imagen1_->setPicture(path.isEmpty() ? QPixmap() : QPixmap(path));
}

QString frmConfiguracion::SeleccionaArchivo(const QString& filtro) {
    return dialogs().openFile({.title = QStringLiteral("Seleccionar la Base de Datos"),
                               .filter = filtro,
                               .filterIndex = 1,
                               .initialDir = {},
                               .initialFile = {}});
}

void frmConfiguracion::CmdExaminar_Click() {
    rutaElegida_ = SeleccionaArchivo(
        QStringLiteral("Windows Metafiles(*.wmf)|*.wmf|Todos los archivos (*.*)|*.*"));
    muestraImagen(rutaElegida_);
    lblTitulo1_->setText(Brimcor2::DivideRuta(rutaElegida_).archivo);
}

void frmConfiguracion::CmdQuitar_Click() {
    sesion().gImagenFondo.clear();
    rutaElegida_.clear();
    muestraImagen(QString());
}

void frmConfiguracion::CmdBuscarExes_Click() {
    const QString path =
        SeleccionaArchivo(QStringLiteral("Aplicaciones(*.exe)|*.exe|Todos los archivos (*.*)|*.*"));
    if (path.trimmed().isEmpty()) return;
    if (const ControlEnlazado* c = config::buscaClave(QStringLiteral("UtilitarioCD-W")))
        setTexto(*c, path);
}

void frmConfiguracion::Form_Unload() {
    if (descargado_) return;
    descargado_ = true;
    FinalizaSesion();
    hide();
    QCoreApplication::quit();
}

bool frmConfiguracion::aceptaConfiguracion() {
    const config::Aceptacion aceptacion{
        .form = *this,
        .validacion = validacion_,
        .estructura = &niveles_,
        .grabaEjercicio = [this](const QString& periodo) { return panel_.GrabaEjercicio(periodo); },
        .enPantalla = enPantalla(),
        .rutaElegida = rutaElegida_,
        .cargados = &cargados_,
    };
    return config::AceptaConfiguracion(aceptacion);
}

void frmConfiguracion::cmdAceptar_Click() {
    sinSolapar([this] {
        if (aceptaConfiguracion()) Form_Unload();
    });
}

void frmConfiguracion::cmdHistorial_Click() {
    informaFallo([] { config::MuestraHistorial(); });
}

// Ending the program halfway through a save would leave it half done.
void frmConfiguracion::cmdCancelar_Click() {
    if (!unaALaVez_->running()) Form_Unload();
}

void frmConfiguracion::closeEvent(QCloseEvent* event) {
    if (unaALaVez_->running()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

QWidget* frmConfiguracion::widgetDe(const ControlEnlazado& control) const {
    return widgets_.value(&control);
}

const ControlEnlazado* frmConfiguracion::controlDe(const QObject* widget) const {
    for (auto it = widgets_.cbegin(); it != widgets_.cend(); ++it) {
        if (it.value() == widget) return it.key();
    }
    return nullptr;
}

QString frmConfiguracion::texto(const ControlEnlazado& control) const {
    if (auto* edit = qobject_cast<QLineEdit*>(widgetDe(control))) return edit->text();
    return QString();
}

void frmConfiguracion::setTexto(const ControlEnlazado& control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(widgetDe(control))) edit->setText(text);
}

int frmConfiguracion::valor(const ControlEnlazado& control) const {
    auto* check = qobject_cast<QCheckBox*>(widgetDe(control));
    return check && check->isChecked() ? 1 : 0;
}

void frmConfiguracion::setValor(const ControlEnlazado& control, int value) {
    auto* check = qobject_cast<QCheckBox*>(widgetDe(control));
    if (!check) return;
    check->setChecked(value != 0);
    clickCasilla(control, value);
}

void frmConfiguracion::clickCasilla(const ControlEnlazado& control, int value) {
    if (auto* check = qobject_cast<QCheckBox*>(widgetDe(control))) {
        const QString caption = config::leyenda(control, value);
        if (!caption.isEmpty()) check->setText(caption);
    }
    if (control.fijaSoloMayusculas) soloMayusculas_ = value != 0;
}

void frmConfiguracion::setDescripcionCondIva(const QString& text) {
    if (lblDesc_) lblDesc_->setText(text);
}

void frmConfiguracion::seleccionaPestana(Pestana pestana) {
    if (pestana != Pestana::Ninguna) SSpaneles_->setCurrentIndex(static_cast<int>(pestana));
}

void frmConfiguracion::habilita(const ControlEnlazado& control, bool enabled) {
    if (QWidget* widget = widgetDe(control)) widget->setEnabled(enabled);
}

void frmConfiguracion::habilitaSlider(bool enabled) {
    SldrEjercicio_->setEnabled(enabled);
}

// The panel moves the slider itself and then shows the year; the slider's
// own signal is kept for the operator's moves.
void frmConfiguracion::setRangoSlider(int minimo, int maximo) {
    const QSignalBlocker blocker(SldrEjercicio_);
    SldrEjercicio_->setRange(minimo, maximo);
    SldrEjercicio_->setTickInterval(1);
}

int frmConfiguracion::posicionSlider() const {
    return SldrEjercicio_->value();
}

void frmConfiguracion::setPosicionSlider(int posicion) {
    const QSignalBlocker blocker(SldrEjercicio_);
    SldrEjercicio_->setValue(posicion);
}

StepResult frmConfiguracion::daFoco(const ControlEnlazado& control) {
    QWidget* widget = widgetDe(control);
    if (control.pestanaInterna != config::PestanaInterna::Ninguna)
        SSTab1_->setCurrentIndex(static_cast<int>(control.pestanaInterna));
    if (!widget || !widget->isVisibleTo(this) || !widget->isEnabled()) {
        return RunError{ado::err::InvalidArgument,
                        QStringLiteral("Llamada a procedimiento o argumento no válidos"),
                        QStringLiteral("frmConfiguracion")};
    }
    widget->setFocus(Qt::OtherFocusReason);
    return std::nullopt;
}

void frmConfiguracion::ConsultaCampo() {
    const ControlEnlazado* control = config::buscaIndice(IndiceActual);
    auto* edit = control ? qobject_cast<QLineEdit*>(widgetDe(*control)) : nullptr;
    if (!edit || !edit->isEnabled() || edit->isReadOnly()) return;
    db::DB_Dll& db = db::sharedDb();
    const QString tag = control->tag.trimmed();

    if (tag.compare(u"TA_CONDIVA", Qt::CaseInsensitive) == 0) {
        QString devuelto = QStringLiteral("CODIGO");
        // Cancelling leaves the box as it was.
        if (!db.QGridConsulta(QStringLiteral("SELECT CODIGO,DESCRIPCION FROM Ta_CONDIVA "),
                              devuelto, db.gConnString))
            return;
        edit->setText(devuelto.trimmed());
        txtfields_KeyDown(*control, Qt::Key_Return);
    } else if (!tag.isEmpty() && tag.compare(u"FECHA", Qt::CaseInsensitive) != 0) {
        QString tabla = tag, display, cl1, cl2, where;
        // With the query masks the definitions' own lookup is the table's
        // lookup: its choice is the code, and no second list follows.
        const bool conMascaras = usaMascarasConsultas();
        DefinirConsulta(tabla, display, cl1, cl2, false, where, conMascaras);
        double rsp = 0;
        if (conMascaras) {
            if (!cl1.trimmed().isEmpty()) rsp = 1;
        } else {
            db.QConsulta(tag, rsp, cl1, cl2, display);
        }
        if (rsp == 0) return;
        if (const ControlEnlazado* destino = config::buscaClave(control->dataField))
            setTexto(*destino, cl1.trimmed());
        // Enter typed into the box is swallowed by its key filter: the code
        // is checked when the operator leaves the box or accepts.
    } else if (control->dataField.contains(u"fecha", Qt::CaseInsensitive)) {
        edit->setText(Brimcor2::SeleccionaFecha(edit->text()).trimmed());
    }
}

bool frmConfiguracion::txtfields_KeyDown(const ControlEnlazado& control, int key) {
    if (Brimcor2::EsTeclaAvance(key)) {
        if (auto* edit = qobject_cast<QLineEdit*>(widgetDe(control)))
            DejaCampo(*edit, control, key);
        return true;
    }
    if (key == Qt::Key_F5) {
        IndiceActual = control.indice;
        ConsultaCampo();
        return true;
    }
    return false;
}

bool frmConfiguracion::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const ControlEnlazado* control = edit ? controlDe(edit) : nullptr;
    if (!control) return QWidget::eventFilter(watched, event);

    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::MouseButtonPress:
            IndiceActual = control->indice;
            break;
        case QEvent::ContextMenu:
            // The right button opens the box's lookup instead of the
            // editing menu, on the boxes that have one.
            IndiceActual = control->indice;
            if (!control->tag.trimmed().isEmpty() ||
                control->dataField.contains(u"fecha", Qt::CaseInsensitive)) {
                ConsultaCampo();
                return true;
            }
            break;
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (txtfields_KeyDown(*control, key->key())) return true;
            if (config::FiltraPulsacion(*edit, *key, soloMayusculas_)) return true;
            break;
        }
        case QEvent::FocusOut:
            if (control->dataField == u"CUIT") {
                // The notice's own window takes the focus too: only the
                // operator's moves count as leaving the box.
                const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
                if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                    reason == Qt::MouseFocusReason) {
                    if (const std::optional<QString> aviso = config::ObservacionCuit(edit->text()))
                        MsgBox(*aviso, mb::OkOnly | mb::Information,
                               QStringLiteral("Aviso al operador..."));
                }
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

// Enter, Tab and the arrows leave a box only once it passes its check; an
// invalid box keeps the focus with the check's message shown.
void frmConfiguracion::DejaCampo(QLineEdit& edit, const ControlEnlazado& control, int key) {
    if (unaALaVez_->running()) return;
    informaFallo([&] {
        validacion_.ValidaCampo(control);
        if (!validacion_.errorCampo()) Brimcor2::AvanzaCampo(&edit, key);
    });
}

}  // namespace kl
