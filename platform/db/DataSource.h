#pragma once
// A data source of the data-aware controls over Qt SQL with SQLite as the embedded database:
// one table of a database file, its rows in rowid order, a current row and its fields by name.
// Linked controls (TDataLink) hear when the source opens, closes or moves to another row, and
// put their changed values into the row when it is posted.
//
// Field kinds follow the column's declared type: BLOB or no declared type is a blob; TEXT
// (and CHAR, CLOB), INTEGER (INT) and REAL (FLOA, DOUB) as SQLite reads declared types.
#include "platform/vcl/Exceptions.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariant>

#include <vector>

class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

class TDataSource;

// The control's side of a link.
class TDataLink {
public:
    virtual ~TDataLink();
    // The source opened, closed or moved to another row: read the field again.
    virtual void RecordChanged() = 0;
    // The row is being posted: put a changed value into it (SetFieldValue).
    virtual void UpdateData() = 0;
    TDataSource* Source() const { return m_source; }

private:
    friend class TDataSource;
    TDataSource* m_source = nullptr;
};

class TDataSource : public QObject {
public:
    enum TFieldKind { fkMissing, fkBlob, fkText, fkInteger, fkReal };

    explicit TDataSource(QObject* parent = nullptr);
    ~TDataSource() override;

    // Opens table of the SQLite database file at its first row; raises EDatabaseError when the
    // file or the table cannot be opened.
    void Open(const QString& databaseFile, const QString& table);
    void Close();
    bool Active() const { return m_active; }
    QString TableName() const { return m_table; }

    int RecordCount() const { return int(m_rows.size()); }
    // The current row (0 .. RecordCount - 1; -1 when there is none).
    int RecNo() const { return m_row; }
    void MoveTo(int row);
    void First() { MoveTo(0); }
    void Next() { MoveTo(m_row + 1); }
    qint64 RowId() const;

    TFieldKind FieldKind(const QString& name) const;
    // The field of the current row (a null QVariant for NULL or without a row).
    QVariant FieldValue(const QString& name) const;
    // Kept until Post; a null QVariant writes NULL.
    void SetFieldValue(const QString& name, const QVariant& value);
    // Asks every link for its changes, then writes the row; raises EDatabaseError on failure.
    void Post();

    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);

private:
    void Notify();
    QString m_connection;
    QString m_table;
    bool m_active = false;
    std::vector<qint64> m_rows;
    int m_row = -1;
    std::vector<std::pair<QString, TFieldKind>> m_columns;
    std::vector<std::pair<QString, QVariant>> m_pending;
    std::vector<TDataLink*> m_links;
};
