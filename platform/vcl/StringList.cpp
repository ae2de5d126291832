#include "platform/vcl/StringList.h"

#include "platform/vcl/TextCodec.h"

#include <algorithm>

namespace {

int compareItems(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}

[[noreturn]] void throwSortedListError()
{
    throw EStringListError(QStringLiteral("Operation not allowed on sorted list"));
}

} // namespace

void TStringList::checkIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw EStringListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

const QString& TStringList::operator[](int index) const
{
    checkIndex(index, Count());
    return m_items[index];
}

QString& TStringList::operator[](int index)
{
    checkIndex(index, Count());
    return m_items[index];
}

void TStringList::SetString(int index, const QString& s)
{
    if (m_sorted)
        throwSortedListError();
    checkIndex(index, Count());
    m_items[index] = s;
}

int TStringList::Add(const QString& s)
{
    if (!m_sorted) {
        m_items.append(s);
        return Count() - 1;
    }
    int index = 0;
    if (Find(s, index)) {
        if (m_duplicates == TDuplicates::dupIgnore)
            return index;
        if (m_duplicates == TDuplicates::dupError)
            throw EStringListError(QStringLiteral("Duplicates not allowed"));
        // dupAccept: after the equal items already there, so equal items keep their order.
        while (index < Count() && compareItems(m_items[index], s) == 0)
            ++index;
    }
    m_items.insert(index, s);
    return index;
}

void TStringList::Insert(int index, const QString& s)
{
    if (m_sorted)
        throwSortedListError();
    checkIndex(index, Count() + 1);
    m_items.insert(index, s);
}

void TStringList::Delete(int index)
{
    checkIndex(index, Count());
    m_items.removeAt(index);
}

void TStringList::Move(int from, int to)
{
    if (from == to)
        return;
    // Checked before anything changes, so a failing move loses no item.
    if (m_sorted)
        throwSortedListError();
    checkIndex(from, Count());
    checkIndex(to, Count());
    m_items.move(from, to);
}

void TStringList::Exchange(int a, int b)
{
    checkIndex(a, Count());
    checkIndex(b, Count());
    m_items.swapItemsAt(a, b);
}

int TStringList::IndexOf(const QString& s) const
{
    if (m_sorted) {
        int index = 0;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (compareItems(m_items[i], s) == 0)
            return i;
    return -1;
}

bool TStringList::Find(const QString& s, int& index) const
{
    if (!m_sorted) {
        const int i = IndexOf(s);
        index = i < 0 ? Count() : i;
        return i >= 0;
    }
    // Lower bound: the first item not less than s.
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (compareItems(m_items[mid], s) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo;
    return lo < Count() && compareItems(m_items[lo], s) == 0;
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted && !m_sorted)
        Sort();
    m_sorted = sorted;
}

void TStringList::Sort()
{
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const QString& a, const QString& b) { return compareItems(a, b) < 0; });
}

QString TStringList::Text() const
{
    QString r;
    for (const QString& line : m_items)
        r += line + QLatin1String("\r\n");
    return r;
}

void TStringList::SetText(const QString& text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        lines.append(text.mid(start, end - start));
        if (end < n && text[end] == QLatin1Char('\r'))
            ++end;
        if (end < n && text[end] == QLatin1Char('\n'))
            ++end;
        start = end;
    }
    if (!m_sorted) {
        m_items = lines;
        return;
    }
    // A sorted list takes every line through Add (order and duplicates); a failing Add
    // (dupError) leaves the list as it was.
    TStringList sorted;
    sorted.m_sorted = true;
    sorted.m_duplicates = m_duplicates;
    for (const QString& line : lines)
        sorted.Add(line);
    m_items = std::move(sorted.m_items);
}

void TStringList::LoadFromFile(const QString& fileName)
{
    SetText(ReadTextFile(fileName));
}

void TStringList::SaveToFile(const QString& fileName) const
{
    WriteFileSafely(fileName, EncodeTextFile(Text()));
}
