// A slideshow list of 1000 thumbnail items (93 x 70 JPEG thumbnails, a file name and a text
// each) in a shown THTMListBox of 400 x 800 pixels: filling it (every item measured, every
// thumbnail decoded), the first paint, scrolling through it page by page and line by line,
// and moving the selection with the Down key, each step painted at once. Beside it Qt's own
// QListWidget with the same thumbnails as icons and the same texts, as the reference. Prints
// the best and the median of several runs, per step where there are steps, and the core count.
// --memory fills our list once, pages through it to the end and back, and prints the resident
// memory the items take (per item) and the process's peak, without the reference.
//
//   list_bench [--runs N] [--count N] [--work DIR] [--memory]
#include "controls/HTMLEscape.h"
#include "controls/HTMListBox.h"
#include "ResidentMemory.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QListWidget>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

using benchsupport::StatusKilobytes;

using Clock = std::chrono::steady_clock;

struct Times {
    double best = 0;
    double median = 0;
};

Times Measure(int runs, const std::function<void()>& prepare, const std::function<double()>& once)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        prepare();
        t.push_back(once());
    }
    std::sort(t.begin(), t.end());
    return Times{t.front(), t[t.size() / 2]};
}

double Millis(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

// Thumbnails with the texture of photos: gradients under noise.
QStringList MakeThumbnails(const QString& folder, int count)
{
    QStringList paths;
    QRandomGenerator rng(7);
    for (int i = 0; i < count; ++i) {
        QImage image(93, 70, QImage::Format_RGB32);
        const int hue = int(rng.bounded(360));
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const int noise = int(rng.bounded(40));
                image.setPixelColor(x, y, QColor::fromHsv(hue, 120 + x, std::min(255, 90 + y * 2 + noise)));
            }
        const QString path = folder + QString("/_THUMB_IMG_%1.jpg").arg(i, 4, 10, QChar('0'));
        image.save(path, "JPEG", 85);
        paths << path;
    }
    return paths;
}

QString ItemText(const QString& path, int i)
{
    return "<IMG src=\"file://" + HTMLEscape(path) + "\" align=\"top\">" +
           HTMLEscape(QString("IMG_%1.jpg").arg(i, 4, 10, QChar('0'))) + " | Urlaub am See, Tag " +
           QString::number(i % 14 + 1);
}

