#pragma once

#include "accounting/ejercicio_nuevo.h"
#include "accounting/lbc_asiento.h"

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>

class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kl {

class OneAtATime;

// The fiscal-year wizard: asks, step by step, for the number of the first
// year (only when no year exists), the year's name and its two dates, and
// creates the year. The panel sets the inputs, shows it modally (through
// showModal) and reads back what was created.
class WizEjercicio : public QDialog {
    Q_OBJECT

  public:
    explicit WizEjercicio(QWidget* parent = nullptr);
    ~WizEjercicio() override;

    // Inputs, set before the window is shown.
    bool pNoHabilitarFdesde = false;
    bool pNoHabilitarCancelar = false;
    bool pPedirNroEjercicioInicial = false;
    // In: proposed dates (may be empty). Out: the dates as typed.
    QString pFecha_Desde;
    QString pFecha_Hasta;

    // Outputs, read after the window is closed.
    std::int16_t pNuevo_Ejercicio = 0;
    QString pDescripcion;
    // True once the year's row was saved: only then does pNuevo_Ejercicio
    // name a year that exists.
    bool creado() const { return creado_; }

    // Checks the fields of one step (0, 1 or 2) and shows the refusal.
    bool ValidaTab(int QueTab);

    // Escape and the title bar's close button go the way of "&Cerrar", and
    // are refused with it when the panel disabled it or while the year is
    // being created.
    void reject() override;

  protected:
    // The inputs arrive after construction, so the window's load runs when
    // it is first shown.
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_Load();
    void SSTab1_Click();
    void CmdSiguiente_Click();
    void CmdAnterior_Click();
    void CmdCancelar_Click();
    void Actualizar_Datos();

    // The step shown, by its tab's caption.
    int pasoActual() const;
    // The field whose data field is `clave` (case ignored).
    QLineEdit* campo(const QString& clave) const;
    accounting::CamposEjercicio campos() const;

    QTabWidget* SSTab1 = nullptr;
    std::array<QLineEdit*, 4> txtfields{};
    QPushButton* CmdSiguiente = nullptr;
    QPushButton* CmdAnterior = nullptr;
    QPushButton* CmdCancelar = nullptr;
    OneAtATime* unaALaVez_ = nullptr;

    // The wizard only asks whether the new dates collide with another year,
    // which does not depend on the active period; the first year is created
    // before the key PERIODO names any.
    accounting::Lbc_Asiento reglas_{0};
    bool cargado_ = false;
    bool creado_ = false;
};

}  // namespace kl
