#include "dblayer/db_dll.h"
#include "dblayer/application_hooks.h"

#include <algorithm>

namespace kl::db {

namespace {

std::unique_ptr<DB_Dll>& sharedInstance() {
    static std::unique_ptr<DB_Dll> instance;
    return instance;
}

}  // namespace

DB_Dll::DB_Dll() : gCnn(std::make_shared<ado::Connection>()) {}

DB_Dll::~DB_Dll() = default;

QString DB_Dll::pJETOLEDB40() const {
    return QStringLiteral("Microsoft.Jet.OLEDB.4.0");
}

QString DB_Dll::pJETOLEDB35() const {
    return QStringLiteral("Microsoft.Jet.OLEDB.3.51");
}

QString DB_Dll::pSQLOLEDB() const {
    return QStringLiteral("SQLOLEDB");
}

QString DB_Dll::StripConnect(const QString& rsTblName) const {
    const qsizetype arrow = rsTblName.indexOf(QStringLiteral("->"), 0, Qt::CaseInsensitive);
    if (arrow < 0) return rsTblName;
    // The name is followed by one blank before the arrow; an arrow at the
    // very start leaves no name at all.
    return rsTblName.left(std::max<qsizetype>(0, arrow - 1));
}

void DB_Dll::QConsulta(const QString& Tb, double& Rsp, QString& Cl1, QString& Cl2,
                       QString& CmpDisplay, const QString& SQLWHERE) {
    if (lookupWindows().consulta(Tb, Cl1, Cl2, CmpDisplay, SQLWHERE)) Rsp = 1;
}

bool DB_Dll::QGridConsulta(const QString& Sentencia, QString& CampoDevuelto1, const QString&,
                           QString* CampoDevuelto2, QString* CampoDevuelto3) {
    return lookupWindows().grilla(Sentencia, CampoDevuelto1, CampoDevuelto2, CampoDevuelto3);
}

DB_Dll& sharedDb() {
    auto& instance = sharedInstance();
    if (!instance) instance = std::make_unique<DB_Dll>();
    return *instance;
}

void releaseSharedDb() {
    sharedInstance().reset();
}

}  // namespace kl::db
