#pragma once
// THTMLForm: turns the open slideshow into a small static web site in the program folder's
// "gallery": an overview page with a grid of framed pictures, one page per picture with
// previous and next links, the pictures in two web sizes and a style sheet, in the user's
// colours and language; the finished overview opens in the browser. Its settings are
// Gallery.ini's section SETTINGS.
//
// A run builds the gallery in a work folder beside it ("gallery.new") and puts the finished
// folder in place of the old one in one step, so that "gallery" always holds a whole gallery
// (the last finished one) however a run ends; what an interrupted run left is removed at the
// next run.
#include "output/gallery/GalleryPages.h"
#include "output/gallery/GallerySettings.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Forms.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace Ui {
class THTMLForm;
}
struct TWebPictureLook;

// What the gallery is made of: the open slideshow as the main window holds it.
struct TGallerySource {
    QString DiashowPath;  // the slideshow's folder, with a trailing "/"
    QString Title;        // the title as typed
    QStringList Items;    // the items of the slideshow list, in order
};

class THTMLForm : public TForm {
    Q_OBJECT
public:
    explicit THTMLForm(QWidget* parent = nullptr);
    ~THTMLForm() override;

    Ui::THTMLForm* ui() const { return m_ui.get(); }

    // The open slideshow, asked for at each run.
    std::function<TGallerySource()> Source;

    QString GalleryFolder;    // the program folder's "gallery", without a trailing "/"
    // The folder a run builds in (GalleryFolder + ".new"); it exists only during a run.
    QString WorkFolder() const { return GalleryFolder + QStringLiteral(".new"); }
    QStringList PicturesList; // the slideshow's items during a run
    int SmallPicX = 80;
    int LargePicX = 250;
    int PicProRow = 4;
    int Compression = 80;
    TColor GalleryBKGColor = 0;
    TColor GalleryTextColor = 4;
    bool TextVisible = false;
    bool FilenameVisible = false;
    bool ShapeVisible = true;
    // The sizes found by the last ComputeWebSizes.
    int PictureWidth = 0, PictureHeight = 0;
    bool Landscape = true;
    int ThumbWidth = 0, LargeWidth = 0;

    // The full path of picture I of the slideshow list.
    QString PicturePathAt(int I) const;
    // The sizes of the picture file at path (from its header) and its two web widths; false
    // when it cannot be read.
    bool ComputeWebSizes(const QString& path);
    // One web picture W pixels wide of Source, framed when ShapeVisible; false on failure.
    bool SaveWebPicture(const QString& target, int W, const QString& source);
    // Makes the gallery: the settings saved, the pictures converted, the pages and the style
    // sheet written, the overview opened in the browser.
    void MakeGallery();

    // Reads section SETTINGS, each key on its own; the values that could not be used are kept
    // for IniProblems (FormActivate names them).
    void LoadGallerySettings();
    // Writes the values in use (the ones the window shows).
    void SaveGallerySettings();
    // The values of Gallery.ini that the last LoadGallerySettings replaced.
    const QList<TIniProblem>& IniProblems() const { return m_iniProblems; }

    // Test seam: runs after each picture page is written.
    std::function<void()> PageWritten;

    // Pictures left out of the last run because they could not be read (file names).
    const QStringList& SkippedPictures() const { return m_skipped; }

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormActivate() override;
    void hideEvent(QHideEvent* event) override;

private:
    void PicProRowMaskEditChange();
    void SmallPicMaskEditChange();
    void LargePicMaskEditChange();
    void TextcolorButtonClick();
    void BKGColorButtonClick();
    void TextCheckBoxClick();
    void FileNameCheckBoxClick();
    void RahmenCheckBoxClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

    // The four page templates in the program folder, and their removal.
    void WriteTemplates(const TGalleryLook& look);
    void DeleteTemplates();
    void ConvertGalleryPictures();
    void BuildGalleryPages(const TGalleryLook& look);
    void WriteLayoutCss();
    TGalleryLook Look(const QString& title) const;
    TWebPictureLook PictureLook() const;
    void SetFolderProgress(int position);
    // The sizes and pictures per row in use, clamped into their fields' ranges and shown.
    void ShowValuesInUse();
    // Removes what an interrupted run left: the work folder and the page templates.
    void RemoveLeftovers();
    // Puts the finished work folder in the place of GalleryFolder.
    void PublishGallery();

    std::unique_ptr<Ui::THTMLForm> m_ui;
    QList<TGalleryEntry> m_entries;
    QStringList m_skipped;
    QList<TIniProblem> m_iniProblems;
    QString m_problemsNamed;  // the problems named since the window was shown
};
