// The picture control's address download against a small HTTP server inside the test: blocks
// fed as they arrive with progress and the ready events, a new address cancelling the running
// download, failures that end quietly, the empty address, a control destroyed mid-download.
#include "ImagingFixtures.h"

#include "support/TestEnv.h"

#include <QDir>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using namespace imgtest;

namespace {

// Serves /picture.jpg in blocks of blockSize bytes every delayMs, /other.jpg at once, /missing
// as a 404 page and /broken as a transfer that stops half-way.
class PictureServer : public QObject {
public:
    QByteArray picture, other;
    int blockSize = 256;
    int delayMs = 15;

    PictureServer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s] { Answer(s); });
        });
    }
    QString Url(const char* path) const { return QString("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path); }

private:
    void Answer(QTcpSocket* s)
    {
        const QByteArray request = s->readAll();
        if (!request.startsWith("GET "))
            return;
        const QByteArray path = request.mid(4, request.indexOf(' ', 4) - 4);
        const auto head = [](int status, qint64 length) {
            return QByteArray("HTTP/1.1 ") + QByteArray::number(status) + (status == 200 ? " OK" : " Not Found") +
                   "\r\nContent-Type: image/jpeg\r\nConnection: close\r\nContent-Length: " +
                   QByteArray::number(length) + "\r\n\r\n";
        };
        if (path == "/picture.jpg") {
            s->write(head(200, picture.size()));
            SendBlocks(s, 0);
        } else if (path == "/other.jpg") {
            s->write(head(200, other.size()) + other);
            s->disconnectFromHost();
        } else if (path == "/broken") {
            s->write(head(200, picture.size()) + picture.left(picture.size() / 3));
            s->flush();
            QTimer::singleShot(30, s, [s] { s->abort(); });
        } else {
            const QByteArray page = "<html>no such picture</html>";
            s->write(head(404, page.size()) + page);
            s->disconnectFromHost();
        }
    }
    void SendBlocks(QTcpSocket* s, qint64 at)
    {
        if (at >= picture.size()) {
            s->disconnectFromHost();
            return;
        }
        s->write(picture.mid(at, blockSize));
        s->flush();
        QTimer::singleShot(delayMs, s, [this, s, at] { SendBlocks(s, at + blockSize); });
    }
    QTcpServer server;
};

struct Download {
    QTemporaryDir dir;
    PictureServer server;
    QStringList events;
    std::vector<int> percents;

    Download()
    {
        const QString a = dir.filePath("a.jpg"), b = dir.filePath("b.jpg");
        SaveWithKernel(a, 160, 120, kOrange, 10);
        SaveWithKernel(b, 30, 20, kBlue, 10);
        server.picture = ReadBytes(a);
        server.other = ReadBytes(b);
    }
    void Watch(TLEADImage& image)
    {
        image.OnReadyStateChanged = [this](QObject*, bool ready) { events << (ready ? "ready" : "started"); };
        image.OnStatus = [this](QObject*, int percent) { percents.push_back(percent); };
        image.setEnableProgressEvent(true);
    }
};

} // namespace

TEST(LEADImageDownload, APictureInSlowBlocksArrivesWithRisingProgressAndTheReadyEvents)
{
    Download d;
    ASSERT_GT(d.server.picture.size(), 3 * d.server.blockSize);
    TLEADImage image;
    d.Watch(image);
    image.setBitmapDataPath(d.server.Url("/picture.jpg"));
    EXPECT_EQ(image.LastError(), 1);
    EXPECT_TRUE(image.Downloading());
    EXPECT_EQ(d.events, QStringList{"started"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !image.Downloading(); }, 10000));
    EXPECT_EQ(d.events, (QStringList{"started", "ready"}));
    EXPECT_EQ(image.LastError(), 1);
    ASSERT_TRUE(image.Allocated());
    EXPECT_EQ(image.BitmapWidth(), 160);
    EXPECT_EQ(image.BitmapHeight(), 120);
    EXPECT_TRUE(Near(PixelOf(*image.Bitmap(), 80, 60), kOrange, 8));
    ASSERT_GE(d.percents.size(), 3u);
    EXPECT_TRUE(std::is_sorted(d.percents.begin(), d.percents.end())) << ::testing::PrintToString(d.percents);
    EXPECT_LT(d.percents.front(), 100);
    EXPECT_EQ(d.percents.back(), 100);
    EXPECT_EQ(image.BitmapDataPath(), d.server.Url("/picture.jpg"));
}

