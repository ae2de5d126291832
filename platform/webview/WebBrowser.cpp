#include "platform/webview/WebBrowser.h"

#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Guard.h"
#include "platform/vcl/Interaction.h"

#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

#ifdef KV_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

namespace {

TAskAnswer ServeWebView(TAskRequest& request)
{
    auto* pane = qobject_cast<TWebBrowser*>(request.Data.value(QStringLiteral("Pane")).value<QObject*>());
    if (!pane)
        return TAskAnswer{};
    pane->ShowPage(request.Text);
    return TAskAnswer{1};
}

void RegisterProductionHandler()
{
    static bool registered = false;
    if (!registered) {
        TQtInteraction::SetHandler(TAskKind::WebView, ServeWebView);
        registered = true;
    }
}

} // namespace

TWebBrowser::TWebBrowser(QWidget* parent) : QWidget(parent), m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    RegisterProductionHandler();
}

TWebBrowser::~TWebBrowser() = default;

bool TWebBrowser::Embedded()
{
#ifdef KV_HAVE_WEBENGINE
    return true;
#else
    return false;
#endif
}

void TWebBrowser::Navigate(const QString& url)
{
    TAskRequest request;
    request.Kind = TAskKind::WebView;
    request.Text = url;
    request.Data.insert(QStringLiteral("Browser"), objectName());
    request.Data.insert(QStringLiteral("Pane"), QVariant::fromValue<QObject*>(this));
    Interaction().Ask(request);
}

void TWebBrowser::ShowPage(const QString& url)
{
#ifdef KV_HAVE_WEBENGINE
    auto* view = static_cast<QWebEngineView*>(m_view);
    if (!view) {
        view = new QWebEngineView(this);
        m_view = view;
        m_layout->addWidget(view);
    }
    view->setUrl(QUrl(url));
#else
    ShowLink(url, ShellOpen(url) > 32);
#endif
}

void TWebBrowser::ShowLink(const QString& url, bool opened)
{
    if (!m_link) {
        m_link = new QLabel(this);
        m_link->setAlignment(Qt::AlignCenter);
        m_link->setWordWrap(true);
        m_link->setTextInteractionFlags(Qt::TextBrowserInteraction);
        m_layout->addWidget(m_link);
        ::Bind(m_link, &QLabel::linkActivated, this,
               [this](const QString& target) { ShowLink(target, ShellOpen(target) > 32); });
    }
    QString text = QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), url.toHtmlEscaped());
    if (!opened)
        text = QStringLiteral("Unable to start internet browser! Make sure you have it properly "
                              "set-up on your system!<br><br>") + text;
    m_link->setText(text);
}
