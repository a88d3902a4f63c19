#include "platform/ini.h"
#include "platform/textfile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl {
namespace {

class LeeIniTest : public ::testing::Test {
  protected:
    QString write(const QString& content) {
        const QString file = dir.filePath(QStringLiteral("KL000p.INI"));
        EXPECT_TRUE(cp1252::writeFile(file, content));
        return file;
    }
    QTemporaryDir dir;
};

TEST_F(LeeIniTest, MissingFileGivesTheDefault) {
    EXPECT_EQ(LeeIni(dir.filePath(QStringLiteral("none.ini")), QStringLiteral("General"),
                     QStringLiteral("Icono"), QStringLiteral("def")),
              u"def");
    EXPECT_EQ(LeeIni(QString(), QStringLiteral("General"), QStringLiteral("Icono")), u"");
}

TEST_F(LeeIniTest, MissingSectionOrKeyGivesTheDefault) {
    const QString file = write(QStringLiteral("[General]\nIcono=kl.ico\n[Otra]\nClave=1\n"));
    EXPECT_EQ(LeeIni(file, QStringLiteral("Nada"), QStringLiteral("Icono"), QStringLiteral("d")),
              u"d");
    EXPECT_EQ(LeeIni(file, QStringLiteral("General"), QStringLiteral("Clave"), QStringLiteral("d")),
              u"d");
    // A key of another section is not found in this one.
    EXPECT_EQ(LeeIni(file, QStringLiteral("Otra"), QStringLiteral("Icono"), QStringLiteral("d")),
              u"d");
}

TEST_F(LeeIniTest, SectionsAndKeysIgnoreCaseAndBlanks) {
    const QString file =
        write(QStringLiteral("  [ General ]  \n  Icono  =   kl.ico   \nBarras Planas=1\n"));
    EXPECT_EQ(LeeIni(file, QStringLiteral("GENERAL"), QStringLiteral("icono")), u"kl.ico");
    EXPECT_EQ(LeeIni(file, QStringLiteral("general"), QStringLiteral("BARRAS PLANAS")), u"1");
}

TEST_F(LeeIniTest, CrlfLinesAndWindows1252Values) {
    const QString file = write(QString::fromUtf8("[Estilo]\r\nSkin=3\r\nNombre=Compañía €\r\n"));
    EXPECT_EQ(LeeIni(file, QStringLiteral("Estilo"), QStringLiteral("Skin")), u"3");
    EXPECT_EQ(LeeIni(file, QStringLiteral("Estilo"), QStringLiteral("Nombre")),
              QString::fromUtf8("Compañía €"));
}

TEST_F(LeeIniTest, CommentsEmptyValuesQuotesAndFirstMatch) {
    const QString file = write(QStringLiteral(
        "; Skin=9\n[Estilo]\n;Skin=8\nVacio=\nCitado=\" a b \"\nSkin=3\nSkin=4\nUrl=a=b\n"));
    EXPECT_EQ(LeeIni(file, QStringLiteral("Estilo"), QStringLiteral("Skin")), u"3");
    EXPECT_EQ(LeeIni(file, QStringLiteral("Estilo"), QStringLiteral("Vacio"), QStringLiteral("d")),
              u"");
    EXPECT_EQ(LeeIni(file, QStringLiteral("Estilo"), QStringLiteral("Citado")), u" a b ");
    EXPECT_EQ(LeeIni(file, QStringLiteral("Estilo"), QStringLiteral("Url")), u"a=b");
    EXPECT_EQ(LeeIni(file, QStringLiteral("Estilo"), QStringLiteral(";Skin"), QStringLiteral("d")),
              u"d");
}

TEST_F(LeeIniTest, LinesWithoutEqualsAreSkipped) {
    const QString file = write(QStringLiteral("[General]\nbasura\n[roto\nIcono=x\n"));
    EXPECT_EQ(LeeIni(file, QStringLiteral("General"), QStringLiteral("Icono")), u"x");
}

// A key on the line that ends at the limit is read; with one byte more in
// front of the file, that line lies past it.
TEST_F(LeeIniTest, AKeyPastTheLimitIsNotRead) {
    const QString ultima = QStringLiteral("Icono=kl.ico\r\n");
    QString relleno = QStringLiteral("[General]\r\n");
    relleno += QStringLiteral("; ") +
               QString(kMaxIniFileSize - relleno.size() - 4 - ultima.size(), u'x') +
               QStringLiteral("\r\n");
    for (const bool pasada : {false, true}) {
        const QString file = write((pasada ? QStringLiteral(" ") : QString()) + relleno + ultima);
        EXPECT_EQ(
            LeeIni(file, QStringLiteral("General"), QStringLiteral("Icono"), QStringLiteral("d")),
            pasada ? u"d" : u"kl.ico");
    }
}

}  // namespace
}  // namespace kl
