#include "lookup/lib_frmcons3.h"

#include "dblayer/db_dll.h"
#include "lookup/anchos_consulta.h"
#include "lookup/sentencias_consulta.h"
#include "platform/ado/ado.h"
#include "platform/conversions.h"
#include "platform/dialogs.h"
#include "platform/settings_files.h"
#include "platform/ui/accessible_combo_box.h"
#include "platform/ui/control_colors.h"
#include "platform/ui/one_at_a_time.h"
#include "platform/ui/windows.h"
#include "session/aviso_operador.h"
#include "session/brimcor2.h"
#include "session/claves_configuracion.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

namespace kl {

namespace {

const QString kCantidad = QStringLiteral("**Cantidad**");
const QColor kColorCajaActual(0, 255, 255);

// Maintenance programs "N&uevo" starts, by table; any other table goes to
// the generic table maintenance with its name.
struct Alta {
    const char* tabla;
    const char* programa;
    const char* parametro;  // nullptr: the table's name
};
constexpr std::array<Alta, 8> kAltas = {{
    {"V_TA_RUBROS", "SHELL:V_TA_TABLAS", nullptr},
    {"V_TA_UNIDAD", "SHELL:V_TA_TABLAS", nullptr},
    {"VT_CLIENTES", "SHELL:V_MA_CLIENTES", "1"},
    {"VT_PROVEEDORES", "SHELL:V_MA_CLIENTES", "0"},
    {"V_TA_Tecnicos", "SHELL:V_TA_Tecnicos", ""},
    {"V_TA_VENDEDORES", "SHELL:V_TA_VENDEDORES", ""},
    {"V_MA_ARTICULOS", "SHELL:V_MA_ARTICULOS", ""},
    {"VT_MA_ARTICULOS", "SHELL:V_MA_ARTICULOS", ""},
}};

Lib_FrmCons3::Lanzador& lanzadorInstalado() {
    static Lib_FrmCons3::Lanzador lanzador;
    return lanzador;
}

int twipsPorPixel() {
    return std::max(1, twipsPerPixelX());
}

QPushButton* boton(const QString& nombre, const QString& titulo) {
    auto* b = new QPushButton(titulo);
    b->setObjectName(nombre);
    b->setAccessibleName(QString(titulo).remove(u'&'));
    // Enter belongs to the list (accept), never to a default button.
    b->setAutoDefault(false);
    return b;
}

// A classic colour number (0x00BBGGRR) as a colour.
QColor colorClasico(const Value& valor) {
    const auto n = static_cast<quint32>(valor.toInt64());
    return QColor(static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF),
                  static_cast<int>((n >> 16) & 0xFF));
}

// A field's value as a fixed-point amount, when it is one.
std::optional<std::int64_t> importe(const ado::Recordset& rs, const QString& campo) {
    const ado::Field* f = rs.field(campo);
    if (!f || f->Value.isNull() || f->Value.isEmpty()) return std::nullopt;
    if (f->Value.isNumeric()) return Value::currency(f->Value.toDouble()).currencyScaled();
    const QString texto = f->Value.toString();
    if (!Brimcor2::EsNumerico(texto)) return std::nullopt;
    return Brimcor2::ValorMoneda(texto).currencyScaled();
}

// The stock level 1-4 of an article row from its reorder point and stock;
// 0 when they cannot be read.
int nivelStock(const ado::Recordset& rs) {
    const auto punto = importe(rs, QStringLiteral("PUNTOPEDIDO"));
    const auto stock = importe(rs, QStringLiteral("Stock"));
    if (!punto || !stock) return 0;
    if (*punto == 0 && *stock > 0) return 1;
    if (*punto > 0 && *stock > *punto) return 2;
    if (*punto > 0 && *stock < *punto) return 3;
    return 4;
}

// A search box searches its column and is named after it: the box and the
// text typed into it, which a screen reader otherwise names by that text.
void nombraCaja(QComboBox& caja, const QString& columna) {
    caja.setProperty(Brimcor2::kDataField, columna);
    caja.setAccessibleName(columna);
    caja.lineEdit()->setAccessibleName(columna);
}

QString cantidadConFormato(double cantidad, int decimales) {
    return QString::number(cantidad, 'f', decimales);
}

}  // namespace

