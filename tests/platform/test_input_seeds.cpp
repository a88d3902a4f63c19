// The fuzzers' seeds of the platform's input readers, each whole and cut
// short at every length, checked for the promises the fuzzers check.

#include "fuzz/input_properties.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kl::properties {
namespace {

std::vector<QByteArray> seedsOf(const char* corpus) {
    const QDir dir(QStringLiteral(KL_SOURCE_DIR "/tests/fuzz/corpus/") + corpus);
    std::vector<QByteArray> seeds;
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly)) seeds.push_back(file.readAll());
    }
    return seeds;
}

void checkPrefixes(const char* corpus, const std::function<QString(const QByteArray&)>& check) {
    const std::vector<QByteArray> seeds = seedsOf(corpus);
    ASSERT_GE(seeds.size(), 4u) << corpus;
    for (const QByteArray& seed : seeds) {
        for (qsizetype length = 0; length <= seed.size(); ++length) {
            const QString broken = check(seed.left(length));
            EXPECT_TRUE(broken.isEmpty()) << seed.left(length).toStdString() << "\n"
                                          << broken.toStdString();
        }
    }
}

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
