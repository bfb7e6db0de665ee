#include "support/TempStore.h"

#include "core/store/Database.h"
#include "core/store/Schema.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

TempStore::TempStore(bool openNow)
    : m_oldHome(qgetenv("XDG_DATA_HOME")), m_hadHome(qEnvironmentVariableIsSet("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
    if (openNow)
        open();
}

TempStore::~TempStore() {
    close();
    if (m_hadHome)
        qputenv("XDG_DATA_HOME", m_oldHome);
    else
        qunsetenv("XDG_DATA_HOME");
}

QString TempStore::storeDir() const {
    return QDir(m_dir.path()).filePath(QStringLiteral("Tinyra4"));
}
QString TempStore::storeFile() const {
    return QDir(storeDir()).filePath(QStringLiteral("tinyra4.sqlite"));
}

void TempStore::open() {
    Database::open();
}
void TempStore::close() {
    Database::close();
}

void TempStore::reopen() {
    close();
    open();
}

QString TempStore::writeOlderStore(int version, const QStringList& statements) const {
    if (!QDir().mkpath(storeDir()))
        return QStringLiteral("cannot make ") + storeDir();
    QStringList sql = Schema::createStatements();
    for (int from = version; from < Schema::version(); ++from)
        sql = sql.mid(0, sql.size() - Schema::migrationStatements(from).size());
    sql << statements << QStringLiteral("PRAGMA user_version = %1").arg(version);
    QString problem;
    {
        QSqlDatabase old = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("older"));
        old.setDatabaseName(storeFile());
        if (!old.open())
            return old.lastError().text();
        QSqlQuery q(old);
        for (const QString& statement : sql)
            if (problem.isEmpty() && !q.exec(statement))
                problem = statement + QStringLiteral(": ") + q.lastError().text();
        q.finish();
        old.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("older"));
    return problem;
}

void TempStore::addChild(const QString& first, const QString& middle, const QString& last) {
    Database::exec(QStringLiteral("INSERT INTO CHILD (FirstName, MiddleName, LastName) VALUES (?, ?, ?)"),
                   {first, middle, last});
}

void TempStore::setPrevious(const QString& first) {
    Database::exec(
        QStringLiteral("UPDATE PREVIOUS SET FirstName = ? WHERE rowid = (SELECT min(rowid) FROM PREVIOUS)"),
        {first});
}

QString TempStore::previous() {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT FirstName FROM PREVIOUS ORDER BY rowid"));
    return q.next() ? q.value(0).toString() : QString();
}

int TempStore::rowCount(const QString& table) {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT count(*) FROM %1").arg(table));
    return q.next() ? q.value(0).toInt() : -1;
}
