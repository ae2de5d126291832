#pragma once
// TOnlineFotoForm: the local export folder (left) and the page of an online photo-printing
// service (right), side by side in two browser panes, so that the user can upload exported
// pictures there.
#include "output/OutputPaths.h"
#include "platform/vcl/Forms.h"

#include <functional>
#include <memory>

namespace Ui {
class TOnlineFotoForm;
}

// The service's page for developing photos.
inline constexpr char kOnlineFotoURL[] = "https://fotoservice.example.com/products/fotoentwicklung";

class TOnlineFotoForm : public TForm {
    Q_OBJECT
public:
    explicit TOnlineFotoForm(QWidget* parent = nullptr);
    ~TOnlineFotoForm() override;

    Ui::TOnlineFotoForm* ui() const { return m_ui.get(); }

    // The main window's folders, asked for each time the window is shown.
    std::function<TOutputPaths()> Paths;

protected:
    // Raises the picture's error when the banner cannot be read.
    void FormCreate() override;
    // Opens the service's page and the export folder of the archive drive.
    void FormActivate() override;

private:
    std::unique_ptr<Ui::TOnlineFotoForm> m_ui;
};

