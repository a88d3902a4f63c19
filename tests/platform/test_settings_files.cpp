// Where the program keeps the files it writes beside itself.

#include "platform/settings_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl {
namespace {

class ProgramFiles : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString path(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const QString& file) const {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }

    QTemporaryDir dir_;
};

TEST_F(ProgramFiles, OnlyAFolderThatCanBeWrittenKeepsTheFiles) {
    QDir().mkpath(path("bin"));
    write("file", "");
    EXPECT_TRUE(keptFilesFolders(path("bin")).programWritable);
    EXPECT_FALSE(keptFilesFolders(path("missing")).programWritable);
    EXPECT_FALSE(keptFilesFolders(path("file")).programWritable);
    EXPECT_EQ(keptFilesFolder({path("bin"), path("user"), true}), path("bin"));
    EXPECT_EQ(keptFilesFolder({path("bin"), path("user"), false}), path("user"));
}

TEST_F(ProgramFiles, AWritableProgramFolderIsWhereKeptFilesAreReadAndWritten) {
    write("bin/BASES.TXT", "shared\r\n");
    const KeptFilesFolders folders{path("bin"), path("user"), true};
    EXPECT_EQ(keptFileToRead("bases.txt", folders), path("bin/BASES.TXT"));
    EXPECT_EQ(keptFileToWrite("bases.txt", folders), path("bin/BASES.TXT"));
    EXPECT_EQ(keptFileToRead("CONSULTASLEN.KVW", folders), path("bin/CONSULTASLEN.KVW"));
    EXPECT_EQ(keptFileToWrite("CONSULTASLEN.KVW", folders), path("bin/CONSULTASLEN.KVW"));
    EXPECT_FALSE(QFileInfo::exists(path("user")));
}

TEST_F(ProgramFiles, TheUsersCopyStartsFromTheProgramFoldersSharedDefault) {
    write("bin/BASES.TXT", "shared\r\n");
    const KeptFilesFolders folders{path("bin"), path("user/data"), false};
    EXPECT_EQ(keptFileToRead("BASES.TXT", folders), path("bin/BASES.TXT"));
    const QString own = keptFileToWrite("BASES.TXT", folders);
    EXPECT_EQ(own, path("user/data/BASES.TXT"));
    EXPECT_EQ(read(own), "shared\r\n");
    // From now on the user's copy, with what he adds, is the one read; the
    // shared default is never written.
    write("user/data/BASES.TXT", "shared\r\nmine\r\n");
    EXPECT_EQ(keptFileToRead("bases.txt", folders), own);
    EXPECT_EQ(keptFileToWrite("BASES.TXT", folders), own);
    EXPECT_EQ(read(own), "shared\r\nmine\r\n");
    EXPECT_EQ(read(path("bin/BASES.TXT")), "shared\r\n");
}

TEST_F(ProgramFiles, WithoutASharedDefaultTheUsersFileStartsEmpty) {
    const KeptFilesFolders folders{path("bin"), path("user"), false};
    EXPECT_EQ(keptFileToRead("BASES.TXT", folders), path("user/BASES.TXT"));
    EXPECT_EQ(keptFileToWrite("BASES.TXT", folders), path("user/BASES.TXT"));
    EXPECT_TRUE(QFileInfo(path("user")).isDir());
    EXPECT_FALSE(QFileInfo::exists(path("user/BASES.TXT")));
}

}  // namespace
}  // namespace kl
