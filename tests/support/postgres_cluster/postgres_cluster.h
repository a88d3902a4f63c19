#pragma once

// A throwaway PostgreSQL server for the tests: a cluster made with initdb in
// a temporary folder, listening only on a Unix socket in that folder and on
// 127.0.0.1 at a free port, without fsync. A test program starts it on first
// use and stops it at exit; a program that dies takes it along (the server
// gets SIGINT when its parent goes).
//
// PostgreSQL refuses to run as root, and CI runs as root: there the folder
// belongs to "nobody" and initdb and the server run as that user. The
// superuser is "kl" with the password kPassword, asked for on the socket and
// on TCP alike (scram-sha-256), so a wrong password is refused as on a real
// server.
//
//     PostgresCluster* pg = PostgresCluster::shared();
//     if (!pg) GTEST_SKIP() << PostgresCluster::unavailableReason();
//     pg->createDatabase("conta");
//     cnn.Open(pg->odbcConnectionString("conta"));

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace kl::test {

class PostgresCluster {
  public:
    static constexpr const char* kSuperuser = "kl";
    static constexpr const char* kPassword = "kl.prueba";

    // The program's cluster, started on first use; nullptr when PostgreSQL
    // or its ODBC driver is not installed or the server would not start.
    static PostgresCluster* shared();
    // Why shared() gave nullptr, for the skip message.
    static QString unavailableReason();

    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    QString socketFolder() const { return dir_.path(); }
    int port() const { return port_; }

    // "Driver=PostgreSQL Unicode;Server=127.0.0.1;Port=...;Database=...;
    // Uid=...;Pwd=...;" (the test odbcinst.ini names the driver).
    QString odbcConnectionString(const QString& database, const QString& user = kSuperuser,
                                 const QString& password = kPassword) const;

    // Runs SQL with psql as the superuser in `database`; false (and the
    // output in `output`) when psql reports an error.
    bool psql(const QString& database, const QString& sql, QString* output = nullptr) const;
    // A new, empty database (dropped first when a test left one behind).
    bool createDatabase(const QString& name) const;

    // Stops the server and starts it again on the same folder and port.
    bool stop();
    bool start();
    bool running() const { return server_ && server_->state() != QProcess::NotRunning; }

  private:
    PostgresCluster() = default;
    bool create(QString& reason);

    QString binary(const char* name) const;
    // A command of PostgreSQL's own, as the cluster's owner when we are root.
    void asOwner(QProcess& process, const char* name, const QStringList& arguments) const;

    QTemporaryDir dir_;
    QString binFolder_;
    int port_ = 0;
    std::unique_ptr<QProcess> server_;
};

}  // namespace kl::test
