#include "session/estilo_ventanas.h"

#include "platform/module_settings.h"
#include "platform/settings_files.h"
#include "platform/textfile.h"
#include "platform/ui/skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include "support/printers.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

namespace kl {
namespace {

const QString kSep = QDir::separator();

// The user's configuration folder and the system user for one test.
class UserSetup : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        for (const char* name : {"XDG_CONFIG_HOME", "USERNAME"}) {
            saved_.push_back({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                                    : std::nullopt});
        }
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
        qputenv("USERNAME", "jperez");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                qputenv(name, *value);
            } else {
                qunsetenv(name);
            }
        }
        qApp->setStyleSheet(QString());
    }
    void write(const QString& name, const QString& text) {
        ASSERT_TRUE(cp1252::writeFile(QDir(dir_.path()).filePath(name), text));
    }

    QTemporaryDir dir_;

  private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved_;
};

TEST(SkinTable, EachNumberHasItsSkinAndEveryOtherNumberTheLast) {
    auto skin = [](int n) { return archivoDeEstilo(n).archivo; };
    EXPECT_EQ(skin(1), "Styles" + kSep + "Vista.cjstyles");
    EXPECT_EQ(skin(2), "Styles" + kSep + "WinXP.Luna.cjstyles");
    EXPECT_EQ(skin(3), "Styles" + kSep + "WinXP.Royale.cjstyles");
    EXPECT_EQ(skin(4), "Styles" + kSep + "iTunes");
    EXPECT_EQ(archivoDeEstilo(4).ini, u"Normalitunes.ini");
    for (int other : {0, 5, -1, 1000}) {
        EXPECT_EQ(skin(other), "Styles" + kSep + "Office2007.cjstyles");
        EXPECT_EQ(archivoDeEstilo(other).ini, u"");
    }
    EXPECT_EQ(archivoDeEstilo(1).ini, u"");
}

TEST(ShippedSkins, FiveDifferentStyleSheetsQtAccepts) {
    const QString folder = QStringLiteral(KL_SOURCE_DIR "/resources");
    std::set<QString> sheets;
    for (int n = 1; n <= 5; ++n) {
        const ArchivoDeEstilo estilo = archivoDeEstilo(n);
        SkinFramework skin;
        ASSERT_FALSE(skin.LoadSkin(folder + kSep + estilo.archivo, estilo.ini)) << n;
        sheets.insert(skin.styleSheet());

        static QStringList warnings;
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QPushButton("Aceptar"));
        skin.ApplyWindow(window);
        window.ensurePolished();
        qInstallMessageHandler(previous);
        EXPECT_TRUE(warnings.isEmpty()) << n << ": " << warnings.join('\n').toStdString();
    }
    EXPECT_EQ(sheets.size(), 5u);
}

TEST_F(UserSetup, TheSkinNumberComesFromTheUsersStyleSection) {
    EXPECT_EQ(numeroDeEstilo(), 1);  // no kl000pr.ini
    write("kl000pr.ini", "[OTROStyles]\r\nStyles=2\r\n[JPEREZStyles]\r\nStyles=3\r\n");
    EXPECT_EQ(numeroDeEstilo(), 3);
    write("kl000pr.ini", "[jperezstyles]\r\nstyles= 2.5 \r\n");
    EXPECT_EQ(numeroDeEstilo(), 2);
    write("kl000pr.ini", "[JPEREZStyles]\r\nStyles=azul\r\n");
    EXPECT_EQ(numeroDeEstilo(), 0);
    EXPECT_EQ(archivoDeEstilo(numeroDeEstilo()).archivo, "Styles" + kSep + "Office2007.cjstyles");
    write("kl000pr.ini", "[JPEREZStyles]\r\nStyles=99999999999999\r\n");
    EXPECT_EQ(archivoDeEstilo(numeroDeEstilo()).archivo, "Styles" + kSep + "Office2007.cjstyles");
}

TEST_F(UserSetup, SettingsFilesAreFoundByNameWhateverItsCaseFolderByFolder) {
    QTemporaryDir program;
    ASSERT_TRUE(cp1252::writeFile(QDir(program.path()).filePath("KL000P.ini"), "[a]\r\nb=1\r\n"));
    write("kl000p.INI", "[a]\r\nb=2\r\n");
    const QString first = findSettingsFile("KL000p.INI", {program.path(), dir_.path()});
    EXPECT_EQ(first, QDir(program.path()).filePath("KL000P.ini"));
    EXPECT_EQ(findSettingsFile("KL000p.INI", {"/no/existe", dir_.path()}),
              QDir(dir_.path()).filePath("kl000p.INI"));
    EXPECT_EQ(findSettingsFile("KL000p.INI", {"/no/existe"}), u"");
    EXPECT_EQ(findSettingsFile("KL*.INI", {program.path()}), u"");
    EXPECT_EQ(settingsFolders().last(), dir_.path());
}

TEST_F(UserSetup, TheChosenSkinDressesTheWindowAndTheProgram) {
    // The test program carries the skins beside it, as the program does.
    write("kl000pr.ini", "[JPEREZStyles]\r\nStyles=4\r\n");
    QWidget window;
    SkinFramework skin;
    EXPECT_FALSE(AplicaEstiloVisual(window, skin));
    const QString expected =
        cp1252::readFile(QStringLiteral(KL_SOURCE_DIR "/resources/Styles/iTunes/Normalitunes.ini"))
            .value_or(QString());
    ASSERT_FALSE(expected.isEmpty());
    // The program's sheet dresses the window: no copy of its own to restyle
    // every control twice.
    EXPECT_EQ(qApp->styleSheet(), expected);
    EXPECT_EQ(window.styleSheet(), u"");
    EXPECT_EQ(skin.ApplyOptions() & SkinFramework::ApplyToApplication,
              SkinFramework::ApplyToApplication);
}

TEST_F(UserSetup, TheWindowGetsTheProgramsIcon) {
    QWidget window;
    ASSERT_TRUE(window.windowIcon().isNull() ||
                qApp->windowIcon().cacheKey() == window.windowIcon().cacheKey());
    AsignaIcono(window);
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_FALSE(window.windowIcon().availableSizes().isEmpty());
}

TEST_F(UserSetup, AnIconTheProgramDoesNotCarryLeavesTheWindowsIcon) {
    write("KL000p.INI", "[Iconos]\r\nIconoDelSistema=ICONOTRO\r\n");
    QWidget window;
    QPixmap red(16, 16);
    red.fill(Qt::red);
    const QIcon own(red);
    window.setWindowIcon(own);
    const qint64 before = window.windowIcon().cacheKey();
    AsignaIcono(window);
    EXPECT_EQ(window.windowIcon().cacheKey(), before);
}

}  // namespace
}  // namespace kl
