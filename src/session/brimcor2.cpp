#include "session/brimcor2.h"

#include "dblayer/db_dll.h"
#include "platform/conversions.h"
#include "platform/error_numbers.h"
#include "platform/ini.h"
#include "platform/ui/shell.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QSysInfo>
#include <QWidget>

#include <pwd.h>
#include <unistd.h>

namespace kl::Brimcor2 {

namespace {

bool isDateTag(const QWidget* box) {
    return box &&
           box->property(kTag).toString().trimmed().compare(u"FECHA", Qt::CaseInsensitive) == 0;
}

bool takesFocus(const QWidget* widget, const QWidget* window) {
    return widget->window() == window && widget->isVisible() && widget->isEnabled() &&
           (widget->focusPolicy() & Qt::TabFocus);
}

bool goesBack(int key) {
    return key == Qt::Key_Up || key == Qt::Key_Backtab;
}

}  // namespace

QString FechaSQL(const Value& date) {
    const QDateTime dateTime = date.toDateTime();
    if (!dateTime.isValid() || date.isNumeric()) return QString();
    // The form follows the connection open at the time of the call: the
    // login window may have reconnected to another kind of database.
    return db::sharedDb().gCnn->dateLiteral(dateTime);
}

int AvisoError(const RunError& error, int estilo, const QString& rutina) {
    QString text = QStringLiteral("Error %1: %2").arg(error.number).arg(error.description);
    if (!error.source.isEmpty()) text += QStringLiteral("\nOrigen: ") + error.source;
    const QString title = rutina.isEmpty() ? QString() : QStringLiteral("Error en ") + rutina;
    return MsgBox(text, estilo, title);
}

FailureNotice avisoErrorPara(const QString& rutina) {
    return [rutina](const RunError& error) { return AvisoError(error, kEstiloAvisoError, rutina); };
}

void PreparaFormulario(QWidget* window, bool centrar) {
    if (!window) return;
    window->setFont(QApplication::font());
    if (centrar) {
        if (const QScreen* screen = window->screen()) {
            QRect frame = window->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            window->move(frame.topLeft());
        }
    }
    AjustaVentana(window);
}

QString SeleccionaFecha(const QString& text) {
    const QDate initial = conv::parseDate(text).value_or(QDate::currentDate());
    const std::optional<QDate> chosen = dialogs().pickDate(initial);
    return chosen && chosen->isValid() ? conv::formatDate(*chosen) : text;
}

bool ConsultaFecha(QLineEdit& field, const QEvent& event) {
    const bool pide = event.type() == QEvent::ContextMenu ||
                      (event.type() == QEvent::KeyPress &&
                       static_cast<const QKeyEvent&>(event).key() == Qt::Key_F5);
    if (!pide || !field.isEnabled() || field.isReadOnly()) return false;
    field.setText(SeleccionaFecha(field.text()));
    return true;
}

void ModoEspera(bool enEspera) {
    static bool waiting = false;
    if (!qGuiApp || enEspera == waiting) return;
    if (enEspera) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
    waiting = enEspera;
}

QString NombreMaquina() {
    return QSysInfo::machineHostName();
}

QString UsuarioWindows() {
    for (const char* variable : {"USERNAME", "USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(variable).trimmed();
        if (!name.isEmpty()) return name;
    }
    // Services and some terminals start programs without those variables;
    // the account database still knows who runs the program.
    if (const passwd* account = getpwuid(geteuid()); account && account->pw_name)
        return QString::fromLocal8Bit(account->pw_name);
    return QString();
}

QString CarpetaSistema() {
    return QDir::toNativeSeparators(QDir::tempPath());
}

void AjustaVentana(QWidget* window) {
    if (!window) return;
    const QScreen* screen = window->screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    const int extraWidth = frame.width() - available.width();
    const int extraHeight = frame.height() - available.height();
    if (extraWidth > 0 || extraHeight > 0) {
        window->resize(window->width() - qMax(0, extraWidth),
                       window->height() - qMax(0, extraHeight));
        frame = window->frameGeometry();
    }
    QPoint topLeft = frame.topLeft();
    topLeft.setX(qBound(available.left(), topLeft.x(), available.right() - frame.width() + 1));
    topLeft.setY(qBound(available.top(), topLeft.y(), available.bottom() - frame.height() + 1));
    window->move(topLeft);
}

bool EjecutaDocumento(const QString& target, int /*estiloVentana*/) {
    return openWithShell(target);
}

QString LeeIni(const QString& file, const QString& section, const QString& key,
               const QString& defaultValue) {
    return kl::LeeIni(file, section, key, defaultValue);
}

bool tieneDataField(const QObject* box, const QString& name) {
    return box && box->property(kDataField).toString().compare(name, Qt::CaseInsensitive) == 0;
}

bool EsTeclaAvance(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
        case Qt::Key_Down:
        case Qt::Key_Up:
        case Qt::Key_Backtab:
            return true;
        default:
            return false;
    }
}

bool AvanzaCampo(QWidget* field, int key) {
    if (!field || !EsTeclaAvance(key)) return false;
    const QWidget* window = field->window();
    const bool back = goesBack(key);
    QWidget* candidate = back ? field->previousInFocusChain() : field->nextInFocusChain();
    while (candidate && candidate != field) {
        if (takesFocus(candidate, window)) {
            candidate->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            return true;
        }
        candidate = back ? candidate->previousInFocusChain() : candidate->nextInFocusChain();
    }
    return false;
}

int FiltraTecla(const QWidget* box, int character) {
    if (character == '\r') return 0;
    if (isDateTag(box) && character >= ' ') {
        const bool allowed = (character >= '0' && character <= '9') || character == '/' ||
                             character == '-' || character == '.';
        if (!allowed) return 0;
    }
    return character;
}

StepResult DialogoArchivo::ShowOpen() {
    const PartesRuta proposed = DivideRuta(FileName);
    const QString chosen =
        dialogs().openFile({DialogTitle, Filter, FilterIndex, proposed.carpeta, proposed.archivo});
    cancelled_ = chosen.isEmpty();
    FileName = chosen;
    if (cancelled_ && CancelError) {
        return RunError{ado::err::DialogCancelled, QStringLiteral("Se seleccionó Cancelar."),
                        QStringLiteral("DialogoArchivo")};
    }
    return std::nullopt;
}

}  // namespace kl::Brimcor2

namespace kl {

namespace {
QString& applicationFolder() {
    static QString folder;
    return folder;
}
}  // namespace

void EstableceRutaAplicacion(const QString& folder) {
    applicationFolder() = folder;
}

QString RutaAplicacion() {
    return applicationFolder();
}

}  // namespace kl
