#pragma once

// The engine's windows: the list lookup window Lib_FrmCons3 (lookups and
// pickers) and the tree lookup window Lib_FrmCons3Tree. Each lookup gets a
// fresh window, shown modally through showModal() and discarded once its
// results are read.

#include "lookup/ventanas_consulta.h"

namespace kl::consultas {

class VentanasLista : public VentanasConsulta {
  public:
    Eleccion muestraLista(const PedidoLista& pedido) override;
    Eleccion muestraArbol(const PedidoArbol& pedido) override;
    Eleccion muestraOpciones(const PedidoOpciones& pedido) override;
};

}  // namespace kl::consultas
