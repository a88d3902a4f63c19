#include "lookup/lib_frmcons3tree.h"

#include "dblayer/db_dll.h"
#include "dblayer/sql_text.h"
#include "platform/ui/one_at_a_time.h"
#include "platform/ui/windows.h"
#include "session/aviso_operador.h"
#include "session/brimcor2.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeView>
#include <QVBoxLayout>

namespace kl {

namespace {

const QString kRutinaArmado = QStringLiteral("ArmarTreeVAutomatico");

QFrame* marco(const QString& nombreObjeto) {
    auto* f = new QFrame;
    f->setObjectName(nombreObjeto);
    return f;
}

bool es(const QString& campo, const char* nombre) {
    return campo.compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
}

// The record's value of `columna` in the first row of `tabla` whose
// `columna` is `codigo`, Null read as empty text; nullopt when there is none.
std::optional<QString> valorEnTabla(const QString& tabla, const QString& columna,
                                    const QString& codigo) {
    ado::Recordset registro;
    if (!db::sharedDb().ExisteEnTabla(tabla, codigo, columna, &registro)) return std::nullopt;
    QString valor = Brimcor2::ValorNoNulo(registro.value(columna));
    registro.Close();
    return valor;
}

}  // namespace

Lib_FrmCons3Tree::Lib_FrmCons3Tree(QWidget* parent)
    : QDialog(parent),
      TreeV(new QTreeView),
      CmbSearch(new QComboBox),
      lblFieldName(new QLabel),
      picFields(marco(QStringLiteral("picFields"))),
      Frame1(marco(QStringLiteral("Frame1"))),
      CmdAceptar(captionedButton(QStringLiteral("CmdAceptar"), QStringLiteral("&Aceptar"))),
      CmdCancelar(captionedButton(QStringLiteral("CmdCancelar"), QStringLiteral("&Cancelar"))),
      CmdNueva(captionedButton(QStringLiteral("CmdNueva"), QStringLiteral("&Nueva Busqueda"))) {
    setObjectName(QStringLiteral("Lib_FrmCons3Tree"));
    setWindowTitle(QStringLiteral("Consulta..."));
    TreeV->setObjectName(QStringLiteral("TreeV"));
    TreeV->setAccessibleName(QStringLiteral("TreeV"));
    TreeV->setModel(&arbol_);
    TreeV->setHeaderHidden(true);
    TreeV->setRootIsDecorated(true);
    // Every row is as tall as the next: the view need not measure a hundred
    // thousand texts to lay them out.
    TreeV->setUniformRowHeights(true);
    TreeV->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TreeV->header()->setStretchLastSection(false);
    CmbSearch->setObjectName(QStringLiteral("CmbSearch"));
    CmbSearch->setEditable(true);
    CmbSearch->setInsertPolicy(QComboBox::NoInsert);
    CmbSearch->setToolTip(QStringLiteral("F5 realiza nueva busqueda"));
    CmbSearch->setAccessibleName(QStringLiteral("CmbSearch"));
    lblFieldName->setObjectName(QStringLiteral("lblFieldName"));
    lblFieldName->setBuddy(CmbSearch);
    CmdAceptar->setDefault(true);
    construyeVentana();
    conectaEventos();
}

Lib_FrmCons3Tree::~Lib_FrmCons3Tree() = default;

void Lib_FrmCons3Tree::construyeVentana() {
    auto* busqueda = new QHBoxLayout(picFields);
    busqueda->setContentsMargins(0, 0, 0, 0);
    busqueda->addWidget(lblFieldName);
    busqueda->addWidget(CmbSearch, 1);

    auto* botones = new QHBoxLayout(Frame1);
    botones->setContentsMargins(0, 0, 0, 0);
    botones->addWidget(CmdNueva);
    botones->addStretch();
    botones->addWidget(CmdAceptar);
    botones->addWidget(CmdCancelar);

    auto* ventana = new QVBoxLayout(this);
    ventana->addWidget(picFields);
    ventana->addWidget(TreeV, 1);
    ventana->addWidget(Frame1);
    resize(520, 480);

    setTabOrder(CmbSearch, TreeV);
    setTabOrder(TreeV, CmdAceptar);
    setTabOrder(CmdAceptar, CmdCancelar);
    setTabOrder(CmdCancelar, CmdNueva);
}

void Lib_FrmCons3Tree::conectaEventos() {
    connect(CmbSearch, &QComboBox::editTextChanged, this, [this] { CmbSearch_Change(); });
    CmbSearch->installEventFilter(this);
    // A reload lets window events run: a double click does each once.
    auto* unaALaVez = new OneAtATime(this);
    connect(TreeV, &QTreeView::doubleClicked, this,
            [this, unaALaVez] { unaALaVez->run([this] { CmdAceptar_Click(); }); });
    unaALaVez->connect(*CmdAceptar, [this] { CmdAceptar_Click(); });
    unaALaVez->connect(*CmdCancelar, [this] { CmdCancelar_Click(); });
    unaALaVez->connect(*CmdNueva, [this] { CmdNueva_Click(); });
}

QString Lib_FrmCons3Tree::sentenciaFamilias() {
    return QStringLiteral("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, ") +
           QStringLiteral("(SELECT     TOP 1 idfamilia FROM @Admin_v_ta_familias a  ") +
           QStringLiteral(
               " Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) "
               "< Len(LTrim(RTrim(b.IdFamilia)))) ") +
           QStringLiteral(
               " ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where "
               "IdFamilia<>'' ORDER BY IdFamilia");
}

QString Lib_FrmCons3Tree::conFiltroDescripcion(const QString& sentencia, const QString& texto) {
    const qsizetype corte = sentencia.indexOf(QStringLiteral("order by"), 0, Qt::CaseInsensitive);
    const QString cabeza = corte < 0 ? sentencia : sentencia.left(corte);
    const QString orden = corte < 0 ? QString() : sentencia.mid(corte);
    const QString union_ = db::containsText(sentencia, QStringLiteral("where"))
                               ? QStringLiteral(" and ")
                               : QStringLiteral(" where ");
    // The typed text is a value: its quotes are doubled, so it can neither
    // end the pattern nor add SQL of its own.
    return cabeza + union_ + QStringLiteral("Descripcion like ") +
           db::sqlQuoted(QStringLiteral("%") + texto + QStringLiteral("%")) + QStringLiteral(" ") +
           orden;
}

void Lib_FrmCons3Tree::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!cargada_) Form_Load();
}

