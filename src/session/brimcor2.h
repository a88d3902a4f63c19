#pragma once

#include "platform/dialogs.h"
#include "platform/runerror.h"
#include "platform/value.h"
#include "session/textos.h"

#include <QDateTime>
#include <QObject>
#include <QString>

class QEvent;
class QLineEdit;

class QWidget;

// The maker's shared utility library: small text, system, settings and field
// helpers that nearly every routine of the module calls. Stateless except for
// the few settings noted below, so its operations are plain functions; only
// the file dialog is an object.
namespace kl::Brimcor2 {

// ---- Text and values -------------------------------------------------------
// (the pure ones are in session/textos.h)

// The date in the form the shared access layer's database reads as a
// literal, quotes included: SQL Server '20240213 00:00:00' (read the same
// whatever the login's language), Oracle a TO_DATE call, the embedded
// engine '2024-02-13 00:00:00'. The value may be a date or a text in any
// layout conv::parseDateTime knows. A value that is not a date gives "", so
// a statement built with it fails in the database instead of matching a
// wrong day.
QString FechaSQL(const Value& date);

// Message-box answers 3 (Abort), 4 (Retry), 5 (Ignore) with the default style.
inline constexpr int kEstiloAvisoError = mb::AbortRetryIgnore | mb::Critical;
// Shows the failure modally (number and description; the routine in the
// title) and returns the operator's answer.
int AvisoError(const RunError& error, int estilo = kEstiloAvisoError,
               const QString& rutina = QString());
// The notice runStep/runSteps take, for a routine's failures.
FailureNotice avisoErrorPara(const QString& rutina);

// Gives a window the module's look: the application's font, kept inside
// the screen, and centred on it when `centrar` is set (at a window's load).
void PreparaFormulario(QWidget* window, bool centrar);

// Lets the operator pick a date, starting at the date in `text` (today when
// it holds none). The chosen date as dd/mm/yyyy; cancelling gives `text`.
QString SeleccionaFecha(const QString& text);
// F5 or a right click on an editable date field opens the date picker on the
// field's text (SeleccionaFecha). True when `event` was one of those and has
// been handled.
bool ConsultaFecha(QLineEdit& field, const QEvent& event);

// The busy pointer on or off. Calls do not nest: one "off" ends any number
// of "on".
void ModoEspera(bool enEspera);

// ---- System ----------------------------------------------------------------

QString NombreMaquina();
// The operating-system login name.
QString UsuarioWindows();
// The system's temporary folder, which always exists and can be written:
// the last resort for logs when TEMP and TMP are not set.
QString CarpetaSistema();
// Moves and, when it is too big, shrinks the window into the available area
// of its screen.
void AjustaVentana(QWidget* window);
// Opens a document, folder or address with the program the system has for
// it. `estiloVentana` is the classic show-window code; the desktop decides
// how the program's window appears, so it is accepted and not used.
bool EjecutaDocumento(const QString& target, int estiloVentana = 1);

// ---- Settings --------------------------------------------------------------

QString LeeIni(const QString& file, const QString& section, const QString& key,
               const QString& defaultValue = QString());

// ---- Fields ----------------------------------------------------------------

// The dynamic properties a text box carries: its configuration key and its
// marker ("FECHA" for a date field, a table name for a looked-up code).
inline constexpr char kDataField[] = "DataField";
inline constexpr char kTag[] = "Tag";

bool tieneDataField(const QObject* box, const QString& name);

// Index of the first box whose DataField equals `name`, case ignored; -1
// when none does.
template <typename Boxes>
int BuscaIndice(const QString& name, const Boxes& boxes) {
    int index = 0;
    for (const auto* box : boxes) {
        if (tieneDataField(box, name)) return index;
        ++index;
    }
    return -1;
}

// Qt key codes that leave a field: Return, Enter, Tab and Down go to the
// next field, Up and Backtab to the previous one.
bool EsTeclaAvance(int key);
// Moves the focus from `field` to the next (or, for Up and Backtab, the
// previous) widget of its window that takes the focus. False when the key
// is not an advance key or no other widget can take the focus.
bool AvanzaCampo(QWidget* field, int key);
// The character code a box takes for a typed character; 0 refuses it.
// Enter is swallowed (the key-down handler already advanced); a box tagged
// "FECHA" takes only digits, "/", "-", "." and control codes.
int FiltraTecla(const QWidget* box, int character);

// ---- File dialog -----------------------------------------------------------

// The open-file dialog object: set its members, ShowOpen, read FileName.
class DialogoArchivo {
  public:
    QString DialogTitle;
    // "Descripción|*.ext|Otra|*.a;*.b"
    QString Filter;
    int FilterIndex = 1;
    // When set, a cancelled ShowOpen reports the classic error 32755.
    bool CancelError = false;
    // The file proposed before ShowOpen, the chosen path after it.
    QString FileName;

    StepResult ShowOpen();
    // True when the last ShowOpen chose no file.
    bool DialogoCancelado() const { return cancelled_; }

  private:
    bool cancelled_ = false;
};

}  // namespace kl::Brimcor2

// The maker's second component: it only needs to know where the program lives.
namespace kl {
void EstableceRutaAplicacion(const QString& folder);
QString RutaAplicacion();
}  // namespace kl
