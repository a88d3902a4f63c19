#pragma once

#include "platform/dialogs.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kl {

enum class BoxKind { Message, Input, File, Date };

// One box as it was shown.
struct ShownBox {
    BoxKind kind = BoxKind::Message;
    // The message or the prompt; the filter of a file dialog; the initial
    // date (dd/mm/yyyy) of a date picker.
    QString text;
    // The style code of a message box; 0 for the other kinds.
    int style = 0;
    QString title;
    // The default text of an input box; the initial folder of a file dialog.
    QString detail;
};

// One queued answer, for the next box of its kind.
struct ScriptedAnswer {
    BoxKind kind = BoxKind::Message;
    // Message: the answer code.
    int button = 0;
    // Input: the typed text; File: the chosen path. nullopt (or an empty
    // path) cancels the box.
    std::optional<QString> text;
    // Date: the chosen date; nullopt cancels.
    std::optional<QDate> date;
};

QString describe(const ShownBox& box);
QString describe(const ScriptedAnswer& answer);

// Answers every box from a queue, in order, and records every box shown.
// A box for which the queue holds no fitting answer (the queue is empty, its
// next answer is for another kind of box, or names a button the box does
// not have) leaves the queue as it is, goes to the "unexpected" handler and
// gets its default: the default button, the input box's default text, no
// file, the initial date.
class ScriptedDialogs : public DialogService {
  public:
    using UnexpectedHandler = std::function<void(const ShownBox& box, const QString& reason)>;

    // The default handler writes the box and the reason to stderr.
    ScriptedDialogs();

    void queue(const ScriptedAnswer& answer);
    void queue(const std::vector<ScriptedAnswer>& answers);
    void queueButton(int answer);
    void queueText(const QString& text);
    void queueInputCancelled();
    // An empty path cancels the dialog.
    void queueFile(const QString& path);
    // nullopt cancels the picker.
    void queueDate(const std::optional<QDate>& date);

    const std::deque<ScriptedAnswer>& pending() const { return pending_; }
    const std::vector<ShownBox>& shown() const { return shown_; }
    void setUnexpectedHandler(UnexpectedHandler handler);

    int messageBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString openFile(const FileDialogRequest& request) override;
    std::optional<QDate> pickDate(const QDate& initial) override;

  private:
    // The queued answer for the box just recorded, or nullopt after telling
    // the handler why there is none.
    std::optional<ScriptedAnswer> take(BoxKind kind, int style = 0);

    std::deque<ScriptedAnswer> pending_;
    std::vector<ShownBox> shown_;
    UnexpectedHandler unexpected_;
};

// A script of answers, one a line (UTF-8):
//   7                  a message-box answer, 1 (Aceptar) to 7 (No)
//   texto:ADMIN        the text typed into the next input box ("texto:" is
//                      an empty text)
//   archivo:/ruta/x    the file chosen in the next file dialog ("archivo:"
//                      cancels it)
//   fecha:31/12/2026   the date chosen in the next date picker ("fecha:"
//                      cancels it)
// Blank lines and lines starting with "#" are skipped. Each bad line gives
// one problem, "línea N: ..."; the good lines are still parsed.
struct DialogScript {
    std::vector<ScriptedAnswer> answers;
    QStringList problems;
};
DialogScript parseDialogScript(const QString& text);

// Reads a script file; an unreadable file is a problem.
DialogScript loadDialogScript(const QString& path);

// For automated end-to-end tests: when the environment variable
// KL_GUION_AVISOS names a script file, the program's boxes are answered from
// it instead of by a person. Installs a ScriptedDialogs with the script and
// returns it; nullptr when the variable is not set. A script with problems
// is rejected as a whole (half a script answers the wrong boxes): the
// problems go to stderr and every box takes its default.
std::shared_ptr<ScriptedDialogs> installScriptFromEnvironment();

}  // namespace kl
