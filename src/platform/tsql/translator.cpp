#include "platform/tsql/translator.h"

#include "platform/tsql/batch_splitter.h"
#include "platform/tsql/lexer.h"
#include "platform/tsql/statement_adapter.h"

namespace kl::tsql {

namespace {

std::variant<std::vector<Nodes>, RunError> statementsOf(QStringView text) {
    auto tree = tokenTree(text);
    if (RunError* e = std::get_if<RunError>(&tree)) return *e;
    return splitBatch(std::move(std::get<Nodes>(tree)));
}

}  // namespace

std::variant<std::vector<Statement>, RunError> adapt(QStringView sqlServerText,
                                                     const Target& target,
                                                     const ProcedureLookup& isProcedure) {
    auto statements = statementsOf(sqlServerText);
    if (RunError* e = std::get_if<RunError>(&statements)) return *e;
    return adaptStatements(std::move(std::get<std::vector<Nodes>>(statements)), target,
                           isProcedure);
}

std::optional<QString> singleTableOf(QStringView sqlServerText) {
    static const QSet<QString> notAlias =
        setOf({"WHERE", "ORDER", "WITH", "GROUP", "HAVING", "UNION", "EXCEPT", "INTERSECT", "INNER",
               "LEFT", "RIGHT", "FULL", "CROSS", "JOIN", "OUTER", "FOR", "OPTION"});
    static const QSet<QString> notSingle = setOf(
        {"GROUP", "HAVING", "UNION", "EXCEPT", "INTERSECT", "INTO", "FOR", "COMPUTE", "OPTION"});
    auto statements = statementsOf(sqlServerText);
    const auto* list = std::get_if<std::vector<Nodes>>(&statements);
    if (!list || list->size() != 1) return std::nullopt;
    const Nodes& s = list->front();
    size_t i = 0;
    if (!is(s[i], "SELECT")) return std::nullopt;
    ++i;
    if (i < s.size() && is(s[i], "ALL")) ++i;
    if (i < s.size() && is(s[i], "TOP")) {
        if (++i >= s.size() || (s[i].kind != Kind::Number && s[i].kind != Kind::Group))
            return std::nullopt;
        if (++i < s.size() && is(s[i], "PERCENT")) ++i;
    }
    size_t from = i;
    for (; from < s.size() && !is(s[from], "FROM"); ++from)
        if (is(s[from], "DISTINCT") || is(s[from], "INTO")) return std::nullopt;
    if (from == i || from == s.size()) return std::nullopt;
    size_t j = from + 1;
    const std::optional<QString> table = readObjectName(s, j);
    if (!table) return std::nullopt;
    if (j < s.size() && is(s[j], "AS")) {
        if (++j >= s.size() || !isNamePart(s[j])) return std::nullopt;
        ++j;
    } else if (j < s.size() && isNamePart(s[j]) && !isAnyOf(s[j], notAlias)) {
        ++j;
    }
    if (j + 1 < s.size() && is(s[j], "WITH") && isHintList(s[j + 1]))
        j += 2;
    else if (j < s.size() && isBareHintList(s[j]))
        ++j;
    if (j < s.size() && !is(s[j], "WHERE") && !is(s[j], "ORDER")) return std::nullopt;
    for (; j < s.size(); ++j)
        if (isAnyOf(s[j], notSingle)) return std::nullopt;
    return table;
}

}  // namespace kl::tsql
