#pragma once

// The list lookup window: the operator picks a row of a query result. The
// lookup engine (Lib_ClsCons3) sets the public members, shows the window
// modally through showModal() and reads the results back:
//
//     Lib_FrmCons3 ventana;
//     ventana.sql = "select CODIGO,DESCRIPCION from TA_CONDIVA order by CODIGO";
//     ventana.CampoDevuelto = "CODIGO";
//     showModal(ventana);                 // loads on showing: Form_Load()
//     QString codigo = ventana.ValorDevuelto.toString();   // "" when cancelled
//     ventana.Form_Unload();
//
// The window runs its statement itself through the process's access layer,
// builds a column per result column with a search box above each, and
// offers incremental search, a narrowed search on the server (F5), sorting
// by column, check marks, a quantity column, the maintenance program of the
// table ("N&uevo") and, for articles, stock colours and the report of a
// missing article (F12). Column widths come from CONSULTASLEN.KVW.
//
// The rows are a table model (FilasConsulta) shown by a table view, so a
// long result costs one text buffer, not a widget item per row. The window
// lives in kl_lookup with the engine that shows it.

#include "lookup/coleccion.h"
#include "lookup/filas_consulta.h"
#include "platform/value.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QComboBox;
class QEvent;
class QKeyEvent;
class QLabel;
class QPushButton;
class QResizeEvent;
class QShowEvent;
class QScrollBar;
class QTableView;
class QWidget;

namespace kl {

namespace ado {
class Recordset;
}
class OneAtATime;

class Lib_FrmCons3 : public QDialog {
    Q_OBJECT

  public:
    explicit Lib_FrmCons3(QWidget* parent = nullptr);
    ~Lib_FrmCons3() override;

    // ---- Set by the engine before the window is shown.
    Value StkNivel1;  // text colours (classic colour numbers) of the stock levels
    Value StkNivel2;
    Value StkNivel3;
    Value StkNivel4;
    QString MuestraStock;  // "SI" (any case) colours article rows by stock
    QString sql;           // the statement shown; F5 narrows it
    QString CampoDevuelto;
    Coleccion CmpsDevueltos;  // further columns whose values go to Valores on accept
    bool CheckBoxes = false;
    QString gConnString;  // kept only: statements run on the process's access layer
    Value ValorDevuelto;  // the chosen row's CampoDevuelto; Empty when cancelled
    QString FiltroInicial;
    QString CampoBusqueda;  // kept only
    bool OrdenarPorLwv = false;
    Coleccion Valores;
    // With check boxes and a "**Cantidad**" column, the quantity of every
    // checked row, in the order of Valores.
    Coleccion Cantidades;
    bool UsaCantidades = false;
    QString ValoresDefault;  // values pre-checked (substring test); "@10" widens columns
    bool CfgUsaConsultaLIKE = false;
    bool GrabarCfg = false;  // save the column widths when the window unloads

    // CONSULTASLEN.KVW in the program's folder unless set otherwise.
    QString ArchivoAnchos;

    // ---- Controls.
    QLabel* const Label1;
    QWidget* const picFields;
    QTableView* const ListView1;
    QScrollBar* const HScroll1;
    QWidget* const Frame1;
    QPushButton* const CmdAceptar;
    QPushButton* const CmdCancelar;
    QPushButton* const CmdNueva;
    QPushButton* const CmdNuevo;
    QPushButton* const CmdTodos;
    // One search box per column, element 0 always present.
    const QList<QComboBox*>& CmbSearch() const { return cmbSearch_; }
    consulta::FilasConsulta& filas() { return filas_; }

    // ---- Loading. Load() runs Form_Load() once, as the first showing does;
    // F5 and "&Nueva Busqueda" run Form_Load() again.
    void Load();
    void Form_Load();
    void Form_Unload();
    void Encolumnar();
    void Leer();
    void CalcularAncho();

    // 1-based row, in list order, whose text in column Clave (0 the first)
    // starts with QueValor trimmed, case ignored; 0 when none.
    int Busqueda(int Clave, const QString& QueValor) const;
    // 1-based column whose header, trimmed, is Columna trimmed, case
    // ignored; 0 when none.
    int IndiceColumna(const QString& Columna) const;

    // ---- For the engine's pickers, which fill the window themselves.
    // One column headed `titulo`, as wide as the list, its search box too.
    void EncabezadoUnico(const QString& titulo);
    void AgregaFila(const QString& texto, bool marcada = false);
    // The window's width in twips, kept inside the screen.
    void AnchoEnTwips(int twips);

    // ---- Event handlers.
    void CmdAceptar_Click();
    void CmdCancelar_Click();
    // Escape and closing the window cancel, as "&Cancelar" does.
    void reject() override;
    void CmdNueva_Click();
    void CmdNuevo_Click();
    void CmdTodos_Click();
    void ListView1_ColumnClick(int columna);
    void ListView1_KeyDown(QKeyEvent& tecla);
    // F5 in search box `indice`.
    void NuevaBusqueda(int indice);
    void ReportaFaltante();

    // How "N&uevo" starts a maintenance program: the module's launcher
    // EjecutaPrograma(Programa, ParametroAdicional), installed by the engine.
    // Without one the button does nothing.
    using Lanzador =
        std::function<void(const QString& Programa, const QString& ParametroAdicional)>;
    static Lanzador installLanzador(Lanzador lanzador);

    // The program and additional parameter "N&uevo" starts for a table.
    struct ProgramaAlta {
        QString programa;
        QString parametro;
    };
    static ProgramaAlta programaParaTabla(const QString& tabla);

    // The table the statement reads (widths file, "N&uevo").
    const QString& tabla() const { return tabla_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void construyeVentana();
    QComboBox* cajaBusqueda(int indice);
    void cajaCambiada(int indice, const QString& texto);
    void seleccionaFila(int fila, int columna);
    int filaActual() const;
    int columnaCantidad() const;
    void teclaCantidad(QKeyEvent& tecla, int columna);
    void colocaCajas();
    void LeerAnchos();
    void GrabarAnchos();
    QString valorEnColumna(int fila, const QString& columna) const;
    int anchoColumnaTwips(int columna) const;
    // The least width column `columna` is built with.
    int anchoMinimo(int columna) const;

    consulta::FilasConsulta filas_;
    QList<QComboBox*> cmbSearch_;
    QWidget* const tiraBusqueda_;
    OneAtATime* const unaALaVez_;
    // The recordset being read, while a load runs.
    std::unique_ptr<ado::Recordset> rs_;
    bool cargada_ = false;
    bool descargada_ = false;
    bool centrada_ = false;
    bool articulos_ = false;
    QString tabla_;
    QString primeraSentencia_;
    QString ultimaSentencia_;
    int cajaActual_ = 0;
    bool ordenDescendente_ = false;
};

}  // namespace kl
