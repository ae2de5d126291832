#pragma once
// TWebBrowser: an embedded browser pane that navigates to an address.
//
// Navigate goes through the interaction service (kind TAskKind::WebView) with
//   Text             the address,
//   Data["Browser"]  the pane's objectName,
//   Data["Pane"]     the pane itself (a QObject*),
// so that tests read the addresses from their scripted service and no browser runs there.
// The production service serves the kind through the handler that the first pane registers:
//  - built with Qt WebEngine, the pane shows the page in an embedded view, made at the first
//    navigation (so a pane that never navigates costs nothing);
//  - without it, the page opens in the system browser (ShellOpen) and the pane shows the
//    address as a link that opens it again.
// A page or folder that is missing or cannot be reached is shown by the pane itself.
#include <QString>
#include <QWidget>

class QLabel;
class QVBoxLayout;

class TWebBrowser : public QWidget {
    Q_OBJECT
public:
    explicit TWebBrowser(QWidget* parent = nullptr);
    ~TWebBrowser() override;

    void Navigate(const QString& url);

    // True when the program was built with Qt WebEngine.
    static bool Embedded();

    // Shows url now, without asking the interaction service (the production handler's work).
    void ShowPage(const QString& url);

private:
    void ShowLink(const QString& url, bool opened);

    QVBoxLayout* m_layout = nullptr;
    QWidget* m_view = nullptr;   // the embedded view, once made
    QLabel* m_link = nullptr;    // without Qt WebEngine: the address last opened
};
