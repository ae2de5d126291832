#pragma once
// The FTP window's command list: one command a line, "verb | first | second", and the
// upload list of a gallery folder.
#include <QString>
#include <QStringList>

struct TFtpCommand {
    QString Verb;
    QString First;
    QString Second;
    // verb + " " + first + " " + second, as the log shows it
    QString Display() const;
};

// The three fields of a line, trimmed (and nothing else: case is kept, since server folders
// and local paths depend on it). Missing fields are empty.
TFtpCommand ParseFtpCommand(const QString& line);

// "copy |" + path + " | " + server folder + "/" + name (without the folder and "/" when the
// trimmed server folder is empty) for every file of folder whose name does not begin with
// ".", in name order.
QStringList BuildUploadList(const QString& folder, const QString& serverDir);

// The progress bar's position after line i of count: i / (count - 1) x 100, halves to even;
// 100 for a single line.
int FtpProgressPosition(int i, int count);
