// One edit step of the image editor on a camera-like 24-megapixel photo: the quarter turn from
// the click to the view repainted and the undo files and Temp.jpg written, against the same
// turn with ImageMagick (convert-im6.q16 -rotate 90, load and save) in the same run; then the
// zoom track bar and the mouse pan on the same picture: the time of one zoom step and of one
// pan step, each until the view is repainted (a 60 Hz mouse gives 16.7 ms per event).
//
//   editor_bench [--work DIR] [--runs N] [--view-only]   (--view-only: zoom and pan only)
#include "../support/CameraPicture.h"

#include "editing/fBildbearbeitung.h"
#include "editing/fLeadEffects.h"
#include "editing/fSize.h"
#include "imaging/LEADImage.h"
#include "shell/Windows.h"
#include "ui_fBildbearbeitung.h"

#include <QApplication>
#include <QSlider>
#include <QDir>
#include <QPushButton>
#include <QStandardPaths>

#include <chrono>
#include <cstring>
#include <unistd.h>

using namespace benchsupport;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::string work = QDir::tempPath().toStdString() + "/korvanta-editor-bench";
    int runs = 3;
    bool viewOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--work") == 0 && i + 1 < argc)
            work = argv[++i];
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--view-only") == 0)
            viewOnly = true;
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

    if (!viewOnly) {
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
    } else {
        view.viewport()->repaint();
    }

    // Zoom: the track bar dragged over a range of positions, each step repainted.
    const std::vector<int> zooms = {10, 14, 19, 25, 33, 42, 50, 66, 75, 90, 100, 125, 150, 200, 150, 100, 50, 20};
    double zoomWorst = 0, zoomTotal = 0;
    for (const int z : zooms) {
        const auto t0 = std::chrono::steady_clock::now();
        editor.ui()->ZoomTrackBar->setValue(z);
        view.viewport()->repaint();
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        zoomTotal += t;
        zoomWorst = std::max(zoomWorst, t);
    }
    std::printf("%-40s mean %6.1f ms   worst %6.1f ms   (%zu steps, 10-200 %%)\n", "zoom track bar step, 24 MP",
                zoomTotal / double(zooms.size()) * 1000, zoomWorst * 1000, zooms.size());

    // Pan at 200 %: a drag of 300 mouse steps of a few pixels, each repainted.
    editor.ui()->ZoomTrackBar->setValue(200);
    view.viewport()->repaint();
    double panWorst = 0, panTotal = 0;
    constexpr int kPanSteps = 300;
    int x = 600, y = 400;
    editor.ViewMouseDown(x, y);
    for (int i = 0; i < kPanSteps; ++i) {
        x += (i / 60) % 2 ? 7 : -7;
        y += (i / 45) % 2 ? 4 : -4;
        const auto t0 = std::chrono::steady_clock::now();
        editor.ViewMouseMove(x, y);
        view.viewport()->repaint();
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        panTotal += t;
        panWorst = std::max(panWorst, t);
    }
    editor.ViewMouseUp();
    std::printf("%-40s mean %6.1f ms   worst %6.1f ms   (%d steps at 200 %%)\n", "pan step (mouse move + repaint), 24 MP",
                panTotal / kPanSteps * 1000, panWorst * 1000, kPanSteps);
    editor.hide();
    return 0;
}
