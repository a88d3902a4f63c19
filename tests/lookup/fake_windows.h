#pragma once

// Lookup windows for tests: they remember what the engine asked them to
// show and answer with the choice queued.

#include "lookup/ventanas_consulta.h"

#include <vector>

namespace kl::consultas::test {

class FakeWindows final : public VentanasConsulta {
  public:
    Eleccion muestraLista(const PedidoLista& pedido) override {
        listas.push_back(pedido);
        return eleccion;
    }
    Eleccion muestraArbol(const PedidoArbol& pedido) override {
        arboles.push_back(pedido);
        return eleccion;
    }
    Eleccion muestraOpciones(const PedidoOpciones& pedido) override {
        opciones.push_back(pedido);
        return eleccion;
    }

    Eleccion eleccion;
    std::vector<PedidoLista> listas;
    std::vector<PedidoArbol> arboles;
    std::vector<PedidoOpciones> opciones;
};

// Installs fresh fake windows for the life of the object.
class ScopedFakeWindows {
  public:
    ScopedFakeWindows() : previous_(installVentanasConsulta(fake_)) {}
    ~ScopedFakeWindows() { installVentanasConsulta(previous_); }
    FakeWindows* operator->() { return fake_.get(); }
    FakeWindows& operator*() { return *fake_; }

  private:
    std::shared_ptr<FakeWindows> fake_ = std::make_shared<FakeWindows>();
    std::shared_ptr<VentanasConsulta> previous_;
};

}  // namespace kl::consultas::test
