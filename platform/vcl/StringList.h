#pragma once
// TStringList: an ordered list of strings with the framework's semantics.
#include "platform/vcl/Exceptions.h"
#include <QString>
#include <QStringList>

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList {
public:
    TStringList() = default;

    int Count() const { return m_items.size(); }
    // Index outside 0..Count-1 raises EStringListError ("List index out of bounds (%d)").
    const QString& operator[](int index) const;
    QString& operator[](int index);
    QString Strings(int index) const { return (*this)[index]; }
    void SetString(int index, const QString& s);

    // SetString, Insert and Move raise EStringListError "Operation not allowed on sorted list"
    // on a sorted list (checked before anything changes).
    // In a sorted list Add inserts at the sorted place and returns it; an equal item already
    // there is kept and its index returned (dupIgnore), raises EStringListError
    // "Duplicates not allowed" (dupError) or gets the new one after it (dupAccept).
    // Duplicates has no effect on unsorted lists.
    int Add(const QString& s);
    void Insert(int index, const QString& s);  // 0 .. Count
    void Delete(int index);
    void Move(int from, int to);
    void Exchange(int a, int b);
    void Clear() { m_items.clear(); }
    // Case-insensitive, as the framework compares; sorted lists search by bisection.
    int IndexOf(const QString& s) const;
    // Sorted: true with the first equal item's index, or false with the index where s would
    // be inserted. Unsorted: as IndexOf, false with Count.
    bool Find(const QString& s, int& index) const;

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool sorted);
    // Case-insensitive and stable (equal items keep their order).
    void Sort();
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates d) { m_duplicates = d; }

    // Lines joined with CRLF, with a trailing CRLF after each line.
    QString Text() const;
    // Splits at CR, LF or CRLF; a line break at the end adds no empty line. A sorted list
    // takes the lines through Add; if that raises, the list is left as it was.
    void SetText(const QString& text);

    // Reads UTF-8 (BOM skipped) or Windows-1252; splits at CR, LF or CRLF.
    // A missing or unreadable file raises EInOutError "Cannot open file \"<name>\". <reason>"
    // and leaves the list as it was.
    void LoadFromFile(const QString& fileName);
    // Writes UTF-8 with CRLF after every line through a safe replace; an empty list writes
    // an empty file. A failure raises Exception naming the file.
    void SaveToFile(const QString& fileName) const;

    const QStringList& List() const { return m_items; }
    QStringList& List() { return m_items; }

private:
    void checkIndex(int index, int count) const;

    QStringList m_items;
    bool m_sorted = false;
    TDuplicates m_duplicates = TDuplicates::dupIgnore;
};