void Press(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void Print(const char* what, const Times& ours, const Times& qt, const char* unit)
{
    std::printf("%-44s %9.3f %9.3f   %9.3f %9.3f %s   ratio %.2f\n", what, ours.best, ours.median, qt.best,
                qt.median, unit, qt.median > 0 ? ours.median / qt.median : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 5, count = 1000;
    bool memory = false;
    QString work;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--count") && i + 1 < argc)
            count = std::max(10, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--work") && i + 1 < argc)
            work = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--memory"))
            memory = true;
    }
    QApplication app(argc, argv);
    QTemporaryDir temp(work.isEmpty() ? QDir::tempPath() + "/list-bench-XXXXXX" : work + "/list-bench-XXXXXX");
    const QStringList thumbs = MakeThumbnails(temp.path(), count);
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << ItemText(thumbs[i], i);

    QWidget window;
    window.resize(420, 820);
    window.show();

    if (memory) {
        THTMListBox memoryList(&window);
        memoryList.setGeometry(10, 10, 400, 800);
        memoryList.setColor(clWhite);
        memoryList.show();
        QCoreApplication::processEvents();
        const long before = StatusKilobytes("VmRSS");
        const auto t0 = Clock::now();
        memoryList.Items().BeginUpdate();
        memoryList.Items().AddStrings(texts);
        memoryList.Items().EndUpdate();
        const double fillMs = Millis(t0);
        for (int top = 0; top < count; top += 10) {
            memoryList.setTopIndex(top);
            memoryList.viewport()->repaint();
        }
        memoryList.setTopIndex(0);
        memoryList.viewport()->repaint();
        const long after = StatusKilobytes("VmRSS");
        std::printf("%d thumbnail items: fill %.1f ms; resident memory %+ld kB after filling and paging through "
                    "(%.1f kB an item); peak %ld kB\n",
                    count, fillMs, after - before, double(after - before) / count, StatusKilobytes("VmHWM"));
        return 0;
    }

    // ---- ours ----
    std::unique_ptr<THTMListBox> list;
    const auto newList = [&] {
        list = std::make_unique<THTMListBox>(&window);
        list->setGeometry(10, 10, 400, 800);
        list->setItemHeight(70);
        list->setMultiSelect(true);
        list->setIncrLookup(true);
        list->setColor(clWhite);
        list->show();
        QCoreApplication::processEvents();
    };
    const auto filledList = [&] {
        newList();
        list->Items().BeginUpdate();
        list->Items().AddStrings(texts);
        list->Items().EndUpdate();
        list->viewport()->repaint();
    };
    const Times fill = Measure(runs, newList, [&] {
        const auto t0 = Clock::now();
        list->Items().BeginUpdate();
        list->Items().AddStrings(texts);
        list->Items().EndUpdate();
        return Millis(t0);
    });
    const Times firstPaint = Measure(runs, [&] {
        newList();
        list->Items().AddStrings(texts);
    }, [&] {
        const auto t0 = Clock::now();
        list->viewport()->repaint();
        return Millis(t0);
    });
    int pages = 0;
    const Times pageScroll = Measure(runs, filledList, [&] {
        const auto t0 = Clock::now();
        pages = 0;
        for (int top = 0; top < list->verticalScrollBar()->maximum(); top += list->verticalScrollBar()->pageStep()) {
            list->setTopIndex(top);
            list->viewport()->repaint();
            ++pages;
        }
        return Millis(t0) / std::max(1, pages);
    });
    const Times lineScroll = Measure(runs, filledList, [&] {
        const auto t0 = Clock::now();
        const int lines = std::min(200, list->verticalScrollBar()->maximum());
        for (int i = 0; i < lines; ++i) {
            list->ScrollLines(1);
            list->viewport()->repaint();
        }
        return Millis(t0) / std::max(1, lines);
    });
    const Times select = Measure(runs, [&] {
        filledList();
        list->setFocus();
        list->setItemIndex(0);
    }, [&] {
        const auto t0 = Clock::now();
        for (int i = 0; i < count - 1; ++i) {
            Press(list.get(), Qt::Key_Down);
            list->viewport()->repaint();
        }
        return Millis(t0) / (count - 1);
    });
    list.reset();

    // ---- Qt's list widget with the same thumbnails ----
    std::unique_ptr<QListWidget> qlist;
    const auto newQList = [&] {
        qlist = std::make_unique<QListWidget>(&window);
        qlist->setGeometry(10, 10, 400, 800);
        qlist->setIconSize(QSize(93, 70));
        qlist->setSelectionMode(QAbstractItemView::ExtendedSelection);
        qlist->setUniformItemSizes(false);
        qlist->show();
        QCoreApplication::processEvents();
    };
    const auto fillQ = [&] {
        for (int i = 0; i < count; ++i)
            qlist->addItem(new QListWidgetItem(QIcon(QPixmap(thumbs[i])), QString("IMG_%1.jpg | Urlaub").arg(i)));
        qlist->doItemsLayout();  // the view lays its items out later otherwise
    };
    const auto filledQList = [&] {
        newQList();
        fillQ();
        qlist->viewport()->repaint();
    };
    const Times qFill = Measure(runs, newQList, [&] {
        const auto t0 = Clock::now();
        fillQ();
        return Millis(t0);
    });
    const Times qFirstPaint = Measure(runs, [&] {
        newQList();
        fillQ();
    }, [&] {
        const auto t0 = Clock::now();
        qlist->viewport()->repaint();
        return Millis(t0);
    });
    const Times qPageScroll = Measure(runs, filledQList, [&] {
        const auto t0 = Clock::now();
        QScrollBar* bar = qlist->verticalScrollBar();
        int steps = 0;
        for (int v = 0; v < bar->maximum(); v += bar->pageStep()) {
            bar->setValue(v);
            qlist->viewport()->repaint();
            ++steps;
        }
        return Millis(t0) / std::max(1, steps);
    });
    const Times qLineScroll = Measure(runs, filledQList, [&] {
        const auto t0 = Clock::now();
        QScrollBar* bar = qlist->verticalScrollBar();
        const int lines = std::min(200, bar->maximum() / std::max(1, bar->singleStep()));
        for (int i = 0; i < lines; ++i) {
            bar->setValue(bar->value() + bar->singleStep());
            qlist->viewport()->repaint();
        }
        return Millis(t0) / std::max(1, lines);
    });
    const Times qSelect = Measure(runs, [&] {
        filledQList();
        qlist->setFocus();
        qlist->setCurrentRow(0);
    }, [&] {
        const auto t0 = Clock::now();
        for (int i = 0; i < count - 1; ++i) {
            Press(qlist.get(), Qt::Key_Down);
            qlist->viewport()->repaint();
        }
        return Millis(t0) / (count - 1);
    });
    qlist.reset();

    std::printf("%d thumbnail items, 400 x 800 list, %d runs, %u cores\n", count, runs,
                std::thread::hardware_concurrency());
    std::printf("%-44s %19s   %19s\n", "", "THTMListBox best/median", "QListWidget best/median");
    Print("fill (measure, decode every thumbnail)", fill, qFill, "ms");
    Print("first paint", firstPaint, qFirstPaint, "ms");
    Print("scroll a page and paint", pageScroll, qPageScroll, "ms/page");
    Print("scroll a line and paint", lineScroll, qLineScroll, "ms/line");
    Print("Down key and paint", select, qSelect, "ms/key");
    return 0;
}
