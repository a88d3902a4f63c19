#pragma once

// Reading our diagnostic traces (KL_TRAZA_SQL, KL_TRAZA_AVISOS) back in tests.

#include <QString>
#include <QStringList>

namespace kl::test {

// The lines written to a trace file since `read` bytes of it were read
// (empty lines left out); moves `read` to its end.
QStringList newTraceLines(const QString& file, qsizetype& read);

// The whole trace file as text ("" when there is none).
QString traceText(const QString& file);

}  // namespace kl::test
