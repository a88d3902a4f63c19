#pragma once

// How klbase's orders end: a failure's text and status 1, or a misuse with
// the order's usage line and status 2.

#include <QString>
#include <QTextStream>

namespace kl::klbase {

inline constexpr int kOrderFailed = 1;
inline constexpr int kOrderBadUsage = 2;

inline int orderFailed(QTextStream& err, const QString& text) {
    err << QStringLiteral("klbase: %1\n").arg(text);
    err.flush();
    return kOrderFailed;
}

inline int orderBadUsage(QTextStream& err, const QString& text, const QString& usage) {
    err << QStringLiteral("klbase: %1\nUso: %2\n").arg(text, usage);
    err.flush();
    return kOrderBadUsage;
}

}  // namespace kl::klbase
