#pragma once

// The windows a lookup shows, as the engine sees them. The engine decides
// what to show and reads back what the operator chose; the list and tree
// windows (Lib_FrmCons3, Lib_FrmCons3Tree) do the showing. The program
// installs the real windows at start-up; tests install their own. Until one
// is installed nothing is shown and nothing is chosen.

#include "lookup/coleccion.h"
#include "platform/value.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace kl::consultas {

// What the engine sets on the list window before showing it.
struct PedidoLista {
    Value StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    bool CfgUsaConsultaLIKE = false;
    // The list sorts its rows itself: the statement has no ORDER BY.
    bool OrdenarPorLwv = false;
    QString FiltroInicial;
    QString CampoBusqueda;
    QString sql;
    QString gConnString;
    QString CampoDevuelto;
    bool CheckBoxes = false;
    bool UsaCantidades = false;
    QString ValoresDefault;
    Coleccion CmpsDevueltos;
};

struct PedidoArbol {
    QString sql;
    QString CampoDevuelto;
    bool CheckBoxes = false;
};

// The three pickers built on the list window: one column headed with the
// title, the window sized to the longest text, "&Nueva Busqueda" hidden.
struct PedidoOpciones {
    QString Titulo;
    QStringList filas;
    // Empty, or one mark per row: the rows carry check boxes.
    QList<bool> marcadas;
    bool conCasillas = false;
    // The longest text, the title included, in characters.
    int largoMayor = 0;
};

// What the operator chose; ValorDevuelto is Empty when he cancelled.
struct Eleccion {
    Value ValorDevuelto;
    Coleccion Valores;
    Coleccion Cantidades;
};

class VentanasConsulta {
  public:
    virtual ~VentanasConsulta() = default;
    virtual Eleccion muestraLista(const PedidoLista& pedido) = 0;
    virtual Eleccion muestraArbol(const PedidoArbol& pedido) = 0;
    virtual Eleccion muestraOpciones(const PedidoOpciones& pedido) = 0;
};

VentanasConsulta& ventanasConsulta();
// nullptr restores the built-in windows, which show nothing and choose
// nothing. Returns the previous ones.
std::shared_ptr<VentanasConsulta> installVentanasConsulta(std::shared_ptr<VentanasConsulta> v);

}  // namespace kl::consultas