Lib_FrmCons3::Lib_FrmCons3(QWidget* parent)
    : QDialog(parent),
      ArchivoAnchos(Brimcor2::AgregaBarra(QDir::toNativeSeparators(programFolder())) +
                    QLatin1String(consulta::kArchivoAnchos)),
      Label1(new QLabel(QStringLiteral("CONSULTA"))),
      picFields(new QWidget),
      ListView1(new QTableView),
      HScroll1(ListView1->horizontalScrollBar()),
      Frame1(new QWidget),
      CmdAceptar(boton(QStringLiteral("CmdAceptar"), QStringLiteral("&Aceptar"))),
      CmdCancelar(boton(QStringLiteral("CmdCancelar"), QStringLiteral("&Cancelar"))),
      CmdNueva(boton(QStringLiteral("CmdNueva"), QStringLiteral("&Nueva Busqueda"))),
      CmdNuevo(boton(QStringLiteral("CmdNuevo"), QStringLiteral("N&uevo"))),
      CmdTodos(boton(QStringLiteral("CmdTodos"), QStringLiteral("&Marcar"))),
      tiraBusqueda_(new QWidget),
      unaALaVez_(new OneAtATime(this)) {
    construyeVentana();
}

Lib_FrmCons3::~Lib_FrmCons3() {
    if (cargada_ && !descargada_) Form_Unload();
    // The controls outlive this class's members; while they go they must
    // neither reach the event filter nor show a model already gone.
    ListView1->removeEventFilter(this);
    Frame1->removeEventFilter(this);
    for (QComboBox* caja : std::as_const(cmbSearch_)) {
        caja->removeEventFilter(this);
        caja->lineEdit()->removeEventFilter(this);
    }
    delete picFields;
}

void Lib_FrmCons3::construyeVentana() {
    setObjectName(QStringLiteral("Lib_FrmCons3"));
    setWindowTitle(QStringLiteral("Consulta..."));
    Label1->setObjectName(QStringLiteral("Label1"));

    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setAccessibleName(QStringLiteral("Consulta"));
    ListView1->setModel(&filas_);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setShowGrid(false);
    ListView1->setWordWrap(false);
    ListView1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ListView1->verticalHeader()->hide();
    // Rows of one height let the view place a long list without measuring it.
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->horizontalHeader()->setSectionsClickable(true);
    ListView1->horizontalHeader()->setHighlightSections(false);
    ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ListView1->installEventFilter(this);

    tiraBusqueda_->setObjectName(QStringLiteral("tiraBusqueda"));

    picFields->setObjectName(QStringLiteral("picFields"));
    auto* campos = new QVBoxLayout(picFields);
    campos->setContentsMargins(0, 0, 0, 0);
    campos->setSpacing(0);
    campos->addWidget(tiraBusqueda_);
    campos->addWidget(ListView1, 1);

    Frame1->setObjectName(QStringLiteral("Frame1"));
    for (QPushButton* b : {CmdAceptar, CmdCancelar, CmdNueva}) b->setParent(Frame1);
    Frame1->setFixedHeight(CmdAceptar->sizeHint().height() + 12);
    Frame1->installEventFilter(this);

    auto* titulo = new QHBoxLayout;
    titulo->addWidget(Label1, 1);
    titulo->addWidget(CmdTodos);
    titulo->addWidget(CmdNuevo);

    auto* ventana = new QVBoxLayout(this);
    ventana->setContentsMargins(4, 4, 4, 0);
    ventana->setSpacing(2);
    ventana->addLayout(titulo);
    ventana->addWidget(picFields, 1);
    ventana->addWidget(Frame1);

    cajaBusqueda(0);
    tiraBusqueda_->setFixedHeight(cmbSearch_[0]->sizeHint().height());

    // A reload lets window events run, and "N&uevo" starts a program: a
    // double click does each once.
    unaALaVez_->connect(*CmdAceptar, [this] { CmdAceptar_Click(); });
    unaALaVez_->connect(*CmdCancelar, [this] { CmdCancelar_Click(); });
    unaALaVez_->connect(*CmdNueva, [this] { CmdNueva_Click(); });
    unaALaVez_->connect(*CmdNuevo, [this] { CmdNuevo_Click(); });
    unaALaVez_->connect(*CmdTodos, [this] { CmdTodos_Click(); });
    connect(ListView1, &QAbstractItemView::doubleClicked, this,
            [this] { unaALaVez_->run([this] { CmdAceptar_Click(); }); });
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &Lib_FrmCons3::ListView1_ColumnClick);
    // The search boxes move with the columns: sideways scroll and resizing.
    connect(HScroll1, &QScrollBar::valueChanged, this, &Lib_FrmCons3::colocaCajas);
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionResized, this,
            &Lib_FrmCons3::colocaCajas);
    connect(ListView1->horizontalHeader(), &QHeaderView::geometriesChanged, this,
            &Lib_FrmCons3::colocaCajas);

    auto* f12 = new QShortcut(QKeySequence(Qt::Key_F12), this);
    f12->setContext(Qt::WindowShortcut);
    connect(f12, &QShortcut::activated, this, &Lib_FrmCons3::ReportaFaltante);

    resize(640, 480);
}

