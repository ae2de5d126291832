#include "platform/db/DataSource.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <algorithm>

namespace {

// SQLite's rule for the affinity of a declared type.
TDataSource::TFieldKind KindOfDeclaredType(const QString& declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT")))
        return TDataSource::fkInteger;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")))
        return TDataSource::fkText;
    if (t.isEmpty() || t.contains(QLatin1String("BLOB")))
        return TDataSource::fkBlob;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return TDataSource::fkReal;
    return TDataSource::fkReal;  // numeric affinity
}

QString Quoted(const QString& name) { return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"'); }

} // namespace

TDataLink::~TDataLink()
{
    if (m_source)
        m_source->RemoveLink(this);
}

TDataSource::TDataSource(QObject* parent)
    : QObject(parent), m_connection(QStringLiteral("kv_db_") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

TDataSource::~TDataSource()
{
    for (TDataLink* link : m_links)
        link->m_source = nullptr;
    m_links.clear();
    Close();
}

void TDataSource::Open(const QString& databaseFile, const QString& table)
{
    Close();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(databaseFile);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READWRITE"));
        if (!db.open())
            throw EDatabaseError(QStringLiteral("Cannot open ") + databaseFile + QStringLiteral(": ") + db.lastError().text());
        QSqlQuery info(db);
        if (!info.exec(QStringLiteral("PRAGMA table_info(") + Quoted(table) + QLatin1Char(')')))
            throw EDatabaseError(info.lastError().text());
        while (info.next())
            m_columns.emplace_back(info.value(1).toString(), KindOfDeclaredType(info.value(2).toString()));
        if (m_columns.empty()) {
            db.close();
            throw EDatabaseError(QStringLiteral("No table ") + table + QStringLiteral(" in ") + databaseFile);
        }
        QSqlQuery rows(db);
        rows.exec(QStringLiteral("SELECT rowid FROM ") + Quoted(table) + QStringLiteral(" ORDER BY rowid"));
        while (rows.next())
            m_rows.push_back(rows.value(0).toLongLong());
    }
    m_table = table;
    m_active = true;
    m_row = m_rows.empty() ? -1 : 0;
    Notify();
}

void TDataSource::Close()
{
    const bool was = m_active;
    m_active = false;
    m_rows.clear();
    m_columns.clear();
    m_pending.clear();
    m_row = -1;
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
    if (was)
        Notify();
}

void TDataSource::MoveTo(int row)
{
    if (!m_active || m_rows.empty())
        return;
    row = std::clamp(row, 0, RecordCount() - 1);
    if (row == m_row)
        return;
    m_pending.clear();
    m_row = row;
    Notify();
}

qint64 TDataSource::RowId() const { return m_row >= 0 ? m_rows[std::size_t(m_row)] : -1; }

TDataSource::TFieldKind TDataSource::FieldKind(const QString& name) const
{
    for (const auto& [column, kind] : m_columns)
        if (column.compare(name, Qt::CaseInsensitive) == 0)
            return kind;
    return fkMissing;
}

QVariant TDataSource::FieldValue(const QString& name) const
{
    if (!m_active || m_row < 0 || FieldKind(name) == fkMissing)
        return QVariant();
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT ") + Quoted(name) + QStringLiteral(" FROM ") + Quoted(m_table) +
              QStringLiteral(" WHERE rowid = ?"));
    q.addBindValue(RowId());
    if (!q.exec() || !q.next())
        return QVariant();
    return q.value(0);
}

void TDataSource::SetFieldValue(const QString& name, const QVariant& value)
{
    if (FieldKind(name) == fkMissing)
        throw EDatabaseError(QStringLiteral("Field '") + name + QStringLiteral("' not found"));
    for (auto& [column, v] : m_pending)
        if (column.compare(name, Qt::CaseInsensitive) == 0) {
            v = value;
            return;
        }
    m_pending.emplace_back(name, value);
}

void TDataSource::Post()
{
    if (!m_active || m_row < 0)
        throw EDatabaseError(QStringLiteral("No current row to post"));
    for (TDataLink* link : std::vector<TDataLink*>(m_links))
        link->UpdateData();
    if (m_pending.empty())
        return;
    QString set;
    for (const auto& p : m_pending)
        set += (set.isEmpty() ? QString() : QStringLiteral(", ")) + Quoted(p.first) + QStringLiteral(" = ?");
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("UPDATE ") + Quoted(m_table) + QStringLiteral(" SET ") + set + QStringLiteral(" WHERE rowid = ?"));
    for (const auto& p : m_pending)
        q.addBindValue(p.second.isNull() ? QVariant(p.second.metaType()) : p.second);
    q.addBindValue(RowId());
    if (!q.exec())
        throw EDatabaseError(q.lastError().text());
    m_pending.clear();
}

void TDataSource::AddLink(TDataLink* link)
{
    if (!link || std::find(m_links.begin(), m_links.end(), link) != m_links.end())
        return;
    if (link->m_source && link->m_source != this)
        link->m_source->RemoveLink(link);
    link->m_source = this;
    m_links.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link)
{
    m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end());
    if (link && link->m_source == this)
        link->m_source = nullptr;
}

void TDataSource::Notify()
{
    for (TDataLink* link : std::vector<TDataLink*>(m_links))
        link->RecordChanged();
}
