#pragma once

#include "platform/value.h"

#include <QString>

#include <memory>
#include <optional>

namespace kl {

class Lbf_CtrlDisplay;

// The progress notice long tasks show while they run. A task opens it with
// CartelInicio, reports each step with CartelMostrar (which also tells it
// whether the operator asked to cancel) and closes it with CartelCerrar.
// Each instance owns at most one notice window at a time.
class Dll_Display {
  public:
    Dll_Display();
    ~Dll_Display();
    Dll_Display(const Dll_Display&) = delete;
    Dll_Display& operator=(const Dll_Display&) = delete;

    // Shows the notice modeless with the given caption; the cancel button
    // only when the task can stop halfway.
    void CartelInicio(const QString& Titulo, bool PermiteCancelar);

    // Each given line shows its value (a Null as empty text); an omitted
    // line (std::nullopt) keeps its text. `Cancelado` tells whether the
    // cancel button was pressed since the window opened. Pending window
    // events run afterwards, which is what keeps the notice alive.
    void CartelMostrar(bool& Cancelado, const std::optional<Value>& L1 = std::nullopt,
                       const std::optional<Value>& l2 = std::nullopt,
                       const std::optional<Value>& l3 = std::nullopt);

    // Hides the notice and releases its window; the next CartelInicio starts
    // with a fresh one, so the cancel state resets.
    void CartelCerrar();

    // Puts the notice into the topmost band of the desktop or takes it out;
    // the notice keeps its place and size.
    void Siempre_Visible(bool vNewValue);

    // The window while one exists.
    Lbf_CtrlDisplay* window() const { return window_.get(); }

  private:
    Lbf_CtrlDisplay& ensureWindow();

    std::unique_ptr<Lbf_CtrlDisplay> window_;
};

// The process's notice, open for as long as the object lives: it closes
// whichever way the task that opened it ends.
class CartelAbierto {
  public:
    explicit CartelAbierto(const QString& titulo, bool permiteCancelar = false);
    ~CartelAbierto();
    CartelAbierto(const CartelAbierto&) = delete;
    CartelAbierto& operator=(const CartelAbierto&) = delete;

    // Shows the line; true when the operator asked to cancel.
    bool muestra(const QString& linea);
};

// The process's notice, created on first use; releaseDllDisplay (at
// shutdown, before the application object goes) destroys it.
Dll_Display& dllDisplay();
void releaseDllDisplay();

}  // namespace kl