QComboBox* Lib_FrmCons3::cajaBusqueda(int indice) {
    while (cmbSearch_.size() <= indice) {
        const int nueva = static_cast<int>(cmbSearch_.size());
        auto* caja = new AccessibleComboBox(tiraBusqueda_);
        caja->setObjectName(QStringLiteral("CmbSearch%1").arg(nueva));
        caja->setEditable(true);
        caja->setInsertPolicy(QComboBox::NoInsert);
        caja->setToolTip(QStringLiteral("F5 realiza nueva busqueda"));
        caja->installEventFilter(this);
        caja->lineEdit()->installEventFilter(this);
        connect(caja, &QComboBox::editTextChanged, this,
                [this, nueva](const QString& texto) { cajaCambiada(nueva, texto); });
        // Tab walks the boxes in column order, then the list.
        if (nueva > 0) setTabOrder(cmbSearch_.last(), caja);
        setTabOrder(caja, ListView1);
        cmbSearch_ += caja;
    }
    return cmbSearch_[indice];
}

// ---- Loading ---------------------------------------------------------------

void Lib_FrmCons3::Load() {
    if (cargada_) return;
    cargada_ = true;
    Form_Load();
}

void Lib_FrmCons3::Form_Load() {
    articulos_ = sql.contains(QLatin1String("articulos"), Qt::CaseInsensitive);
    Valores = nuevaColeccion();
    Cantidades = nuevaColeccion();
    filas_.limpiaFilas();
    QFont letra = ListView1->font();
    letra.setBold(true);
    letra.setPointSize(10);
    ListView1->setFont(letra);
    ListView1->verticalHeader()->setDefaultSectionSize(QFontMetrics(letra).height() + 6);

    if (sql.trimmed().isEmpty()) {
        Brimcor2::PreparaFormulario(this, false);
        return;
    }
    sql += u' ';
    tabla_ = consulta::tablaDeSentencia(sql);
    if (primeraSentencia_.isEmpty()) primeraSentencia_ = sql;
    ultimaSentencia_ = sql;

    // The access layer reports a statement that fails; the list then stays
    // empty with its columns, so the operator can search again.
    rs_ = std::make_unique<ado::Recordset>();
    QString sentencia = sql;
    db::sharedDb().AbrirRecordset(sentencia, *rs_);
    filas_.ponCasillas(CheckBoxes);
    CmdTodos->setVisible(CheckBoxes);
    if (rs_->State() == ado::adStateOpen) {
        Encolumnar();
        Leer();
    }
    if (OrdenarPorLwv) filas_.sort(0, Qt::AscendingOrder);
    if (filas_.rowCount() > 0) seleccionaFila(0, 0);
    if (!FiltroInicial.trimmed().isEmpty()) cmbSearch_[0]->setEditText(FiltroInicial);

    db::sharedDb().CierraRecordset(*rs_);
    rs_.reset();
    LeerAnchos();
    CalcularAncho();
    Brimcor2::PreparaFormulario(this, false);
}

