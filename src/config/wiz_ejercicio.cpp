#include "config/wiz_ejercicio.h"

#include "config/copia_seguridad.h"
#include "config/filtro_teclas.h"
#include "platform/ui/one_at_a_time.h"
#include "session/brimcor2.h"
#include "session/estilo_ventanas.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace kl {

namespace {

const QString kNroPeriodo = QStringLiteral("NRO_PERIODO");
const QString kNombre = QStringLiteral("NOMBRE");
const QString kFechaDesde = QStringLiteral("FECHA_DESDE");
const QString kFechaHasta = QStringLiteral("FECHA_HASTA");
const QString kFecha = QStringLiteral("FECHA");
const QString kSiguiente = QStringLiteral("&Siguiente >>");
const QString kTerminar = QStringLiteral("&Terminar");

QString sinAtajo(QString caption) {
    return caption.remove(u'&');
}

void ponTitulo(QPushButton& boton, const QString& caption) {
    boton.setText(caption);
    boton.setAccessibleName(sinAtajo(caption));
}

QPushButton* boton(const QString& nombre, const QString& caption) {
    auto* b = new QPushButton;
    b->setObjectName(nombre);
    ponTitulo(*b, caption);
    return b;
}

QLineEdit* caja(const QString& clave, int largo, const QString& marca = QString()) {
    auto* c = new QLineEdit;
    c->setObjectName(clave);
    c->setAccessibleName(clave);
    c->setMaxLength(largo);
    c->setProperty(Brimcor2::kDataField, clave);
    if (!marca.isEmpty()) c->setProperty(Brimcor2::kTag, marca);
    return c;
}

QLabel* titulo(const QString& text) {
    auto* label = new QLabel(text);
    QFont letra = label->font();
    letra.setBold(true);
    label->setFont(letra);
    label->setWordWrap(true);
    return label;
}

QLabel* nota(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

// One step's page: its heading, its fields and, below them, what is left.
QWidget* pagina(QLabel* encabezado, QFormLayout* campos, QLabel* pie = nullptr) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(encabezado);
    campos->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    layout->addLayout(campos);
    if (pie) layout->addWidget(pie);
    layout->addStretch();
    return page;
}

bool esFecha(const QWidget* field) {
    return field->property(Brimcor2::kTag).toString().compare(kFecha, Qt::CaseInsensitive) == 0;
}

}  // namespace

