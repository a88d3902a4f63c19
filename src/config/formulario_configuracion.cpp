#include "config/formulario_configuracion.h"

namespace kl::config {

QString textoDeClave(const FormularioConfiguracion& form, const QString& key) {
    const ControlEnlazado* control = buscaClave(key);
    return control && control->tipo == TipoControl::TextBox ? form.texto(*control) : QString();
}

void setTextoDeClave(FormularioConfiguracion& form, const QString& key, const QString& text) {
    const ControlEnlazado* control = buscaClave(key);
    if (control && control->tipo == TipoControl::TextBox) form.setTexto(*control, text);
}

}  // namespace kl::config
