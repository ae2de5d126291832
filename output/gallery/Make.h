#pragma once
// TMake: one HTML page from a head template, body lines and a foot template. The templates
// are text files TemplateBase + ".ht1" (head) and ".ht2" (foot), read when the object is
// made; the page is written in Windows-1252 with numeric references for everything outside
// it (the pages declare no character set).
#include "platform/vcl/StringList.h"

#include <QString>

class TMake {
public:
    // Reads both templates; a missing template raises EInOutError naming it.
    TMake(const QString& templateBase, const QString& outFile);

    QString TemplateBase;
    QString OutFile;
    TStringList Head;
    TStringList Foot;
    TStringList Body;

    // Writes Head, Body and Foot, each line ended by CR LF, to OutFile (replacing it through a
    // temporary file). True on success; a failure raises an exception naming the file.
    bool Make();
};
