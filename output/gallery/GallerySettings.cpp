#include "output/gallery/GallerySettings.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/SysUtils.h"

#include <QFile>

QString GalleryIniPath() { return ProgramFolder() + QStringLiteral("Gallery.ini"); }

void ProtectGalleryIni()
{
    QFile file(GalleryIniPath());
    if (file.exists())
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString DescribeIniProblems(const QList<TIniProblem>& problems)
{
    QStringList lines;
    for (const TIniProblem& p : problems) {
        const QString used = p.Used.isEmpty() ? QStringLiteral("\"\"") : p.Used;
        lines << QStringLiteral("%1: [%2] %3=%4  \u2192  %5").arg(p.File, p.Section, p.Key, p.Value, used);
    }
    return lines.join(QLatin1Char('\n'));
}

namespace {

const QString kSettings = QStringLiteral("SETTINGS");
const QString kFtp = QStringLiteral("FTP");

// The keys of one section of a file, each read on its own; the problems go to one list.
class SectionReader {
public:
    SectionReader(const QString& file, const QString& section, QList<TIniProblem>& problems)
        : m_ini(file), m_file(file), m_section(section), m_problems(problems)
    {
    }

    // A number in range; one outside is clamped into it, anything else takes the default.
    int Number(const QString& key, int def, TIntRange range)
    {
        QString value;
        if (!Read(key, value))
            return def;
        long long n = 0;
        const bool number = TryStrToInt64(value, n);
        const int used = number ? range.Clamp(n) : def;
        if (!number || n != used)
            Report(key, value, QString::number(used));
        return used;
    }

    // A colour (red in the low byte); anything else takes the default.
    TColor Color(const QString& key, TColor def)
    {
        QString value;
        if (!Read(key, value))
            return def;
        long long n = 0;
        if (TryStrToInt64(value, n) && n >= 0 && n <= 0xFFFFFF)
            return TColor(n);
        Report(key, value, QString::number(def));
        return def;
    }

    // "TRUE" or "FALSE" in any case; an empty value is false. Anything else takes the default.
    bool Boolean(const QString& key, bool def)
    {
        QString value;
        if (!Read(key, value))
            return def;
        const QString upper = value.toUpper();
        if (upper == QLatin1String("TRUE"))
            return true;
        if (upper.isEmpty() || upper == QLatin1String("FALSE"))
            return false;
        Report(key, value, def ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        return def;
    }

    QString Text(const QString& key) { return m_ini.ReadString(m_section, key, QString()); }

    void Report(const QString& key, const QString& value, const QString& used)
    {
        m_problems << TIniProblem{m_file, m_section, key, value, used};
    }

private:
    bool Read(const QString& key, QString& value) const
    {
        if (!m_ini.ValueExists(m_section, key))
            return false;
        value = m_ini.ReadString(m_section, key, QString());
        return true;
    }

    TIniFile m_ini;
    QString m_file;
    QString m_section;
    QList<TIniProblem>& m_problems;
};

QString IniBool(bool value) { return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); }

} // namespace

TGallerySettings ReadGallerySettings(const QString& file, QList<TIniProblem>& problems)
{
    const TGallerySettings defaults;
    TGallerySettings s;
    SectionReader r(file, kSettings, problems);
    s.SmallPicX = r.Number(QStringLiteral("SmallPicX"), defaults.SmallPicX, kWebSizeRange);
    s.LargePicX = r.Number(QStringLiteral("LargePicX"), defaults.LargePicX, kWebSizeRange);
    s.Compression = r.Number(QStringLiteral("Compression"), defaults.Compression, kCompressionRange);
    s.PicProRow = r.Number(QStringLiteral("PicProRow"), defaults.PicProRow, kPicProRowRange);
    s.BKGColor = r.Color(QStringLiteral("BKGColor"), defaults.BKGColor);
    s.TextColor = r.Color(QStringLiteral("TextColor"), defaults.TextColor);
    s.TextVisible = r.Boolean(QStringLiteral("TextVisible"), defaults.TextVisible);
    s.FilenameVisible = r.Boolean(QStringLiteral("FilenameVisible"), defaults.FilenameVisible);
    s.ShapeVisible = r.Boolean(QStringLiteral("ShapeVisible"), defaults.ShapeVisible);
    return s;
}

void WriteGallerySettings(const QString& file, const TGallerySettings& s)
{
    TIniFile ini(file);
    ini.BeginUpdate();
    ini.WriteString(kSettings, QStringLiteral("SmallPicX"), QString::number(s.SmallPicX));
    ini.WriteString(kSettings, QStringLiteral("LargePicX"), QString::number(s.LargePicX));
    ini.WriteString(kSettings, QStringLiteral("Compression"), QString::number(s.Compression));
    ini.WriteString(kSettings, QStringLiteral("PicProRow"), QString::number(s.PicProRow));
    ini.WriteString(kSettings, QStringLiteral("TextColor"), QString::number(s.TextColor));
    ini.WriteString(kSettings, QStringLiteral("BKGColor"), QString::number(s.BKGColor));
    ini.WriteString(kSettings, QStringLiteral("TextVisible"), IniBool(s.TextVisible));
    ini.WriteString(kSettings, QStringLiteral("FilenameVisible"), IniBool(s.FilenameVisible));
    ini.WriteString(kSettings, QStringLiteral("ShapeVisible"), IniBool(s.ShapeVisible));
    ini.EndUpdate();
}

TFtpSettings ReadFtpSettings(const QString& file, QList<TIniProblem>& problems)
{
    SectionReader r(file, kFtp, problems);
    TFtpSettings s;
    s.Host = r.Text(QStringLiteral("host"));
    s.Port = r.Text(QStringLiteral("port"));
    s.User = r.Text(QStringLiteral("user-ID"));
    s.Password = r.Text(QStringLiteral("password"));
    s.ServerDir = r.Text(QStringLiteral("ServerDir"));
    int port = 0;
    if (!s.Port.isEmpty() && (!TryStrToInt(s.Port, port) || port < 1 || port > 65535)) {
        r.Report(QStringLiteral("port"), s.Port, QString());
        s.Port.clear();
    }
    return s;
}
