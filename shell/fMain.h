#pragma once
// TMainForm: the main window.
#include "platform/vcl/Forms.h"

#include <QString>

#include <memory>

namespace Ui {
class TMainForm;
}

class TMainForm : public TForm {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    Ui::TMainForm* ui() const { return m_ui.get(); }

    // The program folder, with a trailing "/".
    QString ProgramFolder;
    // The archive of slideshows and the CD-ROM export folder, each with a trailing "/".
    QString ArchiveRoot;
    QString ExportFolder;

protected:
    void FormCreate() override;

private:
    void SetCaptions();

    std::unique_ptr<Ui::TMainForm> m_ui;
};