void Lib_FrmCons3Tree::Form_Load() {
    cargada_ = true;
    Valores = nuevaColeccion();
    arbol_.vaciar();
    arbol_.setCasillas(CheckBoxes);
    if (db::containsText(sql, QStringLiteral("v_ta_familias")))
        ArmarTreeVFamilias();
    else
        ArmarTreeVGeneral();
}

void Lib_FrmCons3Tree::ArmarTreeVFamilias() {
    sql = sentenciaFamilias();
    std::vector<FilaArbol> filas;
    leerFilas(sql, true, filas);
    armarArbol(std::move(filas));
}

void Lib_FrmCons3Tree::ArmarTreeVGeneral() {
    std::vector<FilaArbol> filas;
    leerFilas(sql, false, filas);
    armarArbol(std::move(filas));
}

bool Lib_FrmCons3Tree::leerFilas(QString sentencia, bool conPadre, std::vector<FilaArbol>& filas) {
    ado::Recordset rs;
    db::sharedDb().AbrirRecordset(sentencia, rs);
    // A statement that could not be opened has been reported by the access
    // layer already; the tree keeps its root alone.
    if (rs.State() != ado::adStateOpen) return true;
    const FailureNotice aviso = avisoOperadorPara(kRutinaArmado);
    bool seguir = true;
    while (seguir && !rs.EOF()) {
        FilaArbol fila{Brimcor2::ValorNoNulo(rs.value(0)), Brimcor2::ValorNoNulo(rs.value(1)), {}};
        if (conPadre) {
            const Value relativo = rs.value(2);
            fila.padre = relativo.isNull() ? QString() : Brimcor2::ValorNoNulo(relativo);
        }
        filas.push_back(std::move(fila));
        // A row that cannot be passed ends the reading: Ignore keeps what
        // was read, Abort leaves the builder.
        const StepOutcome paso = runStep([&] { return rs.MoveNext(); }, aviso);
        if (paso == StepOutcome::Abandoned) return false;
        seguir = paso == StepOutcome::Done;
    }
    rs.Close();
    return true;
}

