#include "ScriptedUi.h"

#include <gtest/gtest.h>

namespace kvtest {

namespace {

QString Describe(const TAskRequest& r)
{
    QString s = AskKindName(r.Kind);
    if (!r.ClassName.isEmpty())
        s += QStringLiteral(" of ") + r.ClassName;
    if (!r.Caption.isEmpty())
        s += QStringLiteral(" \"") + r.Caption + QLatin1Char('"');
    if (!r.Text.isEmpty())
        s += QStringLiteral(": ") + r.Text;
    return s;
}

TAskAnswer Files(const QStringList& files) { return files.isEmpty() ? TAskAnswer{} : TAskAnswer{1, files}; }

} // namespace

ScriptedUi& ScriptedUi::Add(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

ScriptedUi& ScriptedUi::ExpectMessage(int result, const QString& textContains)
{
    return Add({TAskKind::MessageBox,
                textContains.isEmpty() ? QStringLiteral("a message box")
                                       : QStringLiteral("a message box with \"%1\"").arg(textContains),
                [textContains](const TAskRequest& r) { return r.Text.contains(textContains); },
                [result](TAskRequest&) { return TAskAnswer{result}; }});
}

ScriptedUi& ScriptedUi::ExpectModal(const QString& className, int result, std::function<void(TForm&)> interact)
{
    return Add({TAskKind::ModalWindow, QStringLiteral("the modal window %1").arg(className),
                [className](const TAskRequest& r) { return r.ClassName == className && r.Form; },
                [result, interact](TAskRequest& r) {
                    TForm& form = *r.Form;
                    form.BeginModal();
                    if (interact)
                        interact(form);
                    const int chosen = form.ModalResult() != mrNone ? form.ModalResult() : result;
                    if (!form.EndModal(chosen))
                        ADD_FAILURE() << "The modal window " << r.ClassName.toStdString()
                                      << " refused to close with result " << chosen;
                    return TAskAnswer{chosen};
                }});
}

ScriptedUi& ScriptedUi::ExpectOpenFile(const QStringList& files)
{
    return Expect(TAskKind::OpenFile, [files](TAskRequest&) { return Files(files); },
                  QStringLiteral("an open-file dialog"));
}

ScriptedUi& ScriptedUi::ExpectSaveFile(const QString& file)
{
    return Expect(TAskKind::SaveFile,
                  [file](TAskRequest&) { return Files(file.isEmpty() ? QStringList() : QStringList{file}); },
                  QStringLiteral("a save-file dialog"));
}

ScriptedUi& ScriptedUi::ExpectSelectFolder(const QString& folder)
{
    return Expect(TAskKind::SelectFolder,
                  [folder](TAskRequest&) { return Files(folder.isEmpty() ? QStringList() : QStringList{folder}); },
                  QStringLiteral("a folder dialog"));
}

ScriptedUi& ScriptedUi::ExpectColor(std::optional<TColor> color)
{
    return Expect(TAskKind::Color,
                  [color](TAskRequest&) {
                      TAskAnswer a{color ? 1 : 0};
                      if (color)
                          a.Color = *color;
                      return a;
                  },
                  QStringLiteral("a colour dialog"));
}

ScriptedUi& ScriptedUi::ExpectShellOpen(bool launched)
{
    return Expect(TAskKind::ShellOpen, [launched](TAskRequest&) { return TAskAnswer{launched ? 1 : 0}; },
                  QStringLiteral("a shell open"));
}

ScriptedUi& ScriptedUi::Expect(TAskKind kind, Answerer answer, const QString& what)
{
    return Add({kind, what.isEmpty() ? AskKindName(kind) : what, {}, std::move(answer)});
}

void ScriptedUi::Allow(TAskKind kind, Answerer answer) { m_allowed[kind] = std::move(answer); }

TAskAnswer ScriptedUi::DefaultAnswer(const TAskRequest& r)
{
    if (r.Kind == TAskKind::MessageBox) {
        for (auto [b, result] : {std::pair{mbCancel, mrCancel}, std::pair{mbNo, mrNo}})
            if (r.Buttons.Contains(b))
                return TAskAnswer{result};
        return TAskAnswer{mrOk};
    }
    if (r.Kind == TAskKind::ModalWindow)
        return TAskAnswer{mrCancel};
    return TAskAnswer{};
}

TAskAnswer ScriptedUi::Ask(TAskRequest& r)
{
    Record record{r.Kind, r.Caption, r.Text, r.Type, r.Buttons, r.DefaultResult, r.ClassName, r.Data, {}, false};
    TAskAnswer answer;
    if (!m_steps.empty() && m_steps.front().Kind == r.Kind &&
        (!m_steps.front().Matches || m_steps.front().Matches(r))) {
        Step step = std::move(m_steps.front());
        m_steps.erase(m_steps.begin());
        record.Scripted = true;
        answer = step.Answer(r);
    } else if (const auto allowed = m_allowed.find(r.Kind); allowed != m_allowed.end()) {
        answer = allowed->second(r);
    } else {
        ADD_FAILURE() << "Unscripted " << Describe(r).toStdString()
                      << (m_steps.empty() ? std::string(" (nothing scripted)")
                                          : " (expected " + m_steps.front().What.toStdString() + ")");
        answer = DefaultAnswer(r);
    }
    record.Answer = answer;
    m_records.push_back(record);
    return answer;
}

std::vector<ScriptedUi::Record> ScriptedUi::AskedOf(TAskKind kind) const
{
    std::vector<Record> out;
    for (const Record& r : m_records)
        if (r.Kind == kind)
            out.push_back(r);
    return out;
}

QString ScriptedUi::PendingDescription() const
{
    QStringList parts;
    for (const Step& s : m_steps)
        parts << s.What;
    return parts.join(QStringLiteral(", "));
}

void ScriptedUi::Reset()
{
    m_steps.clear();
    m_allowed.clear();
    m_records.clear();
}

ScriptedUi& Ui()
{
    static ScriptedUi ui;
    return ui;
}

namespace {

class ScriptListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { Ui().Reset(); }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        if (Ui().Pending() > 0)
            ADD_FAILURE() << "Scripted but never asked for: " << Ui().PendingDescription().toStdString();
        Ui().Reset();
    }
};

} // namespace

void InstallScriptedUi()
{
    SetInteraction(&Ui());
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScriptListener);
}

} // namespace kvtest
