#pragma once

// The fuzzers' seeds replayed by the tests: each seed whole and cut short
// at every length, checked for the promise its fuzzer checks.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kl::properties {

inline std::vector<QByteArray> seedsOf(const char* corpus) {
    const QDir dir(QStringLiteral(KL_SOURCE_DIR "/tests/fuzz/corpus/") + corpus);
    std::vector<QByteArray> seeds;
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly)) seeds.push_back(file.readAll());
    }
    return seeds;
}

inline void checkPrefixes(const char* corpus,
                          const std::function<QString(const QByteArray&)>& check) {
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

}  // namespace kl::properties
