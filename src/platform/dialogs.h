#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

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

inline constexpr int ButtonsMask = 0x0F;
inline constexpr int IconMask = 0x70;
inline constexpr int DefaultButtonMask = 0x300;
}  // namespace mb

// The answers a style's buttons give, in the order the buttons stand
// (1 Ok, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No). An unknown
// button set shows OK alone.
QList<int> answersOf(int style);
// The answer of the style's default button: the 2nd or 3rd when the style
// asks for it and the box has that many, otherwise the 1st.
int defaultAnswer(int style);
// The answer Escape gives: Cancel when the box has it, else No, else OK
// for a box with OK alone; nullopt when Escape must not close the box
// (Abort/Retry/Ignore).
std::optional<int> escapeAnswer(int style);

struct FileDialogRequest {
    QString title;
    // "Descripción|*.ext|Otra|*.a;*.b"
    QString filter;
    int filterIndex = 1;
    QString initialDir;
    QString initialFile;
};

// The operator-facing dialogs. The program installs the widget version at
// start-up; tests install a scripted double. Until one is installed a
// console service answers: it writes each box to stderr and takes the
// default button, so command-line tools never wait for a person.
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

// The service in force.
DialogService& dialogs();
// Installs a service (nullptr restores the console one); returns the
// previous one (nullptr when the console one was in force).
std::shared_ptr<DialogService> installDialogs(std::shared_ptr<DialogService> service);

// Shows a message box through the service in force. An empty title shows the
// program's default title; CR, LF and CRLF in the text are line breaks.
// When KL_TRAZA_AVISOS names a file, the box is appended to it as one
// UTF-8 line (trace_file.h): title, style, text (line breaks written
// \n, tabs \t) and answer, separated by tabs.
int MsgBox(const QString& text, int style = mb::OkOnly, const QString& title = QString());
// InputBox returns "" when the operator cancels, as the module expects.
QString InputBox(const QString& prompt, const QString& title = QString(),
                 const QString& defaultText = QString());

// The title an empty title stands for: the executable's name.
QString defaultTitle();
// Every CR, LF and CRLF becomes one "\n".
QString normalizeLineBreaks(const QString& text);

// Lets pending window events run once.
void DoEvents();

}  // namespace kl
