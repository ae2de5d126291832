#pragma once
// TWerbungForm: the maker's other products, shown full screen when the German edition
// closes (unless NoWer.ini exists in the program folder). Its texts are fixed German texts
// of its form; each product has a picture and a "Mehr Infos..." button that open the same
// web page. Ticking "Tipp nicht mehr anzeigen!" writes NoWer.ini when the window closes.
#include "platform/vcl/Forms.h"

#include <QString>

#include <array>
#include <memory>

class QLabel;
class QPushButton;

namespace Ui {
class TWerbungForm;
}

class TWerbungForm : public TForm {
    Q_OBJECT
public:
    explicit TWerbungForm(QWidget* parent = nullptr);
    ~TWerbungForm() override;

    Ui::TWerbungForm* ui() const { return m_ui.get(); }

    // A product: its button, its picture, the picture file in the program folder's "recom/",
    // and its page on the maker's web server.
    struct TProduct {
        QPushButton* Button;
        QLabel* Picture;
        QString PictureFile;
        QString Page;
    };
    // BitBtn1 .. BitBtn5 in order.
    const std::array<TProduct, 5>& Products() const { return m_products; }
    // The address of a product page: the maker's server, "/products/m_ge_", the page name,
    // ".html".
    static QString ProductPage(const QString& pageName);

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormClose(TCloseAction& action) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OpenProductPage(const TProduct& product);

    std::unique_ptr<Ui::TWerbungForm> m_ui;
    std::array<TProduct, 5> m_products;
};
