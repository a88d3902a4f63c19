#pragma once

// The orders that run the program's own code on a database (consulta,
// subdiario) open it as the program would: the shared access layer
// connected for a user, with nobody there to answer its boxes.

#include "dblayer/application_hooks.h"
#include "platform/dialogs.h"

#include <QString>

#include <memory>

namespace kl::klbase {

// Each box gets the answer that gives up (Abort, No, Cancel); its text
// tells what went wrong.
class GivingUpDialogs final : public DialogService {
  public:
    int messageBox(const QString& text, int style, const QString&) override;
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFile(const FileDialogRequest&) override { return QString(); }
    std::optional<QDate> pickDate(const QDate&) override { return std::nullopt; }

    QString lastText() const { return last_; }

  private:
    QString last_;
};

// The shared layer connected to the file for the user, as at the program's
// start-up; everything is put back as it was when the order ends.
class ProgramSession {
  public:
    explicit ProgramSession(const QString& user);
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // A database file, or a connection string (database_target.h).
    bool open(const QString& target);
    // The text of the last box the program showed.
    QString lastBox() const { return dialogs_->lastText(); }

  private:
    std::shared_ptr<GivingUpDialogs> dialogs_;
    std::shared_ptr<DialogService> previousDialogs_;
    db::SessionLink previousLink_;
    bool confidencialidad_ = false;
};

}  // namespace kl::klbase
