#pragma once

// What the configuration window offers the key binding and the field
// validation: the values of its bound controls and the few things they do
// to the window. The window implements it over its widgets; the binding and
// the validation never see a widget.

#include "config/controles_enlazados.h"
#include "platform/runerror.h"

#include <QString>

namespace kl::config {

class FormularioConfiguracion {
  public:
    virtual ~FormularioConfiguracion() = default;

    // Text boxes.
    virtual QString texto(const ControlEnlazado& control) const = 0;
    virtual void setTexto(const ControlEnlazado& control, const QString& text) = 0;

    // Check boxes: 0 clear, 1 ticked. Setting the state runs the box's click
    // handling, so its caption (and the capitals-only switch) follow.
    virtual int valor(const ControlEnlazado& control) const = 0;
    virtual void setValor(const ControlEnlazado& control, int value) = 0;

    // The label beside the VAT condition that shows its description.
    virtual void setDescripcionCondIva(const QString& text) = 0;

    virtual void seleccionaPestana(Pestana pestana) = 0;
    // Error 5 when the control cannot take the focus (hidden or disabled).
    virtual StepResult daFoco(const ControlEnlazado& control) = 0;
};

// The text of the box bound to `key` (case ignored); "" when no box is.
QString textoDeClave(const FormularioConfiguracion& form, const QString& key);
// Sets the text of the box bound to `key`; nothing when no box is.
void setTextoDeClave(FormularioConfiguracion& form, const QString& key, const QString& text);

}  // namespace kl::config
