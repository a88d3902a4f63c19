#include "lookup/ventanas_consulta.h"

#include <utility>

namespace kl::consultas {

namespace {

class SinVentanas final : public VentanasConsulta {
  public:
    Eleccion muestraLista(const PedidoLista&) override { return {}; }
    Eleccion muestraArbol(const PedidoArbol&) override { return {}; }
    Eleccion muestraOpciones(const PedidoOpciones&) override { return {}; }
};

std::shared_ptr<VentanasConsulta>& instaladas() {
    static std::shared_ptr<VentanasConsulta> ventanas = std::make_shared<SinVentanas>();
    return ventanas;
}

}  // namespace

VentanasConsulta& ventanasConsulta() {
    return *instaladas();
}

std::shared_ptr<VentanasConsulta> installVentanasConsulta(std::shared_ptr<VentanasConsulta> v) {
    if (!v) v = std::make_shared<SinVentanas>();
    return std::exchange(instaladas(), std::move(v));
}

}  // namespace kl::consultas
