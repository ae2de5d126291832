#pragma once
// The text side of the item engine: entities, tags and attributes.
#include <QString>

#include <utility>
#include <vector>

namespace htmlmarkup {

// Replaces the named entities outside tags (&quot; &sect; &permil; &reg; &copy; &para;
// &trade; &euro;) in one pass, so a replacement is never read again; the first "<#" loses
// its "<" and the next ">" after it goes; every "\r" becomes "<BR>" and "\n" is dropped.
// &amp; &lt; &gt; &nbsp; stay for the runs (DecodeRun), so that they never open a tag.
QString Preprocess(const QString& text);

// The entities of a run of text: &nbsp; &lt; &gt; &amp;, in one pass.
QString DecodeRun(const QString& run);

// One tag, from its "<" to its ">".
class Tag {
public:
    explicit Tag(const QString& raw);

    // The upper-cased letters after "<" or "</".
    const QString& Name() const { return m_name; }
    bool Closing() const { return m_closing; }
    // The quoted value of the attribute (name ignoring case), unescaped; empty when the tag
    // has no such attribute or no quoted value for it.
    QString Attr(const char* name) const;
    // The first quoted value of the tag, unescaped.
    QString FirstValue() const;

private:
    QString m_raw;
    QString m_name;
    bool m_closing = false;
    std::vector<std::pair<QString, QString>> m_attrs;
};

// The number s holds (blanks around it allowed), cut to +-1000000; 0 when it is no number.
int ToInt(const QString& s);

} // namespace htmlmarkup
