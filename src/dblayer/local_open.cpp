#include "dblayer/local_open.h"

#include "platform/dialogs.h"

namespace kl::db {

namespace {

// Jet's states for a file that is missing, cannot be opened or lies on an
// invalid path, and the embedded engine's for a file it cannot open.
bool fileNotOpened(const QString& sqlState) {
    return sqlState == u"3024" || sqlState == u"3051" || sqlState == u"3044" ||
           sqlState == u"08001";
}

bool asksForPassword(const QString& sqlState) {
    return sqlState == u"3031";
}

}  // namespace

LocalOpenRecovery::LocalOpenRecovery(bool useStoredPassword, const QString& storedPassword)
    : storedPasswordLeft_(useStoredPassword), storedPassword_(storedPassword) {}

LocalOpenRecovery::Next LocalOpenRecovery::afterFailure(const QString& sqlState) {
    if (fileNotOpened(sqlState)) return Next::ChooseFile;
    if (!asksForPassword(sqlState)) return Next::GiveUp;
    if (storedPasswordLeft_) {
        storedPasswordLeft_ = false;
        clause_ = QStringLiteral("Jet OLEDB:Database Password=") + storedPassword_ + u';';
        return Next::OpenAgain;
    }
    const QString typed =
        InputBox(QStringLiteral("ingrese el password:"), QStringLiteral("Password Access"));
    if (typed.isEmpty()) return Next::GiveUp;
    clause_ = QStringLiteral(" Jet OLEDB:Database Password=") + typed + u';';
    return Next::OpenAgain;
}

}  // namespace kl::db
