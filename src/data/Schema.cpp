#include "data/Schema.h"
#include "platform/db/Connection.h"

#include <QFile>

// The resources live in a static library: nothing refers to them, so register them explicitly.
static void initSchemaResources() { Q_INIT_RESOURCE(schema); }

namespace data {

namespace {
QString resource(const QString &name)
{
    initSchemaResources();
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("Recurso ausente: %1").arg(name));
    return QString::fromUtf8(f.readAll());
}
} // namespace

QString schemaSql() { return resource(QStringLiteral(":/sql/schema.sql")); }
QString seedSql() { return resource(QStringLiteral(":/sql/seed.sql")); }

void applySchema(db::Connection &c)
{
    const QString schema = schemaSql();
    const QString seed = seedSql();
    db::Transaction t(c);
    c.executeScript(schema);
    c.executeScript(seed);
    t.commit();
    c.reloadSchemaInfo();
}

void createDatabase(const QString &path)
{
    if (QFile::exists(path))
        throw db::DbError(QStringLiteral("O arquivo já existe: %1").arg(path));
    try {
        auto c = db::Connection::open(path, true);
        applySchema(*c);
    } catch (...) {
        // Never leave a half-made database behind.
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        throw;
    }
}

} // namespace data