void Lib_FrmCons3::Encolumnar() {
    if (!rs_) return;
    const bool consultaArticulos = consulta::esConsultaArticulos(sql);
    // Measured in the list's own font, so a column of n characters shows n
    // characters of the list's text.
    const QFontMetrics medida(ListView1->font());
    // The room the list leaves around a cell's text.
    const int margen =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ListView1) + 1);
    QStringList encabezados;
    QList<int> anchos;
    for (int g = 0; g < rs_->fieldCount(); ++g) {
        const ado::Field& campo = *rs_->field(g);
        long caracteres = campo.DefinedSize;
        if (campo.Type == ado::adCurrency || campo.Type == ado::adNumeric) caracteres = 12;
        caracteres = std::min(caracteres, 60L);

        QComboBox* caja = cajaBusqueda(g);
        nombraCaja(*caja, campo.Name);
        caja->show();

        QString encabezado = campo.Name;
        const QString nombre = campo.Name.trimmed().toUpper();
        if (consultaArticulos) {
            if (nombre.size() == 7 && nombre.startsWith(QLatin1String("PRECIO")) &&
                nombre[6] >= u'1' && nombre[6] <= u'8') {
                // A key without a row reads as a blank: the field keeps its name.
                const QString clase = Cfg(QStringLiteral("NOM_PCLASE") + nombre[6]).trimmed();
                if (!clase.isEmpty()) encabezado = clase;
            }
        } else if (ValoresDefault == QLatin1String("@10")) {
            caracteres += 10;
        }
        encabezados += encabezado;
        anchos += medida.horizontalAdvance(QString(static_cast<int>(caracteres), u'X')) + margen;
        caja->setMinimumContentsLength(static_cast<int>(caracteres));
    }
    for (qsizetype g = encabezados.size(); g < cmbSearch_.size(); ++g) {
        if (g > 0) cmbSearch_[g]->hide();
    }
    // The check mark is drawn inside the first column: it gets the room
    // for it, so a short code stays readable beside it.
    if (CheckBoxes && !anchos.isEmpty())
        anchos[0] += style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, ListView1) + margen;
    filas_.ponEncabezados(encabezados);
    ListView1->horizontalHeader()->setStretchLastSection(false);
    for (int g = 0; g < anchos.size(); ++g)
        ListView1->setColumnWidth(g, std::max(anchos[g], anchoMinimo(g)));
}

// A code of two characters still shows its whole header, with room for the
// sort mark a click adds, and a search box that shows what is typed into it
// beside its drop-down button (the box is 50 twips narrower than its column).
int Lib_FrmCons3::anchoMinimo(int columna) const {
    const QHeaderView* cabecera = ListView1->horizontalHeader();
    const int marca = style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, cabecera) +
                      style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, cabecera);
    const int encabezado = cabecera->sectionSizeHint(columna) + marca;
    // The box asks for room for as many characters as its field holds.
    const int busqueda =
        cmbSearch_[columna]->minimumSizeHint().width() + std::max(1, 50 / twipsPorPixel());
    return std::max(encabezado, busqueda);
}

void Lib_FrmCons3::Leer() {
    filas_.limpiaFilas();
    if (!rs_ || rs_->EOF()) return;
    ado::Recordset& rs = *rs_;
    const int columnas = rs.fieldCount();
    const bool colorea =
        articulos_ && MuestraStock.compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
    filas_.ponColoresNivel({colorClasico(StkNivel1), colorClasico(StkNivel2),
                            colorClasico(StkNivel3), colorClasico(StkNivel4)});
    const ado::Field* devuelto = rs.field(CampoDevuelto);
    const FailureNotice aviso = avisoOperadorPara(QStringLiteral("FORM_LOAD"));
    const Step siguiente = [&rs] { return rs.MoveNext(); };

    filas_.empiezaCarga();
    while (!rs.EOF()) {
        bool marcada = false;
        if (CheckBoxes && devuelto && !ValoresDefault.isEmpty()) {
            const QString valor = Brimcor2::ValorNoNulo(devuelto->Value).trimmed();
            marcada = ValoresDefault.contains(valor, Qt::CaseInsensitive);
        }
        filas_.abreFila(marcada, colorea ? nivelStock(rs) : 0);
        // Every cell trimmed (the model keeps them so): the first as read,
        // the others as AlineaDerecha with no width leaves them. A NULL is
        // an empty cell. A text goes in as the field holds it, uncopied.
        for (int i = 0; i < columnas; ++i) {
            const Value& valor = rs.field(i)->Value;
            if (const QString* texto = valor.text())
                filas_.agregaCelda(*texto);
            else
                filas_.agregaCelda(Brimcor2::ValorNoNulo(valor));
        }
        if (runStep(siguiente, aviso) == StepOutcome::Abandoned) break;
    }
    filas_.terminaCarga();
}