void Lib_FrmCons3Tree::armarArbol(std::vector<FilaArbol> filas) {
    arbol_.armar(std::move(filas), avisoOperadorPara(kRutinaArmado));
    const QModelIndex raiz = arbol_.indiceDe(ArbolCodigos::kRaiz);
    TreeV->expand(raiz);
    TreeV->setCurrentIndex(raiz);
}

void Lib_FrmCons3Tree::seleccionar(int nodo) {
    const QModelIndex indice = arbol_.indiceDe(nodo);
    if (!indice.isValid()) return;
    TreeV->setCurrentIndex(indice);
    TreeV->scrollTo(indice);
}

void Lib_FrmCons3Tree::CmbSearch_Change() {
    seleccionar(arbol_.buscarPrefijo(CmbSearch->currentText()));
}

void Lib_FrmCons3Tree::NuevaBusquedaPorDescripcion() {
    lblFieldName->setText(QStringLiteral("Descripcion"));
    CmbSearch->setAccessibleName(lblFieldName->text());
    sql = conFiltroDescripcion(sql, CmbSearch->currentText());
    {
        const QSignalBlocker sinBusqueda(CmbSearch);
        CmbSearch->setEditText(QString());
    }
    Form_Load();
}

void Lib_FrmCons3Tree::CmdNueva_Click() {
    Form_Load();
}

bool Lib_FrmCons3Tree::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CmbSearch && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_F5:
                NuevaBusquedaPorDescripcion();
                return true;
            case Qt::Key_Down:
            case Qt::Key_Up:
            case Qt::Key_PageDown:
            case Qt::Key_PageUp:
                TreeV->setFocus();
                return true;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Lib_FrmCons3Tree::CmdAceptar_Click() {
    if (CheckBoxes)
        aceptarMarcados();
    else
        aceptarSeleccionado();
    QDialog::accept();
}

void Lib_FrmCons3Tree::aceptarMarcados() {
    if (!Valores) Valores = nuevaColeccion();
    for (int nodo : arbol_.marcados()) {
        // The root names no code: checking it marks what lies below.
        if (nodo == ArbolCodigos::kRaiz) continue;
        const QString codigo = arbol_.codigo(nodo);
        if (es(CampoDevuelto, "IDFAMILIA") || es(CampoDevuelto, "CODIGO")) {
            Valores->append(codigo.trimmed());
        } else if (es(CampoDevuelto, "IDPOSICION")) {
            if (auto valor = valorEnTabla(QStringLiteral("MA_POSICIONES"),
                                          QStringLiteral("IDPOSICION"), codigo))
                Valores->append(*valor);
        }
    }
}

void Lib_FrmCons3Tree::aceptarSeleccionado() {
    const int nodo = arbol_.nodoDe(TreeV->currentIndex());
    const QString codigo = nodo < 0 ? QString() : arbol_.codigo(nodo);
    std::optional<QString> valor;
    if (es(CampoDevuelto, "IDFAMILIA")) {
        valor = valorEnTabla(QStringLiteral("@admin_V_TA_FAMILIAS"), QStringLiteral("IDFAMILIA"),
                             codigo);
    } else if (es(CampoDevuelto, "IDPOSICION")) {
        valor = valorEnTabla(QStringLiteral("MA_POSICIONES"), QStringLiteral("IDPOSICION"), codigo);
    } else if (es(CampoDevuelto, "CODIGO")) {
        valor = valorEnTabla(QStringLiteral("TA_CCOSTO"), QStringLiteral("CODIGO"), codigo);
        if (!valor)
            valor = valorEnTabla(QStringLiteral("MA_CUENTAS"), QStringLiteral("CODIGO"), codigo);
    } else {
        return;
    }
    ValorDevuelto = valor ? Value(*valor) : Value();
}

void Lib_FrmCons3Tree::CmdCancelar_Click() {
    reject();
}

void Lib_FrmCons3Tree::reject() {
    ValorDevuelto = Value();
    CmpsDevueltos.reset();
    Valores.reset();
    QDialog::reject();
}

}  // namespace kl
