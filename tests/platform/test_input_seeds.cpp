// The fuzzers' seeds of the platform's input readers, replayed.

#include "fuzz/input_properties.h"
#include "fuzz/seed_replay.h"

#include <QTemporaryDir>

namespace kl::properties {
namespace {

TEST(InputSeeds, ConnectionStringValuesReadBackExactly) {
    checkPrefixes("connection_string", [](const QByteArray& bytes) {
        return connectionStringViolation(QString::fromUtf8(bytes));
    });
}

TEST(InputSeeds, Windows1252BytesAndTextsComeBackUnchanged) {
    checkPrefixes("windows1252", windows1252Violation);
}

TEST(InputSeeds, IniFilesAnswerOnlyWhatTheyHold) {
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("semilla.ini"));
    checkPrefixes("ini", [&](const QByteArray& bytes) { return iniViolation(path, bytes); });
}

TEST(InputSeeds, TypedDatesAndNumbersReadBackAsShown) {
    checkPrefixes("conversions", [](const QByteArray& bytes) {
        return conversionsViolation(QString::fromUtf8(bytes));
    });
}

}  // namespace
}  // namespace kl::properties
