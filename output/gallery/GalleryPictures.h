#pragma once
// The two web pictures of a gallery picture, made through the imaging kernel alone (no
// widget), so that several pictures can be made at once on worker threads. Each picture is
// decoded once, at the smallest scale that still gives twice the larger web size, and both
// sizes are made from it.
#include "imaging/ThumbnailMaker.h"
#include "output/gallery/GalleryPages.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// How a web picture looks: framed (the picture control's frame, its shadow in shadowColor)
// with the two corners that the shadow leaves bare in the page's background colour, or plain.
struct TWebPictureLook {
    bool Shape = true;
    ThumbnailFrame Frame;           // shadow depth and colours as the caller sets them
    std::uint32_t Background = 0;   // the page's background, 0x00BBGGRR
    int CornerSize = 4;
};

// The shadow colour for a page background: each channel 0.9 of the background's, halves to
// even.
std::uint32_t WebShadowColor(std::uint32_t background);

struct TWebPictureJob {
    QString Source;
    QString ThumbTarget;
    QString LargeTarget;
    int SmallX = 80;
    int LargeX = 250;
    TWebPictureLook Look;
};

struct TWebPictureResult {
    bool Ok = false;
    int PictureWidth = 0, PictureHeight = 0;  // the picture as shown (upright)
    TWebSizes Sizes;
};

// Both web pictures of a job, saved as JPEG 4:2:2 with quality factor 22. Not Ok when the
// picture cannot be read or a web picture cannot be written. Thread-safe.
TWebPictureResult MakeWebPictures(const TWebPictureJob& job);
// One web picture width pixels wide (the height follows the picture). False on failure.
bool MakeWebPicture(const QString& source, const QString& target, int width, const TWebPictureLook& look);
// The upright size of a picture file from its header; false when it cannot be read.
bool PictureFileSize(const QString& file, int& width, int& height);

// Runs jobs on worker threads (at most threads at a time, 0: one per core) and hands each
// result to done on the calling thread, in the order of the jobs; wait runs between the
// checks (the window processes its events there).
void RunWebPictureJobs(const std::vector<TWebPictureJob>& jobs, int threads,
                       const std::function<void(int index, const TWebPictureResult&)>& done,
                       const std::function<void()>& wait);
