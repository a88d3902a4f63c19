#include "platform/sqlite_engine/engine_rules.h"

#include "platform/sqlite_engine/errors.h"
#include "platform/sqlite_engine/stored_forms.h"

#include <QFileInfo>

namespace kl::ado::sqlite {

QString procedureNamesQuery() {
    return QStringLiteral("SELECT NOMBRE FROM %1").arg(QLatin1String(kProcedureTable));
}

int lockWaitMs(int commandTimeoutSeconds) {
    constexpr int kDay = 24 * 3600 * 1000;
    if (commandTimeoutSeconds <= 0 || commandTimeoutSeconds >= kDay / 1000) return kDay;
    return commandTimeoutSeconds * 1000;
}

std::optional<Error> otherDatabaseRefused(const QString& wanted, const QString& file,
                                          const QString& openedAs) {
    const QString name = wanted.trimmed();
    const QFileInfo info(file);
    for (const QString& known :
         {openedAs, file, info.fileName(), info.completeBaseName(), info.absoluteFilePath()}) {
        if (!known.isEmpty() && known.compare(name, Qt::CaseInsensitive) == 0) return std::nullopt;
    }
    return makeError(err::ProviderFailure, QStringLiteral("42000"), 4060,
                     QStringLiteral("No se puede abrir la base de datos \"%1\" solicitada por el "
                                    "inicio de sesión.")
                         .arg(wanted));
}

bool EngineCatalogue::isProcedure(const QString& name, const NamesReader& read) {
    if (!procedures_) {
        procedures_.emplace();
        for (const QString& n : read()) procedures_->insert(n.toUpper());
    }
    return procedures_->contains(name.toUpper());
}

std::optional<QString> EngineCatalogue::declaredType(const QString& table, const QString& column,
                                                     const TypesReader& read) {
    const QString key = table.toUpper();
    auto known = declared_.find(key);
    if (known == declared_.end()) {
        std::map<QString, QString> types;
        for (const auto& [name, type] : read(table)) types[name.toUpper()] = type;
        known = declared_.emplace(key, std::move(types)).first;
    }
    const auto type = known->second.find(column.toUpper());
    if (type == known->second.end()) return std::nullopt;
    return type->second;
}

void EngineCatalogue::forget() {
    procedures_.reset();
    declared_.clear();
}

}  // namespace kl::ado::sqlite