WizEjercicio::WizEjercicio(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WizEjercicio"));
    setWindowTitle(QStringLiteral("Asistente para crear nuevo Ejercicio"));

    txtfields = {caja(kNroPeriodo, 50), caja(kNombre, 50), caja(kFechaDesde, 10, "FECHA"),
                 caja(kFechaHasta, 10, "FECHA")};
    QLineEdit* nro = campo(kNroPeriodo);
    QLineEdit* nombre = campo(kNombre);
    QLineEdit* desde = campo(kFechaDesde);
    QLineEdit* hasta = campo(kFechaHasta);
    nro->setMinimumWidth(120);
    nombre->setMinimumWidth(300);
    // Room for dd/mm/yyyy and a little more.
    for (QLineEdit* fecha : {desde, hasta})
        fecha->setFixedWidth(fecha->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) +
                             16);

    SSTab1 = new QTabWidget;
    SSTab1->setObjectName(QStringLiteral("SSTab1"));

    auto* paso0 = new QFormLayout;
    paso0->addRow(nro);
    SSTab1->addTab(pagina(titulo(QStringLiteral("Ingrese el número inicial de Ejercicios")), paso0,
                          nota(QStringLiteral("Este número de Ejercicio se solicitará por única "
                                              "vez, las próximas veces este número será "
                                              "correlativo"))),
                   QStringLiteral("0"));

    auto* paso1 = new QFormLayout;
    paso1->addRow(nombre);
    SSTab1->addTab(
        pagina(titulo(QStringLiteral("Ingrese un Nombre para el nuevo Ejercicio.")), paso1),
        QStringLiteral("1"));

    auto* paso2 = new QFormLayout;
    paso2->addRow(QStringLiteral("Fecha Desde:"), desde);
    paso2->addRow(QStringLiteral("Fecha Hasta :"), hasta);
    SSTab1->addTab(
        pagina(
            titulo(QStringLiteral("Ingrese las Fechas Desde - Desde del Nuevo Ejercicio Contable")),
            paso2),
        QStringLiteral("2"));

    // The buttons drive the steps: a tab bar would let the operator skip
    // a step's check, so it is not shown and the control takes no keys.
    SSTab1->tabBar()->hide();
    // Tab would otherwise stop at the control and hand the focus to its
    // hidden bar, which never takes it: the focus would stay put.
    SSTab1->setFocusPolicy(Qt::NoFocus);
    SSTab1->installEventFilter(this);

    CmdAnterior = boton(QStringLiteral("CmdAnterior"), QStringLiteral("<< &Atras"));
    CmdSiguiente = boton(QStringLiteral("CmdSiguiente"), kSiguiente);
    CmdCancelar = boton(QStringLiteral("CmdCancelar"), QStringLiteral("&Cerrar"));
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    for (QPushButton* b : {CmdAnterior, CmdSiguiente, CmdCancelar}) {
        b->setMinimumWidth(96);
        botones->addWidget(b);
    }

    auto* raiz = new QVBoxLayout(this);
    raiz->addWidget(SSTab1, 1);
    raiz->addLayout(botones);

    for (QLineEdit* field : txtfields) {
        field->installEventFilter(this);
        // A paste or a drop arrives without a key press per character.
        connect(field, &QLineEdit::textEdited, this,
                [field] { config::FiltraEdicion(*field, false); });
    }
    connect(SSTab1, &QTabWidget::currentChanged, this, &WizEjercicio::SSTab1_Click);
    // Creating the year lets window events run: a second press meanwhile
    // would check the new dates against the year the first one created.
    unaALaVez_ = new OneAtATime(this);
    unaALaVez_->connect(*CmdSiguiente, [this] { CmdSiguiente_Click(); });
    unaALaVez_->connect(*CmdAnterior, [this] { CmdAnterior_Click(); });
    unaALaVez_->connect(*CmdCancelar, [this] { CmdCancelar_Click(); });

    resize(480, 300);
}

WizEjercicio::~WizEjercicio() = default;

void WizEjercicio::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window hidden and shown again keeps what the operator typed.
    if (cargado_) return;
    cargado_ = true;
    Form_Load();
}

void WizEjercicio::Form_Load() {
    AsignaIcono(*this);
    Brimcor2::PreparaFormulario(this, true);
    if (!pFecha_Desde.trimmed().isEmpty()) campo(kFechaDesde)->setText(pFecha_Desde.trimmed());
    if (!pFecha_Hasta.trimmed().isEmpty()) campo(kFechaHasta)->setText(pFecha_Hasta.trimmed());
    campo(kFechaDesde)->setEnabled(!pNoHabilitarFdesde);
    CmdCancelar->setEnabled(!pNoHabilitarCancelar);
    const int inicial = pPedirNroEjercicioInicial ? 0 : 1;
    // Showing the step already current announces no change, yet it must
    // still be entered.
    if (SSTab1->currentIndex() == inicial) {
        SSTab1_Click();
    } else {
        SSTab1->setCurrentIndex(inicial);
    }
    CmdAnterior->setEnabled(false);
}

void WizEjercicio::SSTab1_Click() {
    std::vector<QWidget*> orden;
    QWidget* foco = nullptr;
    switch (pasoActual()) {
        case 0:
            CmdSiguiente->setEnabled(true);
            CmdAnterior->setEnabled(false);
            ponTitulo(*CmdSiguiente, kSiguiente);
            orden = {campo(kNroPeriodo), CmdSiguiente};
            foco = campo(kNroPeriodo);
            break;
        case 1:
            CmdSiguiente->setEnabled(true);
            ponTitulo(*CmdSiguiente, kSiguiente);
            // Without step 0 there is nothing to go back to.
            CmdAnterior->setEnabled(pPedirNroEjercicioInicial);
            orden = {campo(kNombre), CmdSiguiente};
            foco = campo(kNombre);
            break;
        default: {
            CmdSiguiente->setEnabled(true);
            CmdAnterior->setEnabled(true);
            ponTitulo(*CmdSiguiente, kTerminar);
            QLineEdit* desde = campo(kFechaDesde);
            orden = {desde, campo(kFechaHasta), CmdSiguiente};
            // A locked first day cannot take the focus: the last day does.
            foco = pPedirNroEjercicioInicial && desde->isEnabled() ? desde : campo(kFechaHasta);
            break;
        }
    }
    QWidget* previo = nullptr;
    for (QWidget* w : orden) {
        if (previo) setTabOrder(previo, w);
        previo = w;
    }
    setTabOrder(CmdSiguiente, CmdAnterior);
    setTabOrder(CmdAnterior, CmdCancelar);
    foco->setFocus(Qt::OtherFocusReason);
}

