#include "platform/vcl/Interaction.h"

#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include <QDeadlineTimer>
#include <QEventLoop>

#include <cerrno>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

TInteraction* g_service = nullptr;

std::map<TAskKind, TQtInteraction::Handler>& Handlers()
{
    static std::map<TAskKind, TQtInteraction::Handler> handlers;
    return handlers;
}

QWidget* DialogParent() { return QApplication::activeWindow(); }

TAskAnswer AskMessageBox(const TAskRequest& r)
{
    QMessageBox box(DialogParent());
    box.setWindowTitle(r.Caption);
    // A lone carriage return breaks the line, as in the framework's boxes.
    box.setText(QString(r.Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    switch (r.Type) {
    case mtWarning: box.setIcon(QMessageBox::Warning); break;
    case mtError: box.setIcon(QMessageBox::Critical); break;
    case mtInformation: box.setIcon(QMessageBox::Information); break;
    case mtConfirmation: box.setIcon(QMessageBox::Question); break;
    case mtCustom: box.setIcon(QMessageBox::NoIcon); break;
    }
    static const std::pair<TMsgDlgBtn, QMessageBox::StandardButton> standard[] = {
        {mbYes, QMessageBox::Yes},         {mbNo, QMessageBox::No},
        {mbOK, QMessageBox::Ok},           {mbCancel, QMessageBox::Cancel},
        {mbAbort, QMessageBox::Abort},     {mbRetry, QMessageBox::Retry},
        {mbIgnore, QMessageBox::Ignore},   {mbAll, QMessageBox::NoButton},
        {mbNoToAll, QMessageBox::NoToAll}, {mbYesToAll, QMessageBox::YesToAll},
        {mbHelp, QMessageBox::Help},
    };
    const TMsgDlgButtons buttons = r.Buttons.IsEmpty() ? TMsgDlgButtons{mbOK} : r.Buttons;
    std::map<QAbstractButton*, int> results;
    for (const auto& [b, sb] : standard) {
        if (!buttons.Contains(b))
            continue;
        QPushButton* button = sb == QMessageBox::NoButton
                                  ? box.addButton(QStringLiteral("All"), QMessageBox::AcceptRole)
                                  : box.addButton(sb);
        results[button] = ModalResultOf(b);
        if (ModalResultOf(b) == r.DefaultResult)
            box.setDefaultButton(button);
    }
    QAbstractButton* escape = nullptr;
    for (int wanted : {mrCancel, mrNo, mrOk})
        for (const auto& [button, result] : results)
            if (!escape && result == wanted)
                escape = button;
    if (escape)
        box.setEscapeButton(escape);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked && results.count(clicked))
        return TAskAnswer{results[clicked]};
    return TAskAnswer{escape ? results[escape] : mrCancel};
}

TAskAnswer AskFile(const TAskRequest& r)
{
    const bool save = r.Kind == TAskKind::SaveFile;
    const unsigned options = r.Data.value(QStringLiteral("Options")).toUInt();
    QFileDialog dialog(DialogParent(), r.Caption);
    const QString filter = QtFileFilter(r.Data.value(QStringLiteral("Filter")).toString());
    const QStringList filters = filter.isEmpty() ? QStringList() : filter.split(QStringLiteral(";;"));
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = r.Data.value(QStringLiteral("FilterIndex"), 1).toInt() - 1;
        dialog.selectNameFilter(filters.value(std::clamp(index, 0, int(filters.size()) - 1)));
    }
    QString dir = r.Data.value(QStringLiteral("InitialDir")).toString();
    if (dir.isEmpty() && !r.Text.isEmpty())
        dir = QFileInfo(r.Text).absolutePath();
    if (!dir.isEmpty())
        dialog.setDirectory(dir);
    if (!r.Text.isEmpty())
        dialog.selectFile(QFileInfo(r.Text).fileName());
    dialog.setDefaultSuffix(r.Data.value(QStringLiteral("DefaultExt")).toString());
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(options & ofOverwritePrompt));
    } else {
        dialog.setFileMode((options & ofAllowMultiSelect) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return TAskAnswer{};
    TAskAnswer answer{1, dialog.selectedFiles()};
    answer.Value = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return answer;
}

} // namespace

int ModalResultOf(TMsgDlgBtn b)
{
    switch (b) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    case mbHelp: return mrNone;
    }
    return mrNone;
}

QString AskKindName(TAskKind kind)
{
    switch (kind) {
    case TAskKind::MessageBox: return QStringLiteral("MessageBox");
    case TAskKind::ModalWindow: return QStringLiteral("ModalWindow");
    case TAskKind::OpenFile: return QStringLiteral("OpenFile");
    case TAskKind::SaveFile: return QStringLiteral("SaveFile");
    case TAskKind::SelectFolder: return QStringLiteral("SelectFolder");
    case TAskKind::Color: return QStringLiteral("Color");
    case TAskKind::ShellOpen: return QStringLiteral("ShellOpen");
    case TAskKind::StartProgram: return QStringLiteral("StartProgram");
    case TAskKind::AudioPlayback: return QStringLiteral("AudioPlayback");
    case TAskKind::WebView: return QStringLiteral("WebView");
    case TAskKind::Printer: return QStringLiteral("Printer");
    }
    return QStringLiteral("Unknown");
}

TInteraction::~TInteraction() = default;

TInteraction& Interaction()
{
    static TQtInteraction production;
    return g_service ? *g_service : production;
}

TInteraction* SetInteraction(TInteraction* service)
{
    TInteraction* previous = g_service;
    g_service = service;
    return previous;
}

void TQtInteraction::SetHandler(TAskKind kind, Handler handler) { Handlers()[kind] = std::move(handler); }

int OpenUrlAndWait(const QString& url, const QString& program, int waitMs)
{
    const QByteArray file = QFile::encodeName(program);
    const QByteArray argument = url.toUtf8();
    char* argv[] = {const_cast<char*>(file.constData()), const_cast<char*>(argument.constData()), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, file.constData(), nullptr, nullptr, argv, environ) != 0)
        return 0;
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
        if (done < 0 && errno != EINTR)
            return 1;
        if (deadline.hasExpired())
            break;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        ::usleep(10000);
    }
    // Still starting something: counted as launched, and reaped whenever it ends.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 1;
}

TAskAnswer TQtInteraction::Ask(TAskRequest& r)
{
    const auto custom = Handlers().find(r.Kind);
    if (custom != Handlers().end() && custom->second)
        return custom->second(r);
    switch (r.Kind) {
    case TAskKind::MessageBox: return AskMessageBox(r);
    case TAskKind::ModalWindow: return TAskAnswer{r.Form ? r.Form->ExecModal() : mrCancel};
    case TAskKind::OpenFile:
    case TAskKind::SaveFile: return AskFile(r);
    case TAskKind::SelectFolder: {
        const QString folder = QFileDialog::getExistingDirectory(DialogParent(), r.Caption, r.Text);
        return folder.isEmpty() ? TAskAnswer{} : TAskAnswer{1, {folder}};
    }
    case TAskKind::Color: {
        const QColor c = QColorDialog::getColor(ToQColor(r.Data.value(QStringLiteral("Color"), clBlack).toInt()),
                                                DialogParent(), r.Caption);
        if (!c.isValid())
            return TAskAnswer{};
        TAskAnswer answer{1};
        answer.Color = FromQColor(c);
        return answer;
    }
    case TAskKind::ShellOpen: return TAskAnswer{OpenUrlAndWait(r.Text)};
    default: break;
    }
    qWarning("No interaction handler for %s", qUtf8Printable(AskKindName(r.Kind)));
    return TAskAnswer{};
}