void Lib_FrmCons3::CalcularAncho() {
    const int tpp = twipsPorPixel();
    int total = 0;
    for (int i = 0; i < filas_.columnCount(); ++i) total += ListView1->columnWidth(i) * tpp;
    colocaCajas();
    const int anchoLista = total + 360;
    const int pantalla = screenWidthTwips();
    const int ancho =
        pantalla > 0 && anchoLista + 360 >= pantalla ? pantalla - 480 : anchoLista + 280;
    resize(ancho / tpp, height());
}

void Lib_FrmCons3::colocaCajas() {
    const QHeaderView* cabecera = ListView1->horizontalHeader();
    const int margen = ListView1->frameWidth();
    const int angosto = std::max(1, 50 / twipsPorPixel());
    for (int i = 0; i < cmbSearch_.size(); ++i) {
        QComboBox* caja = cmbSearch_[i];
        if (i >= filas_.columnCount()) continue;
        const int x = margen + cabecera->sectionViewportPosition(i);
        const int ancho = std::max(0, cabecera->sectionSize(i) - angosto);
        caja->setGeometry(x, 0, ancho, tiraBusqueda_->height());
    }
}

// ---- Search ----------------------------------------------------------------

int Lib_FrmCons3::Busqueda(int Clave, const QString& QueValor) const {
    return filas_.busca(Clave, QueValor) + 1;
}

int Lib_FrmCons3::IndiceColumna(const QString& Columna) const {
    const QString buscada = Columna.trimmed();
    const QStringList& encabezados = filas_.encabezados();
    for (int i = 0; i < encabezados.size(); ++i) {
        if (encabezados[i].trimmed().compare(buscada, Qt::CaseInsensitive) == 0) return i + 1;
    }
    return 0;
}

void Lib_FrmCons3::cajaCambiada(int indice, const QString& texto) {
    const int fila = Busqueda(indice, texto);
    if (fila > 0) seleccionaFila(fila - 1, indice);
}