TEST(LEADImageDownload, ANewAddressCancelsTheRunningDownload)
{
    Download d;
    d.server.delayMs = 200;
    TLEADImage image;
    d.Watch(image);
    image.setBitmapDataPath(d.server.Url("/picture.jpg"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d.percents.empty(); }, 5000));
    image.setBitmapDataPath(d.server.Url("/other.jpg"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !image.Downloading(); }, 5000));
    EXPECT_EQ(d.events, (QStringList{"started", "started", "ready"}));
    EXPECT_EQ(image.BitmapWidth(), 30) << "the second picture";
    QTest::qWait(300);  // the first one's blocks would have come by now
    EXPECT_EQ(image.BitmapWidth(), 30);
    EXPECT_EQ(d.events.size(), 3);
}

TEST(LEADImageDownload, FailuresAfterTheStartEndQuietlyWithAnEmptyControl)
{
    Download d;
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const QString refused = QString("http://127.0.0.1:%1/picture.jpg").arg(closed.serverPort());
    closed.close();
    const struct {
        const char* name;
        QString address;
        int code;
    } cases[] = {
        {"a missing page", d.server.Url("/missing"), -10},
        {"a closed port", refused, -14},
        {"a broken transfer", d.server.Url("/broken"), -7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLEADImage image;
        Hold(image, 10, 10, kRed);
        d.events.clear();
        d.Watch(image);
        image.setBitmapDataPath(c.address);  // no exception, now or later
        ASSERT_TRUE(QTest::qWaitFor([&] { return !image.Downloading(); }, 10000));
        EXPECT_EQ(d.events, (QStringList{"started", "ready"}));
        EXPECT_FALSE(image.Allocated());
        EXPECT_EQ(image.LastError(), c.code);
    }
}

TEST(LEADImageDownload, TheEmptyAddressEmptiesAndOtherSchemesDoNotStart)
{
    TLEADImage image;
    image.setObjectName("Img");
    Hold(image, 10, 10, kRed);
    image.setBitmapDataPath(QString());
    EXPECT_FALSE(image.Allocated());
    EXPECT_EQ(image.LastError(), 0);
    Hold(image, 10, 10, kRed);
    EXPECT_EQ(RaisedMessage([&] { image.setBitmapDataPath("ftp://127.0.0.1/picture.jpg"); }),
              "Img \nError code: -10\nBitmapDataPath: " + S(LeadErrorText(-10)) + " ");
    EXPECT_FALSE(image.Allocated());
    EXPECT_FALSE(image.Downloading());

    // A local file through its address.
    QTemporaryDir dir;
    const QString file = dir.filePath("c.jpg");
    SaveWithKernel(file, 40, 30, kGreen, 10);
    image.setBitmapDataPath(QUrl::fromLocalFile(file).toString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !image.Downloading(); }, 5000));
    EXPECT_EQ(image.LastError(), 1);
    EXPECT_EQ(image.BitmapWidth(), 40);
}

TEST(LEADImageDownload, AControlDestroyedDuringADownloadFiresNothing)
{
    Download d;
    d.server.delayMs = 100;
    auto image = std::make_unique<TLEADImage>();
    d.Watch(*image);
    image->setBitmapDataPath(d.server.Url("/picture.jpg"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d.percents.empty(); }, 5000));
    d.events.clear();
    d.percents.clear();
    image.reset();
    QTest::qWait(400);
    EXPECT_TRUE(d.events.isEmpty());
    EXPECT_TRUE(d.percents.empty());
}
