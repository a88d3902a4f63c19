#include "lookup/ventanas_lista.h"

#include "lookup/lib_frmcons3.h"
#include "lookup/lib_frmcons3tree.h"
#include "platform/ui/windows.h"

#include <QApplication>
#include <QPushButton>

namespace kl::consultas {

namespace {

// Twips per character of a picker's widest text.
constexpr int kTwipsPorCaracter = 120;

// What the window leaves for the engine; it then unloads.
Eleccion recoge(Lib_FrmCons3& ventana) {
    Eleccion eleccion{ventana.ValorDevuelto, ventana.Valores, ventana.Cantidades};
    ventana.CampoDevuelto.clear();
    ventana.Valores.reset();
    ventana.Cantidades.reset();
    ventana.Form_Unload();
    return eleccion;
}

}  // namespace

Eleccion VentanasLista::muestraLista(const PedidoLista& pedido) {
    Lib_FrmCons3 ventana(QApplication::activeWindow());
    ventana.StkNivel1 = pedido.StkNivel1;
    ventana.StkNivel2 = pedido.StkNivel2;
    ventana.StkNivel3 = pedido.StkNivel3;
    ventana.StkNivel4 = pedido.StkNivel4;
    ventana.MuestraStock = pedido.MuestraStock;
    ventana.CfgUsaConsultaLIKE = pedido.CfgUsaConsultaLIKE;
    ventana.OrdenarPorLwv = pedido.OrdenarPorLwv;
    ventana.FiltroInicial = pedido.FiltroInicial;
    ventana.CampoBusqueda = pedido.CampoBusqueda;
    ventana.sql = pedido.sql;
    ventana.gConnString = pedido.gConnString;
    ventana.CampoDevuelto = pedido.CampoDevuelto;
    ventana.CheckBoxes = pedido.CheckBoxes;
    ventana.UsaCantidades = pedido.UsaCantidades;
    ventana.ValoresDefault = pedido.ValoresDefault;
    ventana.CmpsDevueltos = pedido.CmpsDevueltos;
    if (pedido.CheckBoxes) {
        ventana.Load();
        for (int fila = 0; fila < ventana.filas().rowCount(); ++fila)
            ventana.filas().marca(fila, false);
    }
    showModal(ventana);
    return recoge(ventana);
}

Eleccion VentanasLista::muestraArbol(const PedidoArbol& pedido) {
    Lib_FrmCons3Tree ventana(QApplication::activeWindow());
    ventana.sql = pedido.sql;
    ventana.CampoDevuelto = pedido.CampoDevuelto;
    ventana.CheckBoxes = pedido.CheckBoxes;
    showModal(ventana);
    return {ventana.ValorDevuelto, ventana.Valores, nullptr};
}

Eleccion VentanasLista::muestraOpciones(const PedidoOpciones& pedido) {
    Lib_FrmCons3 ventana(QApplication::activeWindow());
    ventana.Load();
    ventana.setWindowTitle(pedido.Titulo);
    ventana.CmdNueva->hide();
    ventana.OrdenarPorLwv = true;
    ventana.CampoDevuelto = pedido.Titulo;
    ventana.CheckBoxes = pedido.conCasillas;
    ventana.EncabezadoUnico(pedido.Titulo);
    for (qsizetype i = 0; i < pedido.filas.size(); ++i)
        ventana.AgregaFila(pedido.filas[i], i < pedido.marcadas.size() && pedido.marcadas[i]);
    ventana.AnchoEnTwips(pedido.largoMayor * kTwipsPorCaracter);
    showModal(ventana);
    return recoge(ventana);
}

}  // namespace kl::consultas
