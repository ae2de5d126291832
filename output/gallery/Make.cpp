#include "output/gallery/Make.h"

#include "platform/vcl/TextCodec.h"

TMake::TMake(const QString& templateBase, const QString& outFile) : TemplateBase(templateBase), OutFile(outFile)
{
    Head.LoadFromFile(TemplateBase + QStringLiteral(".ht1"));
    Foot.LoadFromFile(TemplateBase + QStringLiteral(".ht2"));
}

bool TMake::Make()
{
    QString page;
    for (const TStringList* part : {&Head, &Body, &Foot})
        for (const QString& line : part->List())
            page += line + QStringLiteral("\r\n");
    WriteFileSafely(OutFile, EncodeWindows1252Html(page));
    return true;
}
