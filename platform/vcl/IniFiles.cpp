#include "platform/vcl/IniFiles.h"

#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/TextCodec.h"

#include <QFile>
#include <QHash>

#include <sys/stat.h>

namespace {

// What the file looked like when it was last read: a change of any field means another
// writer has been at it.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;

    bool operator==(const FileStamp& o) const = default;
};

FileStamp stampOf(const QString& fileName)
{
    FileStamp s;
    struct stat st {};
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modifiedNs = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    s.changedNs = st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec;
    return s;
}

// One line of an ini file.
struct IniLine {
    enum class Kind { Other, Section, Pair } kind = Kind::Other;
    QString name;   // section name or key, trimmed
    QString value;  // trimmed, one pair of surrounding quotes removed
};

QString unquote(const QString& v)
{
    if (v.size() >= 2 && v.front() == v.back()
        && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')))
        return v.mid(1, v.size() - 2);
    return v;
}

IniLine classify(const QString& line)
{
    IniLine r;
    const QString t = Trim(line);
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')))
        return r;
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        r.kind = IniLine::Kind::Section;
        r.name = Trim(close < 0 ? t.mid(1) : t.mid(1, close - 1));
        return r;
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return r;
    r.name = Trim(t.left(eq));
    if (r.name.isEmpty())
        return r;
    r.kind = IniLine::Kind::Pair;
    r.value = unquote(Trim(t.mid(eq + 1)));
    return r;
}

QString fold(const QString& s) { return s.toCaseFolded(); }

QString sanitize(const QString& s)
{
    QString r = s;
    r.replace(QLatin1String("\r\n"), QLatin1String(" "));
    r.replace(QLatin1Char('\r'), QLatin1Char(' '));
    r.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return r;
}

// The value as it is written, so that reading gives it back: line breaks become blanks,
// and a value with blanks at its ends or in quotes of its own is put in double quotes.
QString encodeValue(const QString& value)
{
    const QString v = sanitize(value);
    if (v != Trim(v) || unquote(v) != v)
        return QLatin1Char('"') + v + QLatin1Char('"');
    return v;
}

struct Section {
    QString name;                    // as first written in the file
    QStringList keys;                // first spelling of each key, in file order
    QHash<QString, QString> values;  // folded key -> value of its first occurrence
};

} // namespace

struct TIniFile::Impl {
    QString fileName;
    bool loaded = false;
    FileStamp stamp;
    QStringList lines;
    QList<Section> sections;
    QHash<QString, int> sectionIndex;  // folded name -> index in sections
    int updateDepth = 0;
    bool held = false;  // the parsed copy holds writes that are not on disk yet

    // Brings the parsed copy up to date with the file. A file that exists but cannot be read
    // reads as empty, or raises when `forWriting` (it must not be replaced by a new one).
    void refresh(bool forWriting)
    {
        // Held writes are the newest state; the file is not read over them.
        if (held)
            return;
        const FileStamp now = stampOf(fileName);
        if (loaded && now == stamp)
            return;
        QStringList newLines;
        if (now.exists) {
            try {
                TStringList list;
                list.LoadFromFile(fileName);
                newLines = list.List();
            } catch (const Exception&) {
                if (forWriting)
                    throw;
                loaded = false;
                setLines({});
                return;
            }
        }
        setLines(newLines);
        stamp = now;
        loaded = true;
    }

    void setLines(const QStringList& newLines)
    {
        lines = newLines;
        sections.clear();
        sectionIndex.clear();
        Section* current = nullptr;
        for (const QString& line : lines) {
            const IniLine l = classify(line);
            if (l.kind == IniLine::Kind::Section) {
                const QString key = fold(l.name);
                auto it = sectionIndex.constFind(key);
                if (it == sectionIndex.constEnd()) {
                    it = sectionIndex.insert(key, int(sections.size()));
                    sections.append(Section{l.name, {}, {}});
                }
                current = &sections[*it];
            } else if (l.kind == IniLine::Kind::Pair && current) {
                const QString key = fold(l.name);
                if (!current->values.contains(key)) {
                    current->values.insert(key, l.value);
                    current->keys.append(l.name);
                }
            }
        }
    }

    const Section* find(const QString& section)
    {
        refresh(false);
        const auto it = sectionIndex.constFind(fold(Trim(section)));
        return it == sectionIndex.constEnd() ? nullptr : &sections[*it];
    }

    const QString* value(const QString& section, const QString& key)
    {
        const Section* s = find(section);
        if (!s)
            return nullptr;
        const auto it = s->values.constFind(fold(Trim(key)));
        return it == s->values.constEnd() ? nullptr : &*it;
    }

    // Calls f(index, line) for every line inside the sections named `section`, the headers
    // excluded, and returns the index of the first header (or -1).
    template <typename F>
    int forEachLineIn(const QString& section, F f) const
    {
        const QString target = fold(Trim(section));
        int firstHeader = -1;
        bool inside = false;
        for (int i = 0; i < lines.size(); ++i) {
            const IniLine l = classify(lines[i]);
            if (l.kind == IniLine::Kind::Section) {
                inside = fold(l.name) == target;
                if (inside && firstHeader < 0)
                    firstHeader = i;
            } else if (inside) {
                f(i, l);
            }
        }
        return firstHeader;
    }

