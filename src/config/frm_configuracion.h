#pragma once

#include "config/formulario_configuracion.h"
#include "config/niveles_cuenta.h"
#include "config/panel_ejercicios.h"
#include "config/validacion_configuracion.h"
#include "platform/ui/skin.h"
#include "session/sesion.h"

#include <QHash>
#include <QWidget>

#include <functional>
#include <memory>

class QCloseEvent;
class QLabel;
class QLineEdit;
class QTabWidget;
class QVBoxLayout;
class QPushButton;
class QSlider;

namespace kl {

class FittedImage;
class OneAtATime;

// The program's start-up window and only main window: the system's
// configuration. Its load carries the session start-up; its unload the
// shutdown, which ends the program.
class frmConfiguracion : public QWidget,
                         public config::FormularioConfiguracion,
                         public config::ControlesPanel {
    Q_OBJECT

  public:
    explicit frmConfiguracion(QWidget* parent = nullptr);

    // Run once, before the window is shown: the module's window preparation,
    // the icon, the session start-up (the program ends here when no
    // connection can be made), the skin and the configuration's own load.
    // Every failing step is passed over.
    void Form_Load();
    // The configuration's own load over a connected session: the stored
    // background image, the account levels' digit counts, every bound key
    // into its control and the fiscal years.
    void CargaConfiguracion();
    // Rebuilds the fiscal-year panel from MV_EJERCICIOS.
    void Datos_Ejercicios();
    // Records the exit, releases the session's shared objects, hides the
    // window and ends the program. Runs once, whichever way the window goes.
    void Form_Unload();

    // The command buttons.
    void cmdAceptar_Click();
    void cmdCancelar_Click();
    void SSpaneles_Click();
    void CmdExaminar_Click();
    void CmdQuitar_Click();
    void CmdBuscarExes_Click();
    // The history of changes in the list lookup window, newest first.
    void cmdHistorial_Click();

    // The fiscal-year panel.
    void SldrEjercicio_Change();
    void CmdAbrirEjercicio_Click();
    void CmdCerrarEjercicio_Click();
    void CmdCrearEjercicio_Click();

    // The digit counts of the six levels as the window loaded them.
    const DigitosNiveles& DigitosAnteriores() const { return digitosAnteriores_; }
    // True while the window's own load runs.
    bool cargando() const { return cargando_; }

    // The skin control, invisible; AplicaEstiloVisual loads it.
    SkinFramework SkinFramework1;

    // FormularioConfiguracion over the window's widgets.
    QString texto(const config::ControlEnlazado& control) const override;
    void setTexto(const config::ControlEnlazado& control, const QString& text) override;
    int valor(const config::ControlEnlazado& control) const override;
    void setValor(const config::ControlEnlazado& control, int value) override;
    void setDescripcionCondIva(const QString& text) override;
    void seleccionaPestana(config::Pestana pestana) override;
    StepResult daFoco(const config::ControlEnlazado& control) override;

    // ControlesPanel over the window's widgets.
    void habilita(const config::ControlEnlazado& control, bool enabled) override;
    void habilitaSlider(bool enabled) override;
    void setRangoSlider(int minimo, int maximo) override;
    int posicionSlider() const override;
    void setPosicionSlider(int posicion) override;

    // The lookup of the text box at IndiceActual (F5 or a right click): the
    // list of VAT conditions, the lookup of the table its tag names, or the
    // date picker. A read-only or disabled box has none.
    void ConsultaCampo();
    // The text box that last took the focus, a click, or F5; -1 for none.
    int IndiceActual = -1;

    // The widget built for a bound control; nullptr for none.
    QWidget* widgetDe(const config::ControlEnlazado& control) const;
    QTabWidget* pestanas() const { return SSpaneles_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class Constructor;
    // The tabs and every bound control, laid out from their table.
    void construyeControles(QVBoxLayout& raiz);

    bool enPantalla() const;
    void muestraImagen(const QString& path);
    // The path the operator picks in the file dialog; "" when cancelled.
    static QString SeleccionaArchivo(const QString& filtro);
    // The accept flow up to the save; true when it reached it.
    bool aceptaConfiguracion();
    void clickCasilla(const config::ControlEnlazado& control, int value);
    // A key pressed in a bound text box: leaving it validates it first (the
    // focus stays on an invalid one), F5 opens its lookup. True when handled.
    bool txtfields_KeyDown(const config::ControlEnlazado& control, int key);
    // Runs an operator's action; whatever failure escapes it is shown, so a
    // button never ends the program.
    void informaFallo(const std::function<void()>& accion);
    // The accept, a year's close or reopen and the wizard let window events
    // run while they work (the progress notice, the boxes, the wizard): a
    // press of any of them meanwhile is passed over instead of starting a
    // second one over the first.
    void sinSolapar(const std::function<void()>& accion);
    const config::ControlEnlazado* controlDe(const QObject* widget) const;
    void DejaCampo(QLineEdit& edit, const config::ControlEnlazado& control, int key);

    bool descargado_ = false;
    OneAtATime* unaALaVez_ = nullptr;
    bool soloMayusculas_ = false;
    bool cargando_ = false;
    DigitosNiveles digitosAnteriores_{};
    // What the load found stored, so the save leaves alone what another
    // station changed and this window did not.
    config::ValoresCargados cargados_;
    QString rutaElegida_;
    QTabWidget* SSpaneles_ = nullptr;
    QTabWidget* SSTab1_ = nullptr;
    QLabel* lblDesc_ = nullptr;
    FittedImage* Imagen1_ = nullptr;
    QLabel* lblTitulo1_ = nullptr;
    QPushButton* cmdAplicar_ = nullptr;
    QSlider* SldrEjercicio_ = nullptr;
    QHash<const config::ControlEnlazado*, QWidget*> widgets_;
    config::ValidacionConfiguracion validacion_{*this};
    std::shared_ptr<config::ReglasPeriodo> reglas_ = std::make_shared<config::ReglasPeriodo>();
    config::PanelEjercicios panel_{*this, *this, reglas_};
    config::NivelesCuenta niveles_{*this};
};

}  // namespace kl
