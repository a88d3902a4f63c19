#include "support/postgres_cluster/postgres_cluster.h"

#include "support/closed_port.h"

#include "platform/ado/odbc_test_drivers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <QVersionNumber>

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

namespace kl::test {

namespace {

constexpr int kReadyMilliseconds = 20000;
const char kOdbcDriver[] = "PostgreSQL Unicode";
const char kOwner[] = "nobody";

// Debian keeps each version's programs in /usr/lib/postgresql/<version>/bin;
// the newest wins. Elsewhere they are on the PATH.
QString postgresBinFolder() {
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QVersionNumber best;
    QString folder;
    for (const QString& v : versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QVersionNumber n = QVersionNumber::fromString(v);
        const QString bin = versions.filePath(v + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")) && n > best) {
            best = n;
            folder = bin;
        }
    }
    if (!folder.isEmpty()) return folder;
    const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    return initdb.isEmpty() ? QString() : QFileInfo(initdb).absolutePath();
}

bool runsAsRoot() {
    return ::geteuid() == 0;
}

QString& reason() {
    static QString text;
    return text;
}

QString outputOf(QProcess& process) {
    return QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError())
        .trimmed();
}

}  // namespace

PostgresCluster* PostgresCluster::shared() {
    static std::unique_ptr<PostgresCluster> cluster = [] {
        std::unique_ptr<PostgresCluster> c(new PostgresCluster);
        if (!c->create(reason())) c.reset();
        return c;
    }();
    return cluster.get();
}

QString PostgresCluster::unavailableReason() {
    return reason();
}

PostgresCluster::~PostgresCluster() {
    stop();
}

QString PostgresCluster::binary(const char* name) const {
    return binFolder_ + u'/' + QLatin1String(name);
}

void PostgresCluster::asOwner(QProcess& process, const char* name,
                              const QStringList& arguments) const {
    if (!runsAsRoot()) {
        process.setProgram(binary(name));
        process.setArguments(arguments);
        return;
    }
    // The server goes when the test program goes, however it ends.
    process.setProgram(QStringLiteral("setpriv"));
    const passwd* owner = ::getpwnam(kOwner);
    process.setArguments(QStringList{QStringLiteral("--reuid=%1").arg(owner ? owner->pw_uid : 0),
                                     QStringLiteral("--regid=%1").arg(owner ? owner->pw_gid : 0),
                                     QStringLiteral("--clear-groups"),
                                     QStringLiteral("--pdeathsig=INT"), QStringLiteral("--"),
                                     binary(name)} +
                         arguments);
}

bool PostgresCluster::create(QString& why) {
    binFolder_ = postgresBinFolder();
    if (binFolder_.isEmpty()) {
        why = QStringLiteral("PostgreSQL is not installed (setup.sh installs postgresql)");
        return false;
    }
    kl::test::useTestOdbcDrivers();
    if (!kl::test::testOdbcDriverRegistered(QLatin1String(kOdbcDriver))) {
        why = QStringLiteral(
            "PostgreSQL's ODBC driver is not installed (setup.sh installs odbc-postgresql)");
        return false;
    }
    if (!dir_.isValid()) {
        why = QStringLiteral("no temporary folder for the cluster");
        return false;
    }
    const QString passwordFile = dir_.filePath(QStringLiteral("clave"));
    {
        QFile f(passwordFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(kPassword) < 0) {
            why = QStringLiteral("cannot write the superuser's password file");
            return false;
        }
    }
    if (runsAsRoot()) {
        const passwd* owner = ::getpwnam(kOwner);
        if (!owner ||
            ::chown(QFile::encodeName(dir_.path()).constData(), owner->pw_uid, owner->pw_gid) !=
                0 ||
            ::chown(QFile::encodeName(passwordFile).constData(), owner->pw_uid, owner->pw_gid) !=
                0) {
            why = QStringLiteral("cannot hand the cluster's folder to user %1")
                      .arg(QLatin1String(kOwner));
            return false;
        }
    }
    QProcess initdb;
    asOwner(initdb, "initdb",
            {QStringLiteral("--pgdata=") + dir_.filePath(QStringLiteral("data")),
             QStringLiteral("--username=") + QLatin1String(kSuperuser),
             QStringLiteral("--pwfile=") + passwordFile, QStringLiteral("--auth=scram-sha-256"),
             QStringLiteral("--encoding=UTF8"), QStringLiteral("--locale=C.UTF-8"),
             QStringLiteral("--no-sync"), QStringLiteral("--no-instructions")});
    initdb.start();
    const bool made = initdb.waitForFinished(60000) &&
                      initdb.exitStatus() == QProcess::NormalExit && initdb.exitCode() == 0;
    QFile::remove(passwordFile);
    if (!made) {
        why = QStringLiteral("initdb failed: ") + outputOf(initdb);
        return false;
    }
    port_ = closedPort();  // free now, the server takes it
    if (!start()) {
        QFile log(dir_.filePath(QStringLiteral("server.log")));
        log.open(QIODevice::ReadOnly);
        why = QStringLiteral("the server did not start: ") + QString::fromLocal8Bit(log.readAll());
        return false;
    }
    return true;
}

