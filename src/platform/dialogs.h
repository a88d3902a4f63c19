#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

namespace kl {

// Classic message-box style codes: buttons + icon + default button.
namespace mb {
inline constexpr int OkOnly = 0;
inline constexpr int OkCancel = 1;
inline constexpr int AbortRetryIgnore = 2;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int RetryCancel = 5;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int DefaultButton2 = 256;
inline constexpr int DefaultButton3 = 512;
}  // namespace mb

struct FileDialogRequest {
    QString title;
    // "Descripción|*.ext|Otra|*.a;*.b"
    QString filter;
    int filterIndex = 1;
    QString initialDir;
    QString initialFile;
};

// The operator-facing dialogs. The program installs the widget version;
// tests install a scripted double.
class DialogService {
public:
    virtual ~DialogService() = default;
    // Returns the answer code (1 Ok ... 7 No).
    virtual int messageBox(const QString& text, int style, const QString& title) = 0;
    // nullopt when the operator cancelled.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // Empty when cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QDate> pickDate(const QDate& initial) = 0;
};

// The service in force (the widget one unless another was installed).
DialogService& dialogs();
// Installs a service (nullptr restores the default); returns the previous one.
std::shared_ptr<DialogService> installDialogs(std::shared_ptr<DialogService> service);

// Shows a message box through the service in force. An empty title shows the
// program's default title. Appends the box to KL_TRAZA_AVISOS when set.
int MsgBox(const QString& text, int style = mb::OkOnly, const QString& title = QString());
// InputBox returns "" when the operator cancels, as the module expects.
QString InputBox(const QString& prompt, const QString& title = QString(),
                 const QString& defaultText = QString());

// The title an empty title stands for: the executable's name.
QString defaultTitle();

// Modal windows are shown through one hook, so tests can drive them.
using ModalHook = std::function<int(QDialog&)>;
int showModal(QDialog& dialog);
ModalHook installModalHook(ModalHook hook);

// Lets pending window events run once.
void DoEvents();

// Screen size in twips (15 twips a pixel at 96 dpi).
int screenWidthTwips();
int screenHeightTwips();

}  // namespace kl
