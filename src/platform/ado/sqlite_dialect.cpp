#include "platform/ado/sqlite_dialect.h"

// Placeholder until the tokenizer lands: passes the text through.
namespace kl::ado::sqlite {

std::variant<std::vector<Statement>, RunError> adapt(QStringView sqlServerText,
                                                     const ProcedureLookup&) {
    return std::vector<Statement>{Statement{sqlServerText.toString(), {}, {}}};
}

std::optional<QString> singleTableOf(QStringView) { return std::nullopt; }

}  // namespace kl::ado::sqlite
