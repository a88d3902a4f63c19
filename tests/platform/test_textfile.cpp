#include "platform/textfile.h"
#include "platform/trace_file.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl::cp1252 {
namespace {

QByteArray everyByte() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) bytes += char(b);
    return bytes;
}

TEST(Cp1252, SpanishTextRoundTrips) {
    const QString text = QString::fromUtf8("ñÑáéíóú€¿¡");
    const QByteArray bytes = encode(text);
    EXPECT_EQ(bytes, QByteArray("\xF1\xD1\xE1\xE9\xED\xF3\xFA\x80\xBF\xA1"));
    EXPECT_EQ(decode(bytes), text);
    EXPECT_TRUE(canEncode(text));
}

TEST(Cp1252, HighBlockDecodesToItsCharacters) {
    EXPECT_EQ(decode("\x80\x85\x91\x92\x93\x94\x96\x97\x99\x9F"), QString::fromUtf8("€…‘’“”–—™Ÿ"));
}

TEST(Cp1252, EveryByteSurvivesAReadAndAWrite) {
    const QString text = decode(everyByte());
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(encode(text), everyByte());
    EXPECT_TRUE(canEncode(text));
    // The bytes Windows leaves undefined keep their own number.
    for (const char16_t undefinedByte : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(text[undefinedByte], QChar(undefinedByte));
    }
}

TEST(Cp1252, CharactersItCannotHoldBecomeOneQuestionMark) {
    const QString text =
        QString::fromUtf8("a\u4E2Db\u0080c") + QString::fromUcs4(U"\U0001F600") + u'd';
    EXPECT_EQ(encode(text), QByteArray("a?b?c?d"));
    EXPECT_FALSE(canEncode(text));
    EXPECT_FALSE(canEncode(QString::fromUtf8("Ł")));
    EXPECT_TRUE(canEncode(QString()));
}

