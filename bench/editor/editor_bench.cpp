// One edit step of the image editor on a camera-like 24-megapixel photo: the quarter turn from
// the click to the view repainted and the undo files and Temp.jpg written, against the same
// turn with ImageMagick (convert-im6.q16 -rotate 90, load and save) in the same run.
//
//   editor_bench [--work DIR] [--runs N]
#include "../support/CameraPicture.h"

#include "editing/fBildbearbeitung.h"
#include "editing/fLeadEffects.h"
#include "editing/fSize.h"
#include "imaging/LEADImage.h"
#include "shell/Windows.h"
#include "ui_fBildbearbeitung.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QStandardPaths>

#include <cstring>
#include <unistd.h>

using namespace benchsupport;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::string work = QDir::tempPath().toStdString() + "/korvanta-editor-bench";
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--work") == 0 && i + 1 < argc)
            work = argv[++i];
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
    }
    double megabytes = 0;
    const std::vector<std::string> files = CameraPictures(work + "/pictures", 1, &megabytes);
    if (files.empty())
        return 1;
    const QString program = QString::fromStdString(work) + "/program/";
    QDir().mkpath(program);
    const QString picture = QString::fromStdString(files[0]);
    std::printf("Editor turn: one camera-like JPEG of %d x %d (%.1f MB); cores (nproc): %ld; best of %d runs\n",
                kLong, kShort, megabytes, ::sysconf(_SC_NPROCESSORS_ONLN), runs);

    QWidget parent;
    BildbeaerbeitungForm = new TBildbeaerbeitungForm(&parent);
    LeadEffectsForm = new TLeadEffectsForm(&parent);
    SizeForm = new TSizeForm(&parent);
    TBildbeaerbeitungForm& editor = *BildbeaerbeitungForm;
    editor.ProgramFolder = program;
    editor.SelectedPicture = [&] { return picture; };
    editor.resize(1280, 800);
    editor.show();
    QCoreApplication::processEvents();
    TLEADImage& view = *editor.ui()->BildbViewLEADImage;

    const double ours = BestOf(runs, [&] {
        editor.ui()->Image4->click();
        view.repaint();
        QCoreApplication::processEvents();
        return view.BitmapWidth() > 0 && QFile::exists(editor.UndoFile(editor.UndoIndex + 1));
    });
    const QString magick = QStandardPaths::findExecutable(QStringLiteral("convert-im6.q16"));
    const QString out = QString::fromStdString(work) + "/magick.jpg";
    const double peer = magick.isEmpty() ? -1 : BestOf(runs, [&] {
        return RunOneThreaded(magick, {picture, QStringLiteral("-rotate"), QStringLiteral("90"), out});
    });
    std::printf("%-40s ours %8.1f ms", "quarter turn with undo files, 24 MP", ours * 1000);
    if (peer > 0)
        std::printf("   convert-im6.q16 %8.1f ms   ratio (ours / peer) %.2f\n", peer * 1000, ours / peer);
    else
        std::printf("   (convert-im6.q16 not run)\n");
    editor.hide();
    return 0;
}