void Lib_FrmCons3::seleccionaFila(int fila, int columna) {
    const QModelIndex i = filas_.index(fila, 0);
    ListView1->selectionModel()->setCurrentIndex(
        i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // The list moves to the row, not away from the column being searched.
    ListView1->scrollTo(filas_.index(fila, columna));
}

int Lib_FrmCons3::filaActual() const {
    const QModelIndexList elegidas = ListView1->selectionModel()->selectedRows();
    return elegidas.isEmpty() ? -1 : elegidas.first().row();
}

void Lib_FrmCons3::NuevaBusqueda(int indice) {
    if (indice < 0 || indice >= cmbSearch_.size()) return;
    QComboBox* caja = cmbSearch_[indice];
    const QString campo = caja->property(Brimcor2::kDataField).toString();
    const QString texto = caja->currentText();
    const QString nueva =
        consulta::sentenciaNuevaBusqueda(ultimaSentencia_, campo, texto, CfgUsaConsultaLIKE);
    caja->setEditText(QString());
    sql = nueva;
    ultimaSentencia_ = nueva;
    Form_Load();
}

void Lib_FrmCons3::CmdNueva_Click() {
    sql = primeraSentencia_;
    Form_Load();
    cmbSearch_[0]->setFocus();
}

// ---- Keys ------------------------------------------------------------------

bool Lib_FrmCons3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Frame1 && event->type() == QEvent::Resize) {
        // "&Aceptar" at the left, "&Cancelar" centred, "&Nueva Busqueda" at
        // the right; without the latter, "&Cancelar" takes its place.
        const int tpp = twipsPorPixel();
        const int y = (Frame1->height() - CmdAceptar->sizeHint().height()) / 2;
        const auto coloca = [y](QPushButton* b, int x) {
            b->setGeometry(x, y, b->sizeHint().width(), b->sizeHint().height());
        };
        coloca(CmdAceptar, 100 / tpp);
        const int derecha = Frame1->width() - 150 / tpp;
        coloca(CmdNueva, derecha - CmdNueva->sizeHint().width());
        const int xDerecha = derecha - CmdCancelar->sizeHint().width();
        if (CmdNueva->isHidden() && xDerecha > CmdAceptar->geometry().right())
            coloca(CmdCancelar, xDerecha);
        else
            coloca(CmdCancelar, (Frame1->width() - CmdCancelar->sizeHint().width()) / 2);
        return false;
    }
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        auto& tecla = static_cast<QKeyEvent&>(*event);
        ListView1_KeyDown(tecla);
        return tecla.isAccepted();
    }
    for (int i = 0; i < cmbSearch_.size(); ++i) {
        QComboBox* caja = cmbSearch_[i];
        if (watched != caja && watched != caja->lineEdit()) continue;
        if (event->type() == QEvent::FocusIn) {
            cajaActual_ = i;
            setControlColor(*caja, QPalette::Base, kColorCajaActual);
        } else if (event->type() == QEvent::FocusOut) {
            setControlColor(*caja, QPalette::Base, Qt::white);
        } else if (event->type() == QEvent::KeyPress) {
            auto& tecla = static_cast<QKeyEvent&>(*event);
            switch (tecla.key()) {
                case Qt::Key_F5:
                    NuevaBusqueda(i);
                    return true;
                case Qt::Key_Down:
                case Qt::Key_Up:
                case Qt::Key_PageDown:
                case Qt::Key_PageUp:
                    ListView1_KeyDown(tecla);
                    ListView1->setFocus();
                    return true;
                default:
                    break;
            }
        }
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void Lib_FrmCons3::ListView1_KeyDown(QKeyEvent& tecla) {
    tecla.ignore();
    const int key = tecla.key();
    const Qt::KeyboardModifiers mods = tecla.modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_Space && CheckBoxes) {
        const int fila = filaActual();
        if (fila >= 0) filas_.marca(fila, !filas_.marcada(fila));
        tecla.accept();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        tecla.accept();
        CmdAceptar_Click();
        return;
    }
    if (UsaCantidades && (key == Qt::Key_Insert || key == Qt::Key_Delete)) {
        const int columna = columnaCantidad();
        if (columna >= 0) teclaCantidad(tecla, columna);
        tecla.accept();
        return;
    }
    QComboBox* caja = cajaBusqueda(std::clamp(cajaActual_, 0, int(cmbSearch_.size()) - 1));
    const bool sinControl = (mods & ~Qt::ShiftModifier) == Qt::NoModifier;
    const bool escribe = (key >= 47 && key <= 93) || (key == Qt::Key_Space && !CheckBoxes);
    if (sinControl && escribe) {
        // Typing in the list goes on with the search in the current box.
        caja->setEditText(caja->currentText() + QChar(key));
        caja->setFocus();
        tecla.accept();
    } else if (key == Qt::Key_Backspace && mods == Qt::NoModifier) {
        caja->setEditText(
            caja->currentText().chopped(std::min<qsizetype>(1, caja->currentText().size())));
        caja->setFocus();
        tecla.accept();
    }
}

int Lib_FrmCons3::columnaCantidad() const {
    return IndiceColumna(kCantidad) - 1;
}

void Lib_FrmCons3::teclaCantidad(QKeyEvent& tecla, int columna) {
    const int fila = filaActual();
    if (fila < 0) return;
    const double actual = conv::leadingNumber(filas_.celda(fila, columna));
    if (tecla.key() == Qt::Key_Insert && (tecla.modifiers() & Qt::ShiftModifier)) {
        const QString respuesta = InputBox(QStringLiteral("Ingrese la Cantidad del Articulo..."),
                                           QStringLiteral("Carga de Datos"));
        if (respuesta.trimmed().isEmpty()) return;
        const double cantidad = conv::leadingNumber(respuesta);
        filas_.ponCelda(fila, columna, cantidadConFormato(std::max(cantidad, 0.0), 2));
        filas_.marca(fila, cantidad > 0);
    } else if (tecla.key() == Qt::Key_Insert) {
        filas_.ponCelda(fila, columna, cantidadConFormato(actual + 1, 1));
        filas_.marca(fila, actual + 1 > 0);
    } else {
        const double cantidad = actual - 1;
        if (cantidad > 0) {
            filas_.ponCelda(fila, columna, cantidadConFormato(cantidad, 1));
        } else {
            filas_.ponCelda(fila, columna, cantidadConFormato(0, 2));
            filas_.marca(fila, false);
        }
    }
}

