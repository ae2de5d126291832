#pragma once
// TIniFile with Windows profile semantics: case-insensitive sections and keys, the first of
// duplicate keys wins, values trimmed and surrounding quotes stripped on read, every write on
// disk at once through a safe replace (the file is created by the first write), or, inside
// BeginUpdate/EndUpdate, all of them in one replace.
// Reads come from a parsed copy that is refreshed when the file changes on disk.
#include <QString>
#include <QStringList>
#include <memory>

class TIniFile {
public:
    explicit TIniFile(const QString& fileName);
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const QString& FileName() const;

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // Decimal or "0x" hexadecimal; anything else gives the default.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    // "0" is false, any other integer true; a value that is not an integer gives the default.
    bool ReadBool(const QString& section, const QString& key, bool def) const;

    // Each write raises Exception naming the file when it cannot be stored.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);  // "1" / "0"

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QStringList ReadSections() const;
    QStringList ReadSection(const QString& section) const;          // the keys
    QStringList ReadSectionValues(const QString& section) const;    // "key=value" lines
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& key);
    // Between BeginUpdate and EndUpdate (pairs may nest) the writes change only the parsed
    // copy; the last EndUpdate replaces the file once with all of them, so that a program
    // killed meanwhile leaves the file as it was before. A failure raises there. Writes still
    // held when the object goes are dropped.
    void BeginUpdate();
    void EndUpdate();
    // Writes the held changes now (nothing when none are held).
    void UpdateFile();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
