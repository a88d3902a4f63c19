#include "session/brimcor2.h"

#include "dblayer/db_dll.h"
#include "platform/ado/error_numbers.h"
#include "platform/conversions.h"
#include "platform/ini.h"
#include "platform/textfile.h"
#include "platform/ui/shell.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QList>
#include <QScreen>
#include <QStringView>
#include <QSysInfo>
#include <QWidget>

#include <array>

#include <pwd.h>
#include <unistd.h>

namespace kl::Brimcor2 {

namespace {

bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

// Scrambling: each byte is shifted by a key byte and by the previous
// scrambled byte, so repeated characters do not show as repeated output;
// base64url then keeps the result to letters, digits, "-" and "_".
constexpr std::array<unsigned char, 16> kScrambleKey = {
    0x4B, 0x9E, 0x23, 0xD1, 0x6C, 0x05, 0xB7, 0x38, 0xE2, 0x71, 0x1A, 0xC9, 0x54, 0x8F, 0x36, 0xAD};
constexpr unsigned char kScrambleSeed = 0x5A;
constexpr auto kScrambleAlphabet = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

// The text's characters, whole: a surrogate pair (an emoji, a rare CJK
// ideograph) is one character; a lone surrogate stands for itself.
QList<QStringView> wholeCharacters(QStringView text) {
    QList<QStringView> characters;
    characters.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        characters.append(text.mid(i, length));
        i += length;
    }
    return characters;
}

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

QString AgregaBarra(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(u'/') || folder.endsWith(QDir::separator())) {
        return folder;
    }
    return folder + QDir::separator();
}

QString ValorNoNulo(const Value& value) {
    return value.toString();
}

QString QuitaCaracteres(const QString& text, const QString& characters) {
    const QList<QStringView> unwanted = wholeCharacters(characters);
    QString result;
    result.reserve(text.size());
    for (const QStringView c : wholeCharacters(text)) {
        if (!unwanted.contains(c)) result += c;
    }
    return result;
}

QString ReemplazaCaracter(const QString& text, QChar oldChar, QChar newChar) {
    QString result = text;
    return result.replace(oldChar, newChar);
}

QString Reemplaza(const QString& text, const QString& oldText, const QString& newText,
                  Qt::CaseSensitivity cs) {
    if (oldText.isEmpty()) return text;
    QString result = text;
    return result.replace(oldText, newText, cs);
}

QString AlineaDerecha(const QString& text, int width) {
    return text.trimmed().rightJustified(width, u' ');
}

bool EsNumerico(const QString& text) {
    return conv::isNumber(text);
}

Value ValorMoneda(const QString& text) {
    return Value::currency(conv::leadingNumber(text));
}

std::int64_t ValorLong(const QString& text) {
    return conv::roundHalfEvenToInt(conv::leadingNumber(text));
}

int CuentaPalabras(const QString& text) {
    int words = 0;
    bool inWord = false;
    for (const QChar c : text) {
        const bool blank = c.isSpace();
        if (!blank && !inWord) ++words;
        inWord = !blank;
    }
    return words;
}

QString FechaSQL(const Value& date) {
    const QDateTime dateTime = date.toDateTime();
    if (!dateTime.isValid() || date.isNumeric()) return QString();
    // The form follows the connection open at the time of the call: the
    // login window may have reconnected to another kind of database.
    return db::sharedDb().gCnn->dateLiteral(dateTime);
}

PartesRuta DivideRuta(const QString& path) {
    qsizetype cut = path.size();
    while (cut > 0 && !isSeparator(path[cut - 1])) --cut;
    return {path.left(cut), path.mid(cut)};
}

QString CodificaTexto(const QString& text) {
    const QByteArray plain = cp1252::encode(text);
    QByteArray scrambled(plain.size(), Qt::Uninitialized);
    unsigned char previous = kScrambleSeed;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        previous = static_cast<unsigned char>(static_cast<unsigned char>(plain[i]) +
                                              kScrambleKey[i % kScrambleKey.size()] + previous);
        scrambled[i] = static_cast<char>(previous);
    }
    return QString::fromLatin1(scrambled.toBase64(kScrambleAlphabet));
}

QString DecodificaTexto(const QString& encoded) {
    // The encoded form holds no blanks; those around it come from a
    // hand-edited file and are not part of it.
    const QByteArray ascii = encoded.trimmed().toLatin1();
    const auto decoded = QByteArray::fromBase64Encoding(
        ascii, kScrambleAlphabet | QByteArray::AbortOnBase64DecodingErrors);
    // Only the exact text CodificaTexto writes for some input is accepted;
    // anything else (a hand-edited field, a stray character) reads as "".
    if (!decoded || decoded.decoded.toBase64(kScrambleAlphabet) != ascii) return QString();
    const QByteArray& scrambled = decoded.decoded;
    QByteArray plain(scrambled.size(), Qt::Uninitialized);
    unsigned char previous = kScrambleSeed;
    for (qsizetype i = 0; i < scrambled.size(); ++i) {
        const auto current = static_cast<unsigned char>(scrambled[i]);
        plain[i] = static_cast<char>(current - kScrambleKey[i % kScrambleKey.size()] - previous);
        previous = current;
    }
    return cp1252::decode(plain);
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

QString TextoPorDefecto() {
    return QStringLiteral("Procesando...");
}

QString TextoLetra(const QString& letra, int cantidad) {
    const QString letter = letra.trimmed().toUpper();
    if (letter.isEmpty() || cantidad <= 0) return QString();
    return u' ' + letter.leftJustified(cantidad, u' ', true);
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
