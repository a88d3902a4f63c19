#pragma once

// The controls of the configuration window that are bound to configuration
// keys, described once. The window is built from this table, and the load,
// the save and the validation of all fields walk it in its order, which is
// the window's focus order. Adding a key means adding a row here.

#include <QString>

#include <vector>

namespace kl::config {

// The tabs of the window's tab control SSpaneles, by index.
enum class Pestana {
    Ninguna = -1,  // placed directly on the window
    Pantalla = 0,
    Empresa = 1,
    General = 2,
    IvaIngresosBrutos = 3,
    PlanCuentas = 4,
    Ejercicio = 5,
};

// The tabs of SSTab1, the inner tab control of "Configuración &General".
enum class PestanaInterna {
    Ninguna = -1,
    IndicesYFechas = 0,
    DatosGenerales = 1,
};

inline constexpr int kCantidadPestanas = 6;
inline constexpr Pestana kPestanaInicial = Pestana::Ejercicio;
inline constexpr PestanaInterna kPestanaInternaInicial = PestanaInterna::DatosGenerales;

// Captions with their mnemonics; "" for Ninguna.
QString captionPestana(Pestana pestana);
QString captionPestanaInterna(PestanaInterna pestana);

enum class TipoControl {
    TextBox,   // an element of the txtfields array
    CheckBox,  // a yes/no box holding "SI" or "NO"
    Image,     // Imagen1: stands for the confirmed background image
};

enum class Alineacion { Izquierda, Derecha };

// The account-level boxes: each level has a name box and a digit-count box.
enum class RolNivel { Ninguno, Nombre, Digitos };

struct ControlEnlazado {
    TipoControl tipo = TipoControl::TextBox;
    // The control's name: "txtfields" for every text box, "ChkCosto", "Imagen1"...
    QString nombre;
    // Index in txtfields; -1 for the other controls.
    int indice = -1;
    // The key lives in DataField for text boxes. A check box keeps it in its
    // Tag, or in its DataField when the box is only shown and never written.
    QString dataField;
    // Text boxes: the field marker ("FECHA", or the table a code is looked
    // up in). Check boxes: the key the save writes.
    QString tag;
    // The label beside the control, as written; "" when none stands there.
    QString etiqueta;
    // 0: no limit.
    int maxLength = 0;
    // What a text box shows before any key is loaded (first-time
    // configuration); a check box's caption before loading.
    QString textoDiseno;
    Alineacion alineacion = Alineacion::Izquierda;
    Pestana pestana = Pestana::Ninguna;
    PestanaInterna pestanaInterna = PestanaInterna::Ninguna;
    // Caption of the frame holding the control; "" for none.
    QString marco;
    // GRUPO the save writes with the key; "" when the save does not write
    // the control or leaves the column unset.
    QString grupo;
    // Check boxes: the caption for a ticked and for a clear box.
    QString leyendaSi;
    QString leyendaNo;
    // The capitals-only switch: ticking it turns capitals-only typing on.
    bool fijaSoloMayusculas = false;
    bool visible = true;
    // False: the operator cannot type into it (the value is set for him).
    bool editable = true;
    // False: the control opens disabled.
    bool habilitado = true;
    bool negrita = false;
    // A label after the box ("%" after the percentages).
    QString sufijo;
    // A button beside the box that fills it, and its caption.
    QString boton;
    QString captionBoton;
    // A label beside the box that shows the description of its code.
    QString etiquetaDescripcion;
    int nivel = 0;  // 1 to 6 for the account-level boxes
    RolNivel rolNivel = RolNivel::Ninguno;
};

// Keys, tags and yes/no values compare without regard to case.
bool sameText(const QString& a, const QString& b);

// The bound controls in the window's focus order.
const std::vector<ControlEnlazado>& controlesEnlazados();

// The key the control is bound to: a check box's trimmed Tag when not
// blank, else its DataField; "IMAGEN DE FONDO" for the image.
QString clave(const ControlEnlazado& control);

// Whether the save writes the control back: text boxes with a DataField,
// check boxes with a Tag, the image always.
bool seGraba(const ControlEnlazado& control);

// The name assistive technologies announce: the label without "&" and
// without its final colon, or the key where no label stands beside it; a
// level's boxes are announced by the level ("Nivel 2, dígitos").
QString nombreAccesible(const ControlEnlazado& control);

// Caption of a yes/no box for a state (0 clear, anything else ticked).
QString leyenda(const ControlEnlazado& control, int valor);

// The fiscal-year panel's controls that carry no key, placed beside the
// bound ones of the "Ejercicio Contable" tab.
struct ControlPanelEjercicio {
    QString nombre;
    QString caption;  // "" for the slider
    QString marco;    // "" when the control stands on the tab itself
};
const std::vector<ControlPanelEjercicio>& controlesPanelEjercicio();

// Lookups; nullptr when none matches. Keys and names ignore case.
const ControlEnlazado* buscaClave(const QString& key);
const ControlEnlazado* buscaIndice(int indice);
const ControlEnlazado* buscaNombre(const QString& nombre);
const ControlEnlazado* buscaNivel(int nivel, RolNivel rol);

}  // namespace kl::config
