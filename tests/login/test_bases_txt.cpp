#include "fuzz/bases_txt_properties.h"
#include "fuzz/seed_replay.h"
#include "login/bases_txt.h"
#include "login/existe_archivo.h"
#include "login_fixture.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <vector>

namespace kl::test {
namespace {

using login::LineaBases;

void expectFields(const LineaBases& l, const QStringList& expected) {
    EXPECT_EQ((QStringList{l.nombre, l.base, l.usuario, l.clave, l.servidor}), expected);
}

TEST(ExisteArchivo, OnlyAFileThatOpensForReading) {
    QTemporaryDir dir;
    const QString file = dir.filePath("a.txt");
    EXPECT_FALSE(ExisteArchivo(file));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(ExisteArchivo(file));  // an empty file still opens
    EXPECT_FALSE(ExisteArchivo(dir.path()));
    EXPECT_FALSE(ExisteArchivo(QString()));
    EXPECT_FALSE(ExisteArchivo(file + "/x"));
}

TEST(LineaBases, FiveTrimmedFieldsWhateverTheLineHolds) {
    expectFields(login::leeLineaBases(" CONTAB / SRV01 , CONTAB ,CONTAB, abc ,SRV01:1500 "),
                 {"CONTAB / SRV01", "CONTAB", "CONTAB", "abc", "SRV01:1500"});
    // A short line gives empty fields.
    expectFields(login::leeLineaBases("SOLO"), {"SOLO", "", "", "", ""});
    expectFields(login::leeLineaBases("A,B"), {"A", "B", "", "", ""});
    expectFields(login::leeLineaBases(""), {"", "", "", "", ""});
    // Fields after the fifth go, so the next line is not shifted.
    expectFields(login::leeLineaBases("A,B,C,D,E,F,G"), {"A", "B", "C", "D", "E"});
}

TEST(LineaBases, WrittenTrimmedWithCommasAndCrLf) {
    EXPECT_EQ(login::escribeLineaBases({" CONTAB / SRV01 ", "CONTAB ", " CONTAB", "x", "SRV01"}),
              "CONTAB / SRV01,CONTAB,CONTAB,x,SRV01\r\n");
    const LineaBases back = login::leeLineaBases(
        login::escribeLineaBases({"N", "B", "U", "C", "#ORA:1521"}).chopped(2));
    expectFields(back, {"N", "B", "U", "C", "#ORA:1521"});
}

TEST(LineaBases, EveryLineEndCountsAndTheLastNeedsNone) {
    EXPECT_EQ(login::lineasDe("A\r\nB\r\n"), (QStringList{"A", "B"}));
    EXPECT_EQ(login::lineasDe("A\nB"), (QStringList{"A", "B"}));
    EXPECT_EQ(login::lineasDe("A\rB\r"), (QStringList{"A", "B"}));
    EXPECT_EQ(login::lineasDe("A\r\n\r\n\nB"), (QStringList{"A", "", "", "B"}));
    EXPECT_TRUE(login::lineasDe("").isEmpty());
}

class BasesFile : public LoginTest {};

TEST_F(BasesFile, ReadsAnyBytesAsWindows1252) {
    // 0xE9 is "é"; 0x81 is one of the bytes Windows-1252 leaves undefined;
    // the file ends without a line break.
    escribeBases(
        QByteArray("CAF\xC9 / S1,caf\xe9,U,C,S1\r\n"
                   "\r\n"
                   "RARO\x81,B,U,C,S\r\n"
                   "CORTA\n"
                   "A,B,C,D,E,F\r\n"
                   "ULTIMA,B,U,C,S9"));
    std::vector<LineaBases> lineas;
    ASSERT_FALSE(login::leeBases(bases(), lineas));
    ASSERT_EQ(lineas.size(), 6u);
    expectFields(lineas[0],
                 {QString::fromUtf8("CAFÉ / S1"), QString::fromUtf8("café"), "U", "C", "S1"});
    expectFields(lineas[1], {"", "", "", "", ""});
    EXPECT_EQ(lineas[2].nombre, QString("RARO") + QChar(0x81));
    expectFields(lineas[3], {"CORTA", "", "", "", ""});
    expectFields(lineas[4], {"A", "B", "C", "D", "E"});
    expectFields(lineas[5], {"ULTIMA", "B", "U", "C", "S9"});
}

// A file of the limit's size ending with "ULTIMA,...", and one byte more in
// front of it: the line that no longer ends within the limit is left.
TEST_F(BasesFile, AFileJustOverTheLimitLeavesTheLinesPastIt) {
    QByteArray contenido;
    for (int i = 0; contenido.size() < login::kLargoMaximoBases - 200; ++i)
        contenido += "CONEXION " + QByteArray::number(i) + ",BASE,USUARIO,clave,SERVIDOR\r\n";
    const QByteArray ultima = "ULTIMA,B,U,C,S\r\n";
    contenido += "RELLENO," +
                 QByteArray(login::kLargoMaximoBases - contenido.size() - 11 - ultima.size(), ' ') +
                 "B\r\n";
    contenido += ultima;
    ASSERT_EQ(contenido.size(), login::kLargoMaximoBases);
    for (const bool pasado : {false, true}) {
        escribeBases(pasado ? " " + contenido : contenido);
        std::vector<LineaBases> lineas;
        ASSERT_FALSE(login::leeBases(bases(), lineas));
        EXPECT_EQ(lineas.back().nombre, pasado ? "RELLENO" : "ULTIMA");
        EXPECT_EQ(lineas.front().nombre, "CONEXION 0");
    }
}

TEST_F(BasesFile, AnUnreadableFileIsAFailureNotAnEmptyList) {
    std::vector<LineaBases> lineas{LineaBases{"previa"}};
    const StepResult falla = login::leeBases(bases(), lineas);
    ASSERT_TRUE(falla);
    EXPECT_EQ(falla->number, 75);
    EXPECT_TRUE(falla->description.contains("BASES.TXT")) << falla->description.toStdString();
    EXPECT_EQ(lineas.size(), 1u);
}

TEST_F(BasesFile, AppendingCreatesFolderAndFileInWindows1252) {
    const QString ruta = QDir(carpeta()).filePath("nueva/sub/BASES.TXT");
    ASSERT_FALSE(login::agregaLineaBases(ruta, {"ESPAÑA / S", "España", "España", "x", "S"}));
    ASSERT_FALSE(login::agregaLineaBases(ruta, {"B / S", "B", "B", "y", "S"}));
    QFile file(ruta);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("ESPA\xD1"
                                         "A / S,Espa\xF1"
                                         "a,Espa\xF1"
                                         "a,x,S\r\nB / S,B,B,y,S\r\n"));
    // It holds passwords, however lightly encoded.
    EXPECT_EQ(file.permissions() & 0x0077, 0);
}

TEST_F(BasesFile, AFileThatCannotBeWrittenIsAFailure) {
    ASSERT_TRUE(QDir(carpeta()).mkdir("BASES.TXT"));
    const StepResult falla = login::agregaLineaBases(bases(), {"A", "B", "C", "D", "E"});
    ASSERT_TRUE(falla);
    EXPECT_EQ(falla->number, 75);
}

TEST_F(BasesFile, KeptInTheProgramFolderWhenItCanBeWritten) {
    EXPECT_EQ(login::rutaBases(), QDir::toNativeSeparators(carpeta()) + "/BASES.TXT");
    EXPECT_EQ(login::carpetaPrograma(), carpeta() + "/");
}

TEST_F(BasesFile, OtherwiseInTheUsersDataFolder) {
    login::installCarpetaPrograma(carpeta() + "/no-existe");
    EXPECT_EQ(login::rutaBases(),
              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/BASES.TXT");
}

TEST(BasesTxt, FuzzSeedsGiveCleanEntriesThatAreWrittenAndReadBackUnchanged) {
    properties::checkPrefixes("bases_txt", properties::basesTxtViolation);
}

}  // namespace
}  // namespace kl::test
