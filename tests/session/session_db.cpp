#include "session_db.h"

#include "database_file.h"
#include "schema.h"

#include "dblayer/program_info.h"
#include "session/sesion.h"
#include "support/shared_db/shared_db.h"

namespace kl::test {

void SessionDbTest::SetUp() {
    DatabaseTest::SetUp();
    sesion() = Sesion{};
    previousLink_ = db::installSessionLink({});
    file_ = path(QStringLiteral("contab.db"));
    const StepResult created = klbase::createDatabaseFile(
        file_, [](klbase::Database& database) { return klbase::createSchema(database); });
    ASSERT_FALSE(created) << created->description.toStdString();
}

void SessionDbTest::TearDown() {
    releaseSharedSession();
    db::installSessionLink(previousLink_);
    DatabaseTest::TearDown();
}

QString SessionDbTest::procesoDelPrograma() {
    return QStringLiteral("SHELL:") + db::executableName().toUpper();
}

void SessionDbTest::connect(const QString& usuario) {
    ASSERT_TRUE(connectShared(file_, usuario));
}

}  // namespace kl::test
