#pragma once

#include "lookup/arbol_codigos.h"
#include "lookup/coleccion.h"
#include "platform/value.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTreeView;

namespace kl {

// The modal window in which the operator picks a node of a hierarchy of
// codes: product families, cost centres, tariff positions or accounts. The
// lookup engine sets sql, CampoDevuelto and CheckBoxes, shows the window
// modally and reads back ValorDevuelto and Valores:
//
//     Lib_FrmCons3Tree arbol;
//     arbol.sql = "SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO ORDER BY CODIGO";
//     arbol.CampoDevuelto = "CODIGO";
//     showModal(arbol);
//     // arbol.ValorDevuelto: the cost centre chosen, Empty when cancelled
//
// The statement's first column is the code and its second the description;
// a statement on v_ta_familias is replaced by the families' own, which
// names each family's parent.
class Lib_FrmCons3Tree : public QDialog {
    Q_OBJECT

  public:
    explicit Lib_FrmCons3Tree(QWidget* parent = nullptr);
    ~Lib_FrmCons3Tree() override;

    // ---- Members the engine sets and reads, in the engine's order.
    QString sql;
    // "IDFAMILIA", "IDPOSICION" or "CODIGO", in any letter case.
    QString CampoDevuelto;
    Coleccion CmpsDevueltos;  // released on cancel
    bool CheckBoxes = false;
    QString gConnString;
    // The chosen code as its master table holds it; Empty when cancelled
    // or not found.
    Value ValorDevuelto;
    QString FiltroInicial;
    QString CampoBusqueda;
    bool OrdenarPorLwv = false;
    bool UsaCantidades = false;
    // The codes of the checked nodes; a new empty collection at every load.
    Coleccion Valores;
    Coleccion Cantidades;

    // ---- Controls.
    QTreeView* const TreeV;
    QComboBox* const CmbSearch;
    QLabel* const lblFieldName;
    QFrame* const picFields;
    QFrame* const Frame1;
    QPushButton* const CmdAceptar;
    QPushButton* const CmdCancelar;
    QPushButton* const CmdNueva;

    // The tree the window shows.
    ArbolCodigos& arbol() { return arbol_; }

    // ---- Event handlers.
    // Builds the tree from the statement; runs when the window is first shown.
    void Form_Load();
    // The families' tree, from their own statement.
    void ArmarTreeVFamilias();
    // Selects the first node whose code or description starts with the box's text.
    void CmbSearch_Change();
    // Makes the box's text a condition on the description and builds again.
    void NuevaBusquedaPorDescripcion();
    void CmdNueva_Click();
    void CmdAceptar_Click();
    void CmdCancelar_Click();

    // The families' statement; the access layer removes its "@Admin_" marker.
    static QString sentenciaFamilias();
    // `sentencia` with "Descripcion like '%texto%' " as a further condition,
    // before its ORDER BY part.
    static QString conFiltroDescripcion(const QString& sentencia, const QString& texto);

    // Escape and the window's close button cancel, as "&Cancelar" does.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void construyeVentana();
    void conectaEventos();
    // The common start of both builders: the tree emptied, then `filas`.
    void armarArbol(std::vector<FilaArbol> filas);
    void ArmarTreeVGeneral();
    // Reads the statement's rows; false when the operator left the builder.
    bool leerFilas(QString sentencia, bool conPadre, std::vector<FilaArbol>& filas);
    // The chosen code's value in its master table, as the accept returns it.
    void aceptarSeleccionado();
    void aceptarMarcados();
    void seleccionar(int nodo);

    ArbolCodigos arbol_;
    bool cargada_ = false;
};

}  // namespace kl
