#pragma once
// The interaction service of every test process: answers from a script, in order, records
// every request, and fails the test at once on a request that nothing scripted or allowed.
//
//   kvtest::Ui().ExpectMessage(mrYes, "delete");        // the next box must mention "delete"
//   kvtest::Ui().ExpectModal("TNewForm", mrOk, [](TForm& f) { ... fill its controls ... });
//   kvtest::Ui().ExpectOpenFile({path});
//   ... run the code ...
//   EXPECT_EQ(kvtest::Ui().Asked().size(), 2u);
//
// Each test starts with an empty script and record; a scripted answer that was never asked
// for fails the test when it ends.
#include "platform/vcl/Forms.h"
#include "platform/vcl/Interaction.h"

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace kvtest {

class ScriptedUi : public TInteraction {
public:
    using Answerer = std::function<TAskAnswer(TAskRequest&)>;

    struct Record {
        TAskKind Kind;
        QString Caption;
        QString Text;
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
        int DefaultResult;
        QString ClassName;
        QVariantMap Data;
        TAskAnswer Answer;
        bool Scripted;  // false for an allowed or a failed (unscripted) request
    };

    // The next request must be a message box (whose text contains textContains, when given);
    // it is answered with result.
    ScriptedUi& ExpectMessage(int result, const QString& textContains = QString());
    // The next request must show a window of class className modally. The window is shown
    // (FormShow, FormActivate run), interact runs with it, and the window closes with its own
    // ModalResult when interact set one, else with result.
    ScriptedUi& ExpectModal(const QString& className, int result,
                            std::function<void(TForm&)> interact = {});
    // The next request must be an open-file dialog: answered with files (none: cancelled).
    ScriptedUi& ExpectOpenFile(const QStringList& files);
    ScriptedUi& ExpectSaveFile(const QString& file);  // empty: cancelled
    ScriptedUi& ExpectSelectFolder(const QString& folder);  // empty: cancelled
    ScriptedUi& ExpectColor(std::optional<TColor> color);  // nullopt: cancelled
    // The next request must be a shell open; launched says whether the launch succeeds.
    ScriptedUi& ExpectShellOpen(bool launched = true);
    // Any kind, answered by answer (for the kinds later layers bring).
    ScriptedUi& Expect(TAskKind kind, Answerer answer, const QString& what = QString());

    // Lets every request of kind through, answered by answer, without a script step.
    void Allow(TAskKind kind, Answerer answer);

    TAskAnswer Ask(TAskRequest& request) override;

    const std::vector<Record>& Asked() const { return m_records; }
    std::vector<Record> AskedOf(TAskKind kind) const;
    // Script steps not yet asked for.
    size_t Pending() const { return m_steps.size(); }
    QString PendingDescription() const;
    // Forgets the script, the allowances and the record.
    void Reset();

private:
    struct Step {
        TAskKind Kind;
        QString What;
        std::function<bool(const TAskRequest&)> Matches;
        Answerer Answer;
    };
    ScriptedUi& Add(Step step);
    static TAskAnswer DefaultAnswer(const TAskRequest& request);

    std::vector<Step> m_steps;
    std::map<TAskKind, Answerer> m_allowed;
    std::vector<Record> m_records;
};

// The scripted service installed in this test process.
ScriptedUi& Ui();
// Installs Ui() as the interaction service and resets it around every test (test_main).
void InstallScriptedUi();

} // namespace kvtest