// ---- Other actions ---------------------------------------------------------

void Lib_FrmCons3::ListView1_ColumnClick(int columna) {
    ordenDescendente_ = !ordenDescendente_;
    const Qt::SortOrder orden = ordenDescendente_ ? Qt::DescendingOrder : Qt::AscendingOrder;
    filas_.sort(columna, orden);
    ListView1->horizontalHeader()->setSortIndicatorShown(true);
    ListView1->horizontalHeader()->setSortIndicator(columna, orden);
    const int fila = filaActual();
    if (fila >= 0) ListView1->scrollTo(filas_.index(fila, 0));
}

void Lib_FrmCons3::CmdTodos_Click() {
    filas_.invierteMarcas();
}

Lib_FrmCons3::ProgramaAlta Lib_FrmCons3::programaParaTabla(const QString& tabla) {
    for (const Alta& alta : kAltas) {
        if (tabla.compare(QLatin1String(alta.tabla), Qt::CaseInsensitive) != 0) continue;
        return {QLatin1String(alta.programa),
                alta.parametro ? QString::fromLatin1(alta.parametro) : tabla};
    }
    return {QStringLiteral("SHELL:V_TA_TABLAS"), tabla};
}

Lib_FrmCons3::Lanzador Lib_FrmCons3::installLanzador(Lanzador lanzador) {
    return std::exchange(lanzadorInstalado(), std::move(lanzador));
}

void Lib_FrmCons3::CmdNuevo_Click() {
    const ProgramaAlta alta = programaParaTabla(tabla_);
    if (lanzadorInstalado()) lanzadorInstalado()(alta.programa, alta.parametro);
}

void Lib_FrmCons3::ReportaFaltante() {
    if (!articulos_) return;
    const int fila = filaActual();
    if (fila < 0) return;
    const QString codigo = valorEnColumna(fila, QStringLiteral("idarticulo"));
    const QString descripcion = valorEnColumna(fila, QStringLiteral("Descripcion"));
    const QString pregunta = QStringLiteral("Desea informar el articulo ") + codigo + u' ' +
                             descripcion + u'\n' + QStringLiteral("como un faltante de stock?");
    if (MsgBox(pregunta, mb::YesNo, QStringLiteral("Atención!")) != answer::Yes) return;
    db::DB_Dll& db = db::sharedDb();
    QString sentencia = consulta::sentenciaFaltante(
        conv::formatDateTime(QDateTime::currentDateTime()), codigo, descripcion, db.gUsuario);
    long afectadas = 0;
    db.EjecutaConsultaSQL(sentencia, afectadas);
}

// ---- Accept and cancel -----------------------------------------------------

QString Lib_FrmCons3::valorEnColumna(int fila, const QString& columna) const {
    const int indice = IndiceColumna(columna);
    return indice > 0 ? filas_.celda(fila, indice - 1) : QString();
}

void Lib_FrmCons3::CmdAceptar_Click() {
    if (CheckBoxes) {
        if (CampoDevuelto.isEmpty() && filas_.columnCount() > 0)
            CampoDevuelto = filas_.encabezados().first();
        if (!Valores) Valores = nuevaColeccion();
        if (!Cantidades) Cantidades = nuevaColeccion();
        const int cantidad = UsaCantidades ? columnaCantidad() : -1;
        for (int fila = 0; fila < filas_.rowCount(); ++fila) {
            if (!filas_.marcada(fila)) continue;
            Valores->append(Value(valorEnColumna(fila, CampoDevuelto)));
            if (cantidad >= 0)
                Cantidades->append(Brimcor2::ValorMoneda(filas_.celda(fila, cantidad)));
        }
    } else {
        const int fila = filaActual();
        if (fila < 0) {
            QDialog::accept();
            return;
        }
        if (CmpsDevueltos) {
            if (!Valores) Valores = nuevaColeccion();
            for (const Value& nombre : *CmpsDevueltos)
                Valores->append(Value(valorEnColumna(fila, nombre.toString())));
        }
        if (!CampoDevuelto.trimmed().isEmpty())
            ValorDevuelto = Value(valorEnColumna(fila, CampoDevuelto));
    }
    QDialog::accept();
}

