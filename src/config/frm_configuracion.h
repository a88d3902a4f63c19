#pragma once

#include "config/config_form.h"
#include "config/config_validation.h"
#include "platform/ui/skin.h"

#include <QHash>
#include <QWidget>

class QCloseEvent;
class QLabel;
class QLineEdit;
class QTabWidget;
class QVBoxLayout;
class QPushButton;

namespace kl {

// The program's start-up window and only main window: the system's
// configuration. Its load carries the session start-up; its unload the
// shutdown, which ends the program.
class frmConfiguracion : public QWidget, public config::FormularioConfiguracion {
    Q_OBJECT

  public:
    explicit frmConfiguracion(QWidget* parent = nullptr);

    // Run once, before the window is shown: the module's window preparation,
    // the icon, the session start-up (the program ends here when no
    // connection can be made), the skin and the configuration's own load.
    // Every failing step is passed over.
    void Form_Load();
    // The configuration's own load over a connected session: the account
    // levels' digit counts, then every bound key into its control.
    void CargaConfiguracion();
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
    const config::ControlEnlazado* controlDe(const QObject* widget) const;

    bool descargado_ = false;
    bool soloMayusculas_ = false;
    QString rutaElegida_;
    QTabWidget* SSpaneles_ = nullptr;
    QTabWidget* SSTab1_ = nullptr;
    QLabel* lblDesc_ = nullptr;
    QLabel* Imagen1_ = nullptr;
    QLabel* lblTitulo1_ = nullptr;
    QPushButton* cmdAplicar_ = nullptr;
    QHash<const config::ControlEnlazado*, QWidget*> widgets_;
    config::ValidacionConfiguracion validacion_{*this};
};

}  // namespace kl