bool PostgresCluster::start() {
    if (running()) return true;
    server_ = std::make_unique<QProcess>();
    // Small and quick: the tests share a small machine and throw the data away.
    asOwner(*server_, "postgres",
            {QStringLiteral("-D"), dir_.filePath(QStringLiteral("data")),
             QStringLiteral("-k"), dir_.path(),
             QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
             QStringLiteral("-p"), QString::number(port_),
             QStringLiteral("-c"), QStringLiteral("fsync=off"),
             QStringLiteral("-c"), QStringLiteral("synchronous_commit=off"),
             QStringLiteral("-c"), QStringLiteral("full_page_writes=off"),
             QStringLiteral("-c"), QStringLiteral("shared_buffers=16MB"),
             QStringLiteral("-c"), QStringLiteral("max_connections=30"),
             QStringLiteral("-c"), QStringLiteral("autovacuum=off"),
             QStringLiteral("-c"), QStringLiteral("log_min_messages=warning")});
    server_->setStandardOutputFile(dir_.filePath(QStringLiteral("server.log")), QIODevice::Append);
    server_->setStandardErrorFile(dir_.filePath(QStringLiteral("server.log")), QIODevice::Append);
    server_->start();
    if (!server_->waitForStarted(10000)) return false;
    for (int waited = 0; waited < kReadyMilliseconds; waited += 50) {
        if (server_->state() == QProcess::NotRunning) return false;
        QProcess ready;
        ready.start(binary("pg_isready"), {QStringLiteral("-q"), QStringLiteral("-h"), dir_.path(),
                                           QStringLiteral("-p"), QString::number(port_)});
        if (ready.waitForFinished(5000) && ready.exitCode() == 0) return true;
        QThread::msleep(50);
    }
    return false;
}

bool PostgresCluster::stop() {
    if (!server_) return true;
    if (server_->state() != QProcess::NotRunning) {
        // SIGINT: the fast shutdown, which ends the sessions still open.
        ::kill(static_cast<pid_t>(server_->processId()), SIGINT);
        if (!server_->waitForFinished(15000)) {
            server_->kill();
            server_->waitForFinished(5000);
        }
    }
    server_.reset();
    return true;
}

QString PostgresCluster::odbcConnectionString(const QString& database, const QString& user,
                                              const QString& password) const {
    return QStringLiteral("Driver=%1;Server=127.0.0.1;Port=%2;Database=%3;Uid=%4;Pwd=%5;")
        .arg(QLatin1String(kOdbcDriver))
        .arg(port_)
        .arg(database, user, password);
}

bool PostgresCluster::psql(const QString& database, const QString& sql, QString* output) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), QLatin1String(kPassword));
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    p.setProcessEnvironment(env);
    p.start(binary("psql"),
            {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"), QStringLiteral("-t"),
             QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"),
             dir_.path(), QStringLiteral("-p"), QString::number(port_), QStringLiteral("-U"),
             QLatin1String(kSuperuser), QStringLiteral("-d"), database, QStringLiteral("-f"),
             QStringLiteral("-")});
    p.write(sql.toUtf8());
    p.closeWriteChannel();
    const bool ok =
        p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output) *output = outputOf(p);
    return ok;
}

bool PostgresCluster::createDatabase(const QString& name) const {
    return psql(QStringLiteral("postgres"),
                QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE);\n"
                               "CREATE DATABASE \"%1\";\n")
                    .arg(name));
}

}  // namespace kl::test