void Lib_FrmCons3::CmdCancelar_Click() {
    ValorDevuelto = Value();
    CmpsDevueltos.reset();
    Valores.reset();
    QDialog::reject();
}

void Lib_FrmCons3::reject() {
    CmdCancelar_Click();
}

// ---- Showing, unloading, widths --------------------------------------------

void Lib_FrmCons3::showEvent(QShowEvent* event) {
    Load();
    // Over the window that asked, as the program's other windows open;
    // F5 and a new search keep it where the operator has it.
    if (!centrada_) {
        centrada_ = true;
        centerOverOwner(*this);
    }
    QDialog::showEvent(event);
    colocaCajas();
    // The operator can type at once.
    cmbSearch_[0]->setFocus();
}

void Lib_FrmCons3::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    colocaCajas();
}

void Lib_FrmCons3::Form_Unload() {
    descargada_ = true;
    GrabarAnchos();
    filas_.limpiaFilas();
}

int Lib_FrmCons3::anchoColumnaTwips(int columna) const {
    return ListView1->columnWidth(columna) * twipsPorPixel();
}

void Lib_FrmCons3::LeerAnchos() {
    if (tabla_.compare(QLatin1String("Stk_ma_articulos"), Qt::CaseInsensitive) == 0)
        tabla_ = QStringLiteral("VT_MA_ARTICULOS");
    const std::optional<QList<double>> anchos = consulta::leeAnchos(ArchivoAnchos, tabla_);
    if (!anchos) return;
    // A width no screen could show (a damaged or hand-edited file) is kept
    // within one.
    constexpr double kTwipsMaximo = 1'000'000;
    const int tpp = twipsPorPixel();
    for (int i = 0; i < std::min<qsizetype>(anchos->size(), filas_.columnCount()); ++i) {
        const double twips = std::clamp((*anchos)[i], 0.0, kTwipsMaximo);
        ListView1->setColumnWidth(i, static_cast<int>(twips) / tpp);
    }
    colocaCajas();
}

void Lib_FrmCons3::GrabarAnchos() {
    if (!GrabarCfg || tabla_.isEmpty()) return;
    QList<int> anchos;
    for (int i = 0; i < filas_.columnCount(); ++i) anchos += anchoColumnaTwips(i);
    if (!consulta::grabaAnchos(ArchivoAnchos, tabla_, anchos))
        MsgBox(QStringLiteral("No se pudo grabar ") + ArchivoAnchos, mb::Critical,
               QStringLiteral("Aviso al Operador"));
}

// ---- The engine's pickers --------------------------------------------------

void Lib_FrmCons3::EncabezadoUnico(const QString& titulo) {
    filas_.ponCasillas(CheckBoxes);
    CmdTodos->setVisible(CheckBoxes);
    filas_.ponEncabezados({titulo});
    // The one column follows the list's width, whatever the window's.
    ListView1->horizontalHeader()->setStretchLastSection(true);
    QComboBox* caja = cmbSearch_[0];
    nombraCaja(*caja, titulo);
    for (qsizetype i = 1; i < cmbSearch_.size(); ++i) cmbSearch_[i]->hide();
    colocaCajas();
}

void Lib_FrmCons3::AgregaFila(const QString& texto, bool marcada) {
    filas_.agregaFila({texto}, marcada);
}

void Lib_FrmCons3::AnchoEnTwips(int twips) {
    const int pantalla = screenWidthTwips();
    const int ancho = pantalla > 0 ? std::min(twips, pantalla) : twips;
    resize(ancho / twipsPorPixel(), height());
}

}  // namespace kl
