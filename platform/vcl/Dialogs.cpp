#include "platform/vcl/Dialogs.h"

#include "platform/vcl/Application.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {

int AskBox(TMsgDlgType type, const QString& caption, const QString& text, TMsgDlgButtons buttons,
           int defaultResult)
{
    TAskRequest request;
    request.Kind = TAskKind::MessageBox;
    request.Type = type;
    request.Caption = caption;
    request.Text = text;
    request.Buttons = buttons;
    request.DefaultResult = defaultResult;
    return Interaction().Ask(request).Result;
}

QString CaseInsensitiveMask(const QString& mask)
{
    if (mask == QLatin1String("*.*"))
        return QStringLiteral("*");
    QString out;
    for (const QChar c : mask) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

} // namespace

int MessageDlg(const QString& message, TMsgDlgType type, TMsgDlgButtons buttons, int)
{
    QString caption;
    switch (type) {
    case mtWarning: caption = QStringLiteral("Warning"); break;
    case mtError: caption = QStringLiteral("Error"); break;
    case mtInformation: caption = QStringLiteral("Information"); break;
    case mtConfirmation: caption = QStringLiteral("Confirm"); break;
    case mtCustom: caption = Application->Title(); break;
    }
    int defaultResult = mrNone;
    if (buttons.Contains(mbOK))
        defaultResult = mrOk;
    else if (buttons.Contains(mbYes))
        defaultResult = mrYes;
    else if (buttons.Contains(mbRetry))
        defaultResult = mrRetry;
    return AskBox(type, caption, message, buttons, defaultResult);
}

void ShowMessage(const QString& message) { AskBox(mtCustom, Application->Title(), message, {mbOK}, mrOk); }

int MessageBoxFlags(const QString& text, const QString& caption, int flags)
{
    std::vector<TMsgDlgBtn> order;
    switch (flags & 0xF) {
    case MB_OKCANCEL: order = {mbOK, mbCancel}; break;
    case MB_ABORTRETRYIGNORE: order = {mbAbort, mbRetry, mbIgnore}; break;
    case MB_YESNOCANCEL: order = {mbYes, mbNo, mbCancel}; break;
    case MB_YESNO: order = {mbYes, mbNo}; break;
    case MB_RETRYCANCEL: order = {mbRetry, mbCancel}; break;
    default: order = {mbOK}; break;
    }
    TMsgDlgType type = mtCustom;
    switch (flags & 0xF0) {
    case MB_ICONERROR: type = mtError; break;
    case MB_ICONQUESTION: type = mtConfirmation; break;
    case MB_ICONWARNING: type = mtWarning; break;
    case MB_ICONINFORMATION: type = mtInformation; break;
    default: break;
    }
    TMsgDlgButtons buttons;
    for (TMsgDlgBtn b : order)
        buttons.Add(b);
    const size_t defaultIndex = size_t((flags >> 8) & 0xF);
    const TMsgDlgBtn def = order[defaultIndex < order.size() ? defaultIndex : 0];
    return AskBox(type, caption, text, buttons, ModalResultOf(def));
}

bool TOpenDialog::Execute()
{
    TAskRequest request;
    request.Kind = m_kind;
    request.Caption = Title;
    request.Text = FileName;
    request.Data = {
        {QStringLiteral("Filter"), Filter},         {QStringLiteral("FilterIndex"), FilterIndex},
        {QStringLiteral("InitialDir"), InitialDir}, {QStringLiteral("DefaultExt"), DefaultExt},
        {QStringLiteral("Options"), Options},
    };
    const TAskAnswer answer = Interaction().Ask(request);
    if (answer.Result == 0 || answer.Files.isEmpty())
        return false;
    Files = answer.Files;
    FileName = Files.first();
    if (answer.Value.isValid() && answer.Value.toInt() > 0)
        FilterIndex = answer.Value.toInt();
    if (!(Options & ofNoChangeDir))
        QDir::setCurrent(QFileInfo(FileName).absolutePath());
    return true;
}

bool TColorDialog::Execute()
{
    TAskRequest request;
    request.Kind = TAskKind::Color;
    request.Caption = Title;
    request.Data = {{QStringLiteral("Color"), Color}};
    const TAskAnswer answer = Interaction().Ask(request);
    if (answer.Result == 0 || answer.Color == clNone)
        return false;
    Color = answer.Color;
    return true;
}

bool SelectDirectory(const QString& caption, const QString& root, QString& directory)
{
    TAskRequest request;
    request.Kind = TAskKind::SelectFolder;
    request.Caption = caption;
    request.Text = directory.isEmpty() ? root : directory;
    request.Data = {{QStringLiteral("Root"), root}};
    const TAskAnswer answer = Interaction().Ask(request);
    if (answer.Result == 0 || answer.Files.isEmpty())
        return false;
    directory = answer.Files.first();
    return true;
}

QString QtFileFilter(const QString& frameworkFilter)
{
    const QStringList parts = frameworkFilter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList masks;
        for (const QString& m : parts[i + 1].split(QLatin1Char(';'))) {
            const QString mask = m.trimmed();
            if (!mask.isEmpty())
                masks << CaseInsensitiveMask(mask);
        }
        if (masks.isEmpty())
            continue;
        const QString text = parts[i].trimmed().isEmpty() ? parts[i + 1].trimmed() : parts[i].trimmed();
        entries << text + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

int ShellOpen(const QString& target)
{
    if (target.trimmed().isEmpty())
        return SE_ERR_FNF;
    // A scheme has at least two letters, so that "C:" is not one.
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]+):"));
    const QRegularExpressionMatch m = scheme.match(target);
    QUrl url;
    if (m.hasMatch() && m.captured(1).compare(QLatin1String("file"), Qt::CaseInsensitive) != 0) {
        url = QUrl(target, QUrl::TolerantMode);
        if (!url.isValid())
            return SE_ERR_FNF;
    } else {
        QString path = m.hasMatch() ? QUrl(target, QUrl::TolerantMode).toLocalFile() : target;
        if (path.isEmpty())
            return SE_ERR_FNF;
        path = QDir::current().absoluteFilePath(path);
        if (!QFileInfo::exists(path))
            return SE_ERR_FNF;
        url = QUrl::fromLocalFile(path);
    }
    TAskRequest request;
    request.Kind = TAskKind::ShellOpen;
    request.Text = url.toString();
    return Interaction().Ask(request).Result ? kShellOpenOk : SE_ERR_NOASSOC;
}
