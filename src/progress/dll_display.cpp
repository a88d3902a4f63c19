#include "progress/dll_display.h"

#include "platform/dialogs.h"
#include "progress/lbf_ctrldisplay.h"

#include <QLabel>
#include <QPushButton>

namespace kl {

namespace {

std::unique_ptr<Dll_Display>& sharedDisplay() {
    static std::unique_ptr<Dll_Display> display;
    return display;
}

}  // namespace

Dll_Display::Dll_Display() = default;
Dll_Display::~Dll_Display() = default;

Lbf_CtrlDisplay& Dll_Display::ensureWindow() {
    if (!window_) {
        window_ = std::make_unique<Lbf_CtrlDisplay>();
    }
    return *window_;
}

void Dll_Display::CartelInicio(const QString& Titulo, bool PermiteCancelar) {
    Lbf_CtrlDisplay& window = ensureWindow();
    window.setWindowTitle(Titulo);
    window.CmdDisplayCancelar()->setVisible(PermiteCancelar);
    window.show();
}

void Dll_Display::CartelMostrar(bool& Cancelado, const std::optional<Value>& L1,
                                const std::optional<Value>& l2, const std::optional<Value>& l3) {
    Lbf_CtrlDisplay& window = ensureWindow();
    const std::optional<Value>* lines[] = {&L1, &l2, &l3};
    for (int index = 0; index < Lbf_CtrlDisplay::kLineCount; ++index) {
        const std::optional<Value>& line = *lines[index];
        if (line) {
            window.LblCtrol(index)->setText(line->isNull() ? QString() : line->toString());
        }
    }
    window.repaint();
    Cancelado = window.cancelRequested();
    DoEvents();
}

void Dll_Display::CartelCerrar() {
    if (window_) {
        window_->hide();
        window_.reset();
    }
}

void Dll_Display::Siempre_Visible(bool vNewValue) {
    Lbf_CtrlDisplay& window = ensureWindow();
    // Changing a window flag recreates the native window and hides it; the
    // place, size and visibility are put back as they were.
    const QRect geometry = window.geometry();
    const bool wasVisible = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, vNewValue);
    window.setGeometry(geometry);
    if (wasVisible) {
        window.show();
    }
}

Dll_Display& dllDisplay() {
    std::unique_ptr<Dll_Display>& display = sharedDisplay();
    if (!display) {
        display = std::make_unique<Dll_Display>();
    }
    return *display;
}

void releaseDllDisplay() {
    sharedDisplay().reset();
}

CartelAbierto::CartelAbierto(const QString& titulo, bool permiteCancelar) {
    dllDisplay().CartelInicio(titulo, permiteCancelar);
}

CartelAbierto::~CartelAbierto() {
    dllDisplay().CartelCerrar();
}

bool CartelAbierto::muestra(const QString& linea) {
    bool cancelado = false;
    dllDisplay().CartelMostrar(cancelado, Value(linea));
    return cancelado;
}

}  // namespace kl
