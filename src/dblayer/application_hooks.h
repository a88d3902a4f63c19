#pragma once

// What the access layer needs from the program above it: the logged-in user
// of the session, the login window, the lookup windows of QConsulta and
// QGridConsulta, and the way the program ends. The layer
// sits below the session and the windows, so the program installs these at
// start-up; tests install their own to observe them.

#include <QString>

#include <functional>
#include <memory>

namespace kl::db {

// Session values the layer reads. Unset readers give an empty value.
struct SessionLink {
    std::function<QString()> usuarioLogeado;
    // The user's setting that puts journal entries under the restricted views.
    std::function<bool()> confidencialidad = {};
};
// Returns the previous link.
SessionLink installSessionLink(SessionLink link);
QString usuarioLogeado();
bool confidencialidad();

// The boxes of the login window that the layer fills and reads back.
struct LoginBoxes {
    QString TxtDbName;
    QString TxtServidor;
    QString TxtUserId;
    QString TxtUserPassword;
    // Selected index of the platform list: 0 "SQL Server", 1 "ORACLE".
    int CboPlataformaDB = 0;
};

struct LoginAnswer {
    bool Aceptar = false;
    LoginBoxes boxes;
};

// Shows the login window modally, filled with `initial`.
class LoginPrompt {
  public:
    virtual ~LoginPrompt() = default;
    virtual LoginAnswer show(const LoginBoxes& initial) = 0;
};

LoginPrompt& loginPrompt();
// nullptr restores the built-in prompt, which reports the window cancelled
// (there is no window to show at this level). Returns the previous one.
std::shared_ptr<LoginPrompt> installLoginPrompt(std::shared_ptr<LoginPrompt> prompt);

// The lookups the layer's QConsulta and QGridConsulta show; the lookup
// framework installs them. Each returns true when the operator chose a row.
class LookupWindows {
  public:
    virtual ~LookupWindows() = default;
    // The rows of table Tb with the columns Cl1, CmpDisplay and Cl2 (when
    // given), under the condition SQLWHERE (may be empty). The chosen row's
    // Cl1 comes back in Cl1.
    virtual bool consulta(const QString& Tb, QString& Cl1, const QString& Cl2,
                          const QString& CmpDisplay, const QString& SQLWHERE) = 0;
    // The rows of the statement. The chosen row's values of the columns
    // named by the three arguments come back in them (the last two may be
    // nullptr).
    virtual bool grilla(const QString& Sentencia, QString& CampoDevuelto1, QString* CampoDevuelto2,
                        QString* CampoDevuelto3) = 0;
};

LookupWindows& lookupWindows();
// nullptr restores the built-in lookups, which show nothing and choose
// nothing. Returns the previous ones.
std::shared_ptr<LookupWindows> installLookupWindows(std::shared_ptr<LookupWindows> windows);

// Ends the program at once when the operator gives up a lost connection.
// The default leaves with exit status 1. A hook that returns hands control
// back to the layer, which then abandons the operation it was running.
using ProgramEnd = std::function<void()>;
void endProgram();
// nullptr restores the default. Returns the previous hook.
ProgramEnd installProgramEnd(ProgramEnd hook);

}  // namespace kl::db