void WizEjercicio::CmdSiguiente_Click() {
    const int paso = pasoActual();
    if (paso != 2) {
        if (ValidaTab(paso)) SSTab1->setCurrentIndex(SSTab1->currentIndex() + 1);
        return;
    }
    // The number was checked on its own step and cannot have changed since.
    if (!ValidaTab(1) || !ValidaTab(2)) return;
    Actualizar_Datos();
    done(creado_ ? QDialog::Accepted : QDialog::Rejected);
}

void WizEjercicio::CmdAnterior_Click() {
    if (pasoActual() != 0) SSTab1->setCurrentIndex(SSTab1->currentIndex() - 1);
}

void WizEjercicio::CmdCancelar_Click() {
    if (CmdCancelar->isEnabled()) QDialog::reject();
}

void WizEjercicio::reject() {
    // While the year is being created the wizard stays until it is done.
    unaALaVez_->run([this] { CmdCancelar_Click(); });
}

bool WizEjercicio::ValidaTab(int QueTab) {
    return accounting::ValidaTab(QueTab, campos(), reglas_);
}

void WizEjercicio::Actualizar_Datos() {
    if (!config::CopiaAntesDe(QStringLiteral("ejercicio"))) return;
    accounting::CreacionEjercicio creacion(pPedirNroEjercicioInicial);
    creacion.Actualizar_Datos(campos());
    creado_ = creacion.creado();
    // Until a row exists the outputs keep saying that nothing was created.
    if (!creado_) return;
    pNuevo_Ejercicio = creacion.pNuevo_Ejercicio;
    pFecha_Desde = creacion.pFecha_Desde;
    pFecha_Hasta = creacion.pFecha_Hasta;
    pDescripcion = creacion.pDescripcion;
}

bool WizEjercicio::eventFilter(QObject* watched, QEvent* event) {
    if (watched == SSTab1) {
        // Only the keys that would switch the tab are the tab widget's: every
        // other key a field leaves goes on to the wizard (Escape closes it).
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const int k = key->key();
        return (key->modifiers() & Qt::ControlModifier) &&
               (k == Qt::Key_Tab || k == Qt::Key_Backtab || k == Qt::Key_PageUp ||
                k == Qt::Key_PageDown);
    }
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (!field || std::find(txtfields.begin(), txtfields.end(), field) == txtfields.end())
        return QDialog::eventFilter(watched, event);

    if (esFecha(field) && Brimcor2::ConsultaFecha(*field, *event)) return true;
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (Brimcor2::EsTeclaAvance(key->key()) && Brimcor2::AvanzaCampo(field, key->key()))
            return true;
        // Capitals-only typing is the configuration window's option, not
        // the wizard's.
        if (config::FiltraPulsacion(*field, *key, false)) return true;
    }
    return QDialog::eventFilter(watched, event);
}

int WizEjercicio::pasoActual() const {
    return SSTab1->tabText(SSTab1->currentIndex()).toInt();
}

QLineEdit* WizEjercicio::campo(const QString& clave) const {
    return txtfields[static_cast<std::size_t>(Brimcor2::BuscaIndice(clave, txtfields))];
}

accounting::CamposEjercicio WizEjercicio::campos() const {
    return {campo(kNroPeriodo)->text(), campo(kNombre)->text(), campo(kFechaDesde)->text(),
            campo(kFechaHasta)->text()};
}

}  // namespace kl
