#include "support/database_test/database_test.h"

#include "support/trace_lines.h"

#include <QFile>

namespace kl::test {

namespace {

void restoreVariable(const char* name, const QByteArray& value) {
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

}  // namespace

bool connectSharedDb(const QString& file, const QString& usuario) {
    db::DB_Dll& shared = db::sharedDb();
    shared.gServidor = QStringLiteral("sqlite");
    shared.gDBName = file;
    shared.gUsuario = usuario;
    shared.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    return shared.gOpenFlag;
}

void DatabaseTest::SetUp() {
    db::releaseSharedDb();
    trace_ = path(QStringLiteral("traza.sql"));
    qputenv("KL_TRAZA_SQL", QFile::encodeName(trace_));
    previousTemp_ = qgetenv("TEMP");
    previousTmp_ = qgetenv("TMP");
    qputenv("TEMP", QFile::encodeName(folder_.folder()));
    qputenv("TMP", QFile::encodeName(folder_.folder()));
    // The safety copies go to the user's data folder: the test's own.
    previousDataHome_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("datos"))));
    previousEnd_ = db::installProgramEnd([ends = programEnds_] { ++*ends; });
    db().setArchivoErrores(Value(errorLog()));
}

void DatabaseTest::TearDown() {
    db::releaseSharedDb();
    db::installProgramEnd(previousEnd_);
    restoreVariable("TEMP", previousTemp_);
    restoreVariable("TMP", previousTmp_);
    restoreVariable("XDG_DATA_HOME", previousDataHome_);
    qunsetenv("KL_TRAZA_SQL");
}

bool DatabaseTest::connectShared(const QString& file, const QString& usuario) {
    db().setArchivoErrores(Value(errorLog()));
    const bool open = connectSharedDb(file, usuario);
    traced();
    return open;
}

QStringList DatabaseTest::traced() {
    return newTraceLines(trace_, traceRead_);
}

QString DatabaseTest::lastTraced() {
    const QStringList lines = traced();
    return lines.isEmpty() ? QString() : lines.last();
}

}  // namespace kl::test