class Cp1252File : public ::testing::Test {
  protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QByteArray bytesOf(const QString& file) const {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
};

TEST_F(Cp1252File, WriteThenReadGivesTheSameText) {
    const QString text = QString::fromUtf8("Razón social: Compañía €\r\nsegunda línea\n");
    ASSERT_TRUE(writeFile(path("a.txt"), text));
    EXPECT_EQ(bytesOf(path("a.txt")), encode(text));
    EXPECT_EQ(readFile(path("a.txt")), text);
}

TEST_F(Cp1252File, WriteReplacesTheWholeContent) {
    ASSERT_TRUE(writeFile(path("a.txt"), QStringLiteral("a long first content")));
    ASSERT_TRUE(writeFile(path("a.txt"), QStringLiteral("short")));
    EXPECT_EQ(readFile(path("a.txt")), u"short");
}

TEST_F(Cp1252File, AppendAddsAtTheEndAndCreatesTheFile) {
    ASSERT_TRUE(appendToFile(path("log.txt"), QString::fromUtf8("uno ñ\r\n")));
    ASSERT_TRUE(appendToFile(path("log.txt"), QString::fromUtf8("dos €\r\n")));
    EXPECT_EQ(bytesOf(path("log.txt")), QByteArray("uno \xF1\r\ndos \x80\r\n"));
}

TEST_F(Cp1252File, AnOwnersFileIsCreatedForItsOwnerAloneAndAnExistingOneKeepsItsPermissions) {
    ASSERT_TRUE(appendToFile(path("clave.txt"), QStringLiteral("x"), FileAccess::OwnerOnly));
    EXPECT_EQ(QFile::permissions(path("clave.txt")),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                  QFileDevice::WriteUser);
    ASSERT_TRUE(appendToFile(path("comun.txt"), QStringLiteral("x")));
    const QFileDevice::Permissions comun = QFile::permissions(path("comun.txt"));
    ASSERT_TRUE(appendToFile(path("comun.txt"), QStringLiteral("y"), FileAccess::OwnerOnly));
    EXPECT_EQ(QFile::permissions(path("comun.txt")), comun);
}

QStringList& loggedNotes() {
    static QStringList notes;
    return notes;
}

void keepNote(QtMsgType, const QMessageLogContext& context, const QString& text) {
    if (QLatin1String(context.category) == QLatin1String("kl.archivos")) loggedNotes() << text;
}

// A reader with a limit gets the lines that end within it; a longer file
// is noted once, however often it is read.
TEST_F(Cp1252File, ALimitedReadKeepsTheWholeLinesWithinTheLimitAndNotesTheRest) {
    struct Case {
        const char* content;
        const char* read;
    };
    const Case cases[] = {
        {"uno\r\ndo", "uno\r\ndo"},          // just under the limit of 8
        {"uno\r\ndos", "uno\r\ndos"},        // at it
        {"uno\r\ndosX", "uno\r\n"},          // just over: "dos" may be cut short
        {"uno\r\nab\r\n", "uno\r\n"},        // the limit between CR and LF
        {"uno\ndos\ntres\n", "uno\ndos\n"},  // LF line ends
        {"unodostres", ""},                  // no line ends within the limit
    };
    const QtMessageHandler previous = qInstallMessageHandler(keepNote);
    int over = 0;
    for (const Case& c : cases) {
        const QString file =
            dir.filePath(QString::number(over) + QString::number(qstrlen(c.content)));
        ASSERT_TRUE(writeFile(file, QString::fromLatin1(c.content)));
        const qsizetype notes = loggedNotes().size();
        EXPECT_EQ(readFile(file, 8), QString::fromLatin1(c.read)) << c.content;
        EXPECT_EQ(readFile(file, 8), QString::fromLatin1(c.read)) << c.content;
        if (qstrlen(c.content) > 8) ++over;
        EXPECT_EQ(loggedNotes().size(), notes + (qstrlen(c.content) > 8 ? 1 : 0)) << c.content;
    }
    qInstallMessageHandler(previous);
    ASSERT_EQ(loggedNotes().size(), over);
    EXPECT_TRUE(loggedNotes().last().contains("mide 10 bytes"))
        << loggedNotes().last().toStdString();
}

// Traces hold every statement and its values.
TEST_F(Cp1252File, ATraceIsCreatedForItsOwnerAloneAndAnExistingOneKeepsItsPermissions) {
    const auto traceTo = [](const QString& file) {
        qputenv("KL_TRAZA_PRUEBA", file.toLocal8Bit());
        trace::appendLine("KL_TRAZA_PRUEBA", QStringLiteral("SELECT 1"));
        qunsetenv("KL_TRAZA_PRUEBA");
    };
    traceTo(path("nueva.log"));
    EXPECT_EQ(QFile::permissions(path("nueva.log")) & 0x0077, 0);
    ASSERT_TRUE(appendToFile(path("comun.log"), QString()));
    const QFileDevice::Permissions comun = QFile::permissions(path("comun.log"));
    traceTo(path("comun.log"));
    EXPECT_EQ(QFile::permissions(path("comun.log")), comun);
    EXPECT_EQ(bytesOf(path("comun.log")), "SELECT 1\n");
}

TEST_F(Cp1252File, UnreachablePathsFailWithoutThrowing) {
    EXPECT_FALSE(readFile(path("missing.txt")));
    EXPECT_FALSE(writeFile(path("no/such/dir/a.txt"), QStringLiteral("x")));
    EXPECT_FALSE(appendToFile(path("no/such/dir/a.txt"), QStringLiteral("x")));
    EXPECT_FALSE(QFile::exists(path("no/such/dir/a.txt")));
}

TEST_F(Cp1252File, EmptyFileReadsAsEmptyText) {
    ASSERT_TRUE(writeFile(path("empty.txt"), QString()));
    const auto content = readFile(path("empty.txt"));
    ASSERT_TRUE(content);
    EXPECT_TRUE(content->isEmpty());
}

}  // namespace
}  // namespace kl::cp1252
