// The program installed as an office installs it: by `cmake --install` into
// a prefix of its own, and by the Debian package. Both must run from there,
// away from the build folder's skins and module.

#include "platform/settings_files.h"
#include "support/embedded_db.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kl::test {
namespace {

// A generous bound that only stops a program which would never end.
constexpr int kNeverEnds = 300000;

struct Finished {
    int status = -1;
    QString output;
};

Finished run(const QString& program, const QStringList& arguments,
             const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
             const QString& folder = QString()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Finished result;
    if (!process.waitForFinished(kNeverEnds)) return {-1, process.errorString()};
    result.output = QString::fromLocal8Bit(process.readAll());
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

const QString kBin = QStringLiteral(KL_INSTALL_BINDIR);
const QString kData = QStringLiteral(KL_INSTALL_DATADIR);
const QString kModule = QStringLiteral(KL_INSTALL_MODULEDIR);

// What the installation puts where, relative to its prefix.
const QStringList kInstalledFiles = {
    kBin + "/klconfig",
    kBin + "/klbase",
    kModule + "/libkl_sqlite_functions.so",
    kData + "/Styles/Vista.cjstyles",
    kData + "/Styles/WinXP.Luna.cjstyles",
    kData + "/Styles/WinXP.Royale.cjstyles",
    kData + "/Styles/Office2007.cjstyles",
    kData + "/Styles/iTunes/Normalitunes.ini",
    "share/applications/klconfig.desktop",
    "share/icons/hicolor/64x64/apps/klconfig.png",
    "share/doc/klconfig/README.md",
    "share/doc/klconfig/LICENSE",
    "share/doc/klconfig/copyright",
    "share/doc/klconfig/changelog.gz",
    "share/man/man1/klconfig.1.gz",
    "share/man/man1/klbase.1.gz",
};

// `klbase demo` and a whole start-up and shutdown of klconfig on that demo,
// both from `bin`, headless; the demo's access log then holds the run.
void expectTheDemoRuns(const QString& bin) {
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString demo = work.filePath("demo.kldb");
    const Finished klbase = run(QDir(bin).filePath("klbase"), {"demo", demo});
    ASSERT_EQ(klbase.status, 0) << klbase.output.toStdString();
    const QString earlierRuns =
        EmbeddedDb::scalar(demo, "SELECT IFNULL(MAX(ID), 0) FROM CONTROL_ACCESO");

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KL_CERRAR_AL_INICIAR", "1");
    env.insert("XDG_CONFIG_HOME", work.filePath("config"));
    env.insert("XDG_DATA_HOME", work.filePath("data"));
    env.insert("TEMP", work.path());
    env.insert("TMP", work.path());
    env.insert("KL_TRAZA_AVISOS", work.filePath("avisos.txt"));
    const Finished klconfig = run(
        QDir(bin).filePath("klconfig"),
        {"@Server=sqlite;@DbName=" + demo + ";@Usuario=ADMIN;@Password=;@UsuarioLogeado=ADMIN;"},
        env, work.path());
    EXPECT_EQ(klconfig.status, 0) << klconfig.output.toStdString();
    EXPECT_FALSE(QFile::exists(work.filePath("avisos.txt"))) << "a box was shown";
    EXPECT_EQ(EmbeddedDb::scalar(demo,
                                 "SELECT COUNT(*) || '|' || MIN(EGRESO IS NOT NULL) FROM "
                                 "CONTROL_ACCESO WHERE ID > " +
                                     earlierRuns),
              u"1|1");
}

TEST(CmakeInstall, PutsEveryPieceUnderATemporaryPrefixAndTheProgramsRunFromThere) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const Finished install =
        run(QStringLiteral(KL_CMAKE), {"--install", KL_BINARY_DIR, "--prefix", prefix.path()});
    ASSERT_EQ(install.status, 0) << install.output.toStdString();
    for (const QString& file : kInstalledFiles)
        EXPECT_TRUE(QFileInfo(prefix.filePath(file)).isFile()) << file.toStdString();
    for (const QString& program : {kBin + "/klconfig", kBin + "/klbase"})
        EXPECT_TRUE(QFileInfo(prefix.filePath(program)).isExecutable()) << program.toStdString();

    // Another prefix: the program finds its parts relative to itself.
    const QDir moved(prefix.filePath("moved"));
    ASSERT_TRUE(QDir().mkpath(moved.path()));
    for (const QString& part : QDir(prefix.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (part == u"moved") continue;
        ASSERT_TRUE(QDir().rename(prefix.filePath(part), moved.filePath(part)));
    }
    const QString bin = moved.filePath(kBin);
    EXPECT_EQ(shippedFolder("Styles", Shipped::Data, bin), moved.filePath(kData));
    EXPECT_EQ(shippedFolder("libkl_sqlite_functions.so", Shipped::Module, bin),
              moved.filePath(kModule));
    expectTheDemoRuns(bin);

    // Skins beside the program win over the installed ones.
    ASSERT_TRUE(QDir().mkpath(QDir(bin).filePath("Styles")));
    EXPECT_EQ(shippedFolder("Styles", Shipped::Data, bin), bin);
}

QString dpkgDeb(const QString& option, const QString& package, const QStringList& more = {}) {
    const Finished shown = run("dpkg-deb", QStringList{option, package} + more);
    EXPECT_EQ(shown.status, 0) << shown.output.toStdString();
    return shown.output;
}

// One package made for all three checks: making it takes a while.
TEST(DebianPackage, DeclaresItsDependenciesHoldsEveryPieceUnderUsrAndRunsUnpacked) {
    if (QStandardPaths::findExecutable("dpkg-deb").isEmpty()) GTEST_SKIP() << "no dpkg-deb";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const Finished cpack =
        run(QStringLiteral(KL_CPACK),
            {"-G", "DEB", "--config", KL_BINARY_DIR "/CPackConfig.cmake", "-B", folder.path()});
    ASSERT_EQ(cpack.status, 0) << cpack.output.toStdString();
    const QString architecture = run("dpkg", {"--print-architecture"}).output.trimmed();
    const QString package = folder.filePath("klconfig_0.1_" + architecture + ".deb");
    ASSERT_TRUE(QFileInfo::exists(package)) << cpack.output.toStdString();

    {
        SCOPED_TRACE("control fields");
        EXPECT_EQ(dpkgDeb("--field", package, {"Package"}).trimmed(), u"klconfig");
        EXPECT_EQ(dpkgDeb("--field", package, {"Architecture"}).trimmed(), architecture);
        const QString depends = dpkgDeb("--field", package, {"Depends"});
        for (const char* name : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "qt6-qpa-plugins",
                                 "libsqlite3-0", "libodbc2", "unixodbc"})
            EXPECT_TRUE(depends.contains(name)) << name << " in " << depends.toStdString();
        const QString recommends = dpkgDeb("--field", package, {"Recommends"});
        for (const char* name : {"tdsodbc", "libsqliteodbc"})
            EXPECT_TRUE(recommends.contains(name)) << name;
    }
    {
        SCOPED_TRACE("file list");
        QStringList listed;
        for (const QString& line : dpkgDeb("--contents", package).split(u'\n', Qt::SkipEmptyParts))
            listed.append(line.section(u' ', -1));
        for (const QString& file : kInstalledFiles)
            EXPECT_TRUE(listed.contains("./usr/" + file)) << file.toStdString();
        for (const QString& path : listed)
            EXPECT_TRUE(path.startsWith("./usr/") || path == u"./") << path.toStdString();
    }
    if (!QStandardPaths::findExecutable("lintian").isEmpty()) {
        SCOPED_TRACE("Debian's checks");
        const Finished checked = run("lintian", {"--tag-display-limit", "0", package});
        for (const QString& line : checked.output.split(u'\n'))
            EXPECT_FALSE(line.startsWith(u"E: ")) << line.toStdString();
        for (const char* file : {"copyright", "changelog.gz"})
            EXPECT_FALSE(checked.output.contains(file)) << checked.output.toStdString();
    }
    {
        SCOPED_TRACE("unpacked into an empty root");
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir().mkpath(root.filePath("var/lib/dpkg/updates")));
        ASSERT_TRUE(QDir().mkpath(root.filePath("var/lib/dpkg/info")));
        QFile status(root.filePath("var/lib/dpkg/status"));
        ASSERT_TRUE(status.open(QIODevice::WriteOnly));
        status.close();
        // The libraries come from this machine: the root holds only the package.
        const Finished unpack =
            run("dpkg", {"--root=" + root.path(), "--force-depends", "--force-not-root",
                         "--log=/dev/null", "--unpack", package});
        ASSERT_EQ(unpack.status, 0) << unpack.output.toStdString();
        expectTheDemoRuns(root.filePath("usr/" + kBin));
    }
}

}  // namespace
}  // namespace kl::test
