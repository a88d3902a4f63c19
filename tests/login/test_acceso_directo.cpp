#include "login/acceso_directo.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kl::test {
namespace {

TEST(AccesoDirecto, EntryStartsTheProgramWithItsIcon) {
    EXPECT_EQ(login::contenidoEntradaEscritorio("klconfig", "/opt/kl/klconfig", "/i/klconfig.png"),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Version=1.0\n"
              "Name=klconfig\n"
              "Exec=\"/opt/kl/klconfig\"\n"
              "Path=/opt/kl\n"
              "Icon=/i/klconfig.png\n"
              "Terminal=false\n");
    EXPECT_FALSE(login::contenidoEntradaEscritorio("k", "/k", "").contains("Icon="));
}

// The Exec key is unescaped as a string first and then read as a quoted
// argument, so each of its reserved characters is escaped twice over.
TEST(AccesoDirecto, ProgramPathIsQuotedAndEscapedForTheExecKey) {
    const QString texto = login::contenidoEntradaEscritorio("k", "/opt/mi prog/a$b\"c`d\\e%f", "");
    EXPECT_TRUE(texto.contains("\nExec=\"/opt/mi prog/a\\\\$b\\\\\"c\\\\`d\\\\\\\\e%%f\"\n"))
        << texto.toStdString();
}

TEST(AccesoDirecto, WritesAnExecutableEntryAndTheIconBesideIt) {
    QTemporaryDir dir;
    const QString escritorio = dir.filePath("Escritorio");
    QPixmap imagen(32, 32);
    imagen.fill(Qt::red);
    login::AccesoDirecto creado;
    ASSERT_FALSE(login::creaAccesoDirecto(escritorio, "/opt/kl/klconfig", QIcon(imagen), &creado));
    EXPECT_EQ(creado.entrada, escritorio + "/klconfig.desktop");
    EXPECT_EQ(creado.icono, escritorio + "/.klconfig.png");
    EXPECT_TRUE(QFile::permissions(creado.entrada) & QFileDevice::ExeOwner);
    const QImage icono(creado.icono);
    ASSERT_FALSE(icono.isNull());
    EXPECT_EQ(icono.pixelColor(5, 5), QColor(Qt::red));
    QFile entrada(creado.entrada);
    ASSERT_TRUE(entrada.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(entrada.readAll()),
              login::contenidoEntradaEscritorio("klconfig", "/opt/kl/klconfig", creado.icono));
}

TEST(AccesoDirecto, AFolderThatCannotBeMadeIsAFailure) {
    QTemporaryDir dir;
    QFile archivo(dir.filePath("archivo"));
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    const StepResult falla =
        login::creaAccesoDirecto(archivo.fileName() + "/Escritorio", "/opt/kl/klconfig", QIcon());
    ASSERT_TRUE(falla);
    EXPECT_EQ(falla->number, 75);
    EXPECT_TRUE(falla->description.startsWith("No se pudo crear el acceso directo"));
}

}  // namespace
}  // namespace kl::test
