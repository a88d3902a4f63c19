#include "platform/ado/odbc/odbc_diagnostics.h"

namespace kl::ado::odbc {

namespace {

const char kDefaultSource[] = "Microsoft OLE DB Provider for ODBC Drivers";

long numberFor(const QString& state, Phase phase) {
    const QString kind = state.left(2);
    const bool timeout = state == u"HYT00" || state == u"HYT01";
    if (kind == u"08" || kind == u"IM" || (timeout && phase == Phase::Opening))
        return err::ProviderFailure;
    if (timeout) return err::Timeout;
    if (state == u"22001" || state == u"22003") return err::DataOverflow;
    if (state == u"22005" || state == u"22007" || state == u"22008" || state == u"22018")
        return err::Conversion;
    if (kind == u"23") return err::Constraint;
    if (state == u"25000") return err::NoTransaction;
    if (state == u"42S02") return err::NoSuchTable;
    if (kind == u"42" || state == u"37000") return err::Syntax;
    return err::ProviderFailure;
}

}  // namespace

std::vector<Diagnostic> readDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle,
                                        TextEncoding encoding) {
    std::vector<Diagnostic> out;
    if (handle == SQL_NULL_HANDLE) return out;
    Diagnostic d;
    for (SQLSMALLINT record = 1; diagnosticRecord(handleType, handle, record, encoding, d.sqlState,
                                                  d.nativeError, d.message);
         ++record)
        out.push_back(d);
    return out;
}

MessageParts splitMessage(const QString& message) {
    MessageParts parts;
    qsizetype at = 0;
    while (at < message.size() && message[at] == u'[') {
        const qsizetype close = message.indexOf(u']', at);
        if (close < 0) break;
        at = close + 1;
    }
    parts.origin = message.left(at);
    parts.text = message.mid(at).trimmed();
    return parts;
}

Error serverError(const Diagnostic& diagnostic, Phase phase) {
    const MessageParts parts = splitMessage(diagnostic.message);
    Error e;
    e.Number = numberFor(diagnostic.sqlState, phase);
    e.SQLState = diagnostic.sqlState;
    e.NativeError = diagnostic.nativeError;
    e.Description = parts.text;
    e.Source = parts.origin.isEmpty() ? QString::fromLatin1(kDefaultSource) : parts.origin;
    if (phase == Phase::Working && diagnostic.sqlState.startsWith(u"08"))
        e.NativeError = err::NativeNetwork;
    return e;
}

}  // namespace kl::ado::odbc
