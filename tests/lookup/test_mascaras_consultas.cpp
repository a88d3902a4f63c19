#include "lookup/mascaras_consultas.h"

#include "fuzz/mascaras_properties.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl::consultas {
namespace {

QByteArray registro(const QString& tabla, const QString& columnas, const QString& condicion = {}) {
    return registroMascara({QStringLiteral("Título"), tabla, columnas, condicion});
}

class MaskFile : public ::testing::Test {
  protected:
    QString escribe(const QByteArray& bytes) {
        const QString path = dir_.filePath(QStringLiteral("consultas.kvw"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(MaskFile, TheFirstRecordOfTheTableWinsWhateverTheCaseOfItsName) {
    const QString path =
        escribe(registro("TA_ESTADOS", "CODIGO|DESCRIPCION|") +
                registro("vt_clientes", "CODIGO|RAZON_SOCIAL|", "Dada_De_Baja = 0") +
                registro("VT_CLIENTES", "OTRA|"));
    const auto mascara = buscaMascara(path, QStringLiteral("  VT_Clientes "));
    ASSERT_TRUE(mascara);
    EXPECT_EQ(mascara->tabla, "vt_clientes");
    EXPECT_EQ(mascara->columnas, "CODIGO|RAZON_SOCIAL|");
    EXPECT_EQ(mascara->condicion, "Dada_De_Baja = 0");
    EXPECT_EQ(mascara->titulo, "Título");
    EXPECT_FALSE(buscaMascara(path, QStringLiteral("TA_MONEDAS")));
}

TEST_F(MaskFile, FieldsAreWindows1252WithoutNulsOrCharacter255AndTrimmed) {
    const QChar nul(0), ff(0xFF);
    const QByteArray r = registroMascara(
        {QStringLiteral("Monedas"), nul + QStringLiteral("TA_") + ff + "MONEDAS" + nul,
         ff + QStringLiteral(" CODIGO|DESCRIPCIÓN|"), QStringLiteral("PAIS = 'Perú'") + nul + ff});
    EXPECT_EQ(r.mid(200, 4), QByteArray("\xff CO"));
    const auto mascara = buscaMascara(escribe(r), QStringLiteral("ta_monedas"));
    ASSERT_TRUE(mascara);
    EXPECT_EQ(mascara->tabla, "TA_MONEDAS");
    EXPECT_EQ(mascara->columnas, "CODIGO|DESCRIPCIÓN|");
    EXPECT_EQ(mascara->condicion, "PAIS = 'Perú'");
}

TEST_F(MaskFile, BrokenFilesHoldNoMaskForTheTable) {
    const QByteArray bueno = registro("TA_CONDIVA", "CODIGO|DESCRIPCION|");
    QByteArray sinTerminar =
        registroMascara({QString(100, u'X'), QStringLiteral("TA_CONDIVA") + QString(90, u'Z'),
                         QString(500, u'C'), QString(500, u'W')});
    const struct {
        const char* caso;
        QByteArray bytes;
    } casos[] = {
        {"a last record cut short", registro("TA_ESTADOS", "A|B|") + bueno.left(1201)},
        {"a file of a few bytes", QByteArray("TA_CONDIVA")},
        {"an empty file", QByteArray()},
        {"random bytes", QByteArray::fromHex("ff00fe13c3a9").repeated(500)},
        {"a table field with no padding", sinTerminar},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        EXPECT_FALSE(buscaMascara(escribe(c.bytes), QStringLiteral("TA_CONDIVA")));
    }
    EXPECT_FALSE(buscaMascara(dir_.filePath("no_existe.kvw"), QStringLiteral("TA_CONDIVA")));
    EXPECT_FALSE(buscaMascara(dir_.path(), QStringLiteral("TA_CONDIVA")));
    EXPECT_FALSE(existeArchivoMascaras(dir_.path()));
}

// The fuzzer's seeds, each cut at every length and with a byte changed at
// every field boundary: the reader always answers, and what it finds holds.
TEST(MaskFileRobustness, SeedsAndTheirMutationsKeepTheReadersPromises) {
    const QDir corpus(QStringLiteral(KL_SOURCE_DIR "/tests/fuzz/corpus/mascaras"));
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_GE(files.size(), 6);
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray seed = file.readAll();
        for (qsizetype n = 0; n <= seed.size(); n += (n % kLargoRegistro < 210 ? 1 : 97))
            EXPECT_EQ(properties::checkMascaras(seed.left(n)), QString()) << "cut at " << n;
        for (qsizetype at : {0, 99, 100, 199, 200, 699, 700, 1199, 1200, 1201}) {
            for (char c : {'\0', '\xff', ' ', 'a'}) {
                QByteArray mutated = seed;
                if (at < mutated.size()) mutated[at] = c;
                EXPECT_EQ(properties::checkMascaras(mutated), QString()) << "byte " << at;
            }
        }
    }
}

}  // namespace
}  // namespace kl::consultas
