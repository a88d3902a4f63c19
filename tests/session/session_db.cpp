#include "session_db.h"

#include "database_file.h"
#include "schema.h"

#include "dblayer/program_info.h"
#include "session/sesion.h"
#include "support/embedded_db.h"
#include "support/shared_db/shared_db.h"
#include "support/trace_lines.h"

#include <QFile>

namespace kl::test {

void SessionDbTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    db::releaseSharedDb();
    sesion() = Sesion{};
    trace_ = path(QStringLiteral("traza.sql"));
    qputenv("KL_TRAZA_SQL", QFile::encodeName(trace_));
    previousEnd_ = db::installProgramEnd([ends = programEnds_] { ++*ends; });
    previousLink_ = db::installSessionLink({});
    file_ = path(QStringLiteral("contab.db"));
    const StepResult created = klbase::createDatabaseFile(
        file_, [](klbase::Database& database) { return klbase::createSchema(database); });
    ASSERT_FALSE(created) << created->description.toStdString();
}

void SessionDbTest::TearDown() {
    kl::test::releaseSharedSession();
    db::installProgramEnd(previousEnd_);
    db::installSessionLink(previousLink_);
    qunsetenv("KL_TRAZA_SQL");
}

QString SessionDbTest::procesoDelPrograma() {
    return QStringLiteral("SHELL:") + db::executableName().toUpper();
}

void SessionDbTest::connect(const QString& usuario) {
    ASSERT_TRUE(kl::test::connectSharedDb(file_, usuario));
    traced();
}

void SessionDbTest::exec(const QString& sql) {
    EmbeddedDb::exec(file_, sql);
}

QString SessionDbTest::scalar(const QString& sql) {
    return EmbeddedDb::scalar(file_, sql);
}

QStringList SessionDbTest::traced() {
    return kl::test::newTraceLines(trace_, traceRead_);
}

}  // namespace kl::test
