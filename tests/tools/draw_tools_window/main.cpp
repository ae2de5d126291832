// The drawing tools window: the drawing component on a photo-like picture beside a list of
// every tool name. Choosing a name (a click in the list, or typing it into the field above
// and pressing Return) sets Shape and, unless "keep picture" is ticked, starts from a fresh
// picture. The line below the picture shows Shape after every mouse release, so the stages
// of the multi-click tools can be followed.
//
//   draw_tools_window [--size N]
#include "editing/draw/DrawImage.h"
#include "editing/draw/DrawTools.h"
#include "editing/draw/PhotoPicture.h"
#include "platform/vcl/Guard.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <set>

namespace {

// Shows Shape after every release.
class ToolImage : public TpelDrawImage {
public:
    using TpelDrawImage::TpelDrawImage;
    QLabel* StageLabel = nullptr;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        TpelDrawImage::mouseReleaseEvent(e);
        if (StageLabel)
            StageLabel->setText(QStringLiteral("Shape: \"%1\"").arg(Shape()));
    }
};

QStringList AllToolNames(const TpelDrawImage& image)
{
    std::set<QString> names(image.ToolNames.begin(), image.ToolNames.end());
    for (std::span<const TToolRow> rows : {ShapeToolRows(), BrushToolRows()})
        for (const TToolRow& row : rows)
            names.insert(QString::fromLatin1(row.Name));
    return QStringList(names.begin(), names.end());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int size = 256;
    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf("--size"); i >= 0 && i + 1 < args.size())
        size = std::max(1, args[i + 1].toInt());

    QWidget window;
    window.setWindowTitle(QStringLiteral("Drawing tools"));
    auto* list = new QListWidget;
    list->setObjectName("toolList");
    list->setFixedWidth(180);
    auto* field = new QLineEdit;
    field->setObjectName("toolField");
    auto* keep = new QCheckBox(QStringLiteral("keep picture"));
    auto* stage = new QLabel;
    auto* image = new ToolImage;
    image->setObjectName("drawImage");
    image->StageLabel = stage;
    image->setAutoSize(true);

    const auto freshPicture = [&] { image->SetPicture(tooltest::PhotoPicture(size, size)); };
    freshPicture();
    TCanvas& canvas = image->Canvas();
    canvas.Pen.Color = TColor(0x1010B0);
    canvas.Pen.Width = 2;
    canvas.Brush.Color = clYellow;
    canvas.Brush.Style = bsSolid;
    image->setFixedSize(size, size);  // the layout gives the control the picture's size
    list->addItems(AllToolNames(*image));

    const auto choose = [&](const QString& name) {
        if (!keep->isChecked())
            freshPicture();
        // A figure left open by the last tool (a polygon, a polybezier) ends here, so its
        // drag does not carry over into the new tool.
        image->Drag.MouseIsDown = false;
        image->Drag.PolyCount = 0;
        image->setShape(name);
        stage->setText(QStringLiteral("Shape: \"%1\"").arg(name));
    };
    Bind(list, &QListWidget::currentTextChanged, &window, [&](const QString& name) { choose(name); });
    Bind(field, &QLineEdit::returnPressed, &window, [&] {
        const QList<QListWidgetItem*> found = list->findItems(field->text().trimmed(), Qt::MatchExactly);
        if (!found.isEmpty())
            list->setCurrentItem(found.first());
        choose(field->text().trimmed());
    });

    auto* right = new QVBoxLayout;
    right->addWidget(field);
    right->addWidget(keep);
    right->addWidget(image);
    right->addWidget(stage);
    right->addStretch();
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(list);
    layout->addLayout(right, 1);
    window.resize(220 + size + 40, std::max(440, size + 180));
    window.show();
    // Where a script driving the real mouse finds the picture and the name field.
    QTimer::singleShot(200, &window, [&] {
        const QPoint p = image->mapToGlobal(QPoint(0, 0)), f = field->mapToGlobal(field->rect().center());
        std::printf("picture %d %d\nfield %d %d\n", p.x(), p.y(), f.x(), f.y());
        std::fflush(stdout);
    });
    return app.exec();
}