    void store(const QStringList& newLines)
    {
        if (newLines == lines && (stamp.exists || held))
            return;
        if (updateDepth > 0) {
            setLines(newLines);
            held = true;
            return;
        }
        writeLines(newLines);
    }

    void writeLines(const QStringList& newLines)
    {
        QString text;
        for (const QString& line : newLines)
            text += line + QLatin1String("\r\n");
        WriteFileSafely(fileName, EncodeText(text));
        setLines(newLines);
        stamp = stampOf(fileName);
        loaded = true;
        held = false;
    }
};

TIniFile::TIniFile(const QString& fileName) : d(std::make_unique<Impl>())
{
    d->fileName = fileName;
}

TIniFile::~TIniFile() = default;

const QString& TIniFile::FileName() const { return d->fileName; }

void TIniFile::BeginUpdate()
{
    ++d->updateDepth;
}

void TIniFile::EndUpdate()
{
    if (d->updateDepth > 0 && --d->updateDepth == 0)
        UpdateFile();
}

void TIniFile::UpdateFile()
{
    if (d->held)
        d->writeLines(d->lines);
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const
{
    const QString* v = d->value(section, key);
    return v ? *v : def;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const
{
    const QString* v = d->value(section, key);
    if (!v)
        return def;
    // Decimal and "0x" only: the "$" form that StrToInt also takes is no ini syntax.
    const bool signed_ = v->startsWith(QLatin1Char('-')) || v->startsWith(QLatin1Char('+'));
    if (v->mid(signed_ ? 1 : 0).startsWith(QLatin1Char('$')))
        return def;
    return StrToIntDef(*v, def);
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    d->refresh(true);
    const QString sectionName = sanitize(Trim(section));
    const QString keyName = sanitize(Trim(key));
    const QString foldedKey = fold(keyName);
    int keyLine = -1;
    const int header = d->forEachLineIn(sectionName, [&](int i, const IniLine& l) {
        if (keyLine < 0 && l.kind == IniLine::Kind::Pair && fold(l.name) == foldedKey)
            keyLine = i;
    });
    QStringList lines = d->lines;
    if (keyLine >= 0) {
        lines[keyLine] = classify(lines[keyLine]).name + QLatin1Char('=') + encodeValue(value);
    } else if (header >= 0) {
        // After the last key of the section's first occurrence (comments and blank lines
        // that follow it stay where they are).
        int insertAt = header + 1;
        for (int i = header + 1; i < lines.size(); ++i) {
            const IniLine l = classify(lines[i]);
            if (l.kind == IniLine::Kind::Section)
                break;
            if (l.kind == IniLine::Kind::Pair)
                insertAt = i + 1;
        }
        lines.insert(insertAt, keyName + QLatin1Char('=') + encodeValue(value));
    } else {
        if (!lines.isEmpty() && !Trim(lines.back()).isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + sectionName + QLatin1Char(']'));
        lines.append(keyName + QLatin1Char('=') + encodeValue(value));
    }
    d->store(lines);
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, IntToStr(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::SectionExists(const QString& section) const { return d->find(section) != nullptr; }

bool TIniFile::ValueExists(const QString& section, const QString& key) const
{
    return d->value(section, key) != nullptr;
}

QStringList TIniFile::ReadSections() const
{
    d->refresh(false);
    QStringList r;
    for (const Section& s : d->sections)
        r.append(s.name);
    return r;
}

QStringList TIniFile::ReadSection(const QString& section) const
{
    const Section* s = d->find(section);
    return s ? s->keys : QStringList();
}

QStringList TIniFile::ReadSectionValues(const QString& section) const
{
    const Section* s = d->find(section);
    QStringList r;
    if (s)
        for (const QString& key : s->keys)
            r.append(key + QLatin1Char('=') + s->values.value(fold(key)));
    return r;
}

void TIniFile::EraseSection(const QString& section)
{
    d->refresh(true);
    const QString target = fold(Trim(section));
    QStringList lines;
    bool inside = false;
    for (const QString& line : d->lines) {
        const IniLine l = classify(line);
        if (l.kind == IniLine::Kind::Section)
            inside = fold(l.name) == target;
        if (!inside)
            lines.append(line);
    }
    if (lines.size() != d->lines.size())
        d->store(lines);
}

void TIniFile::DeleteKey(const QString& section, const QString& key)
{
    d->refresh(true);
    const QString foldedKey = fold(Trim(key));
    QList<int> drop;
    d->forEachLineIn(section, [&](int i, const IniLine& l) {
        if (l.kind == IniLine::Kind::Pair && fold(l.name) == foldedKey)
            drop.append(i);
    });
    if (drop.isEmpty())
        return;
    QStringList lines = d->lines;
    for (auto it = drop.crbegin(); it != drop.crend(); ++it)
        lines.removeAt(*it);
    d->store(lines);
}
