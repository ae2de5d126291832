// Pictures.ini lines from arbitrary text: parsing never fails, never gives a name that leaves
// the slideshow folder once read through ReadPicturesIni's rule, and a line written from a
// parsed one parses to the same name and text.
#include "shell/core/Archive.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const TPictureLine line = TPictureLine::Parse(input);
    if (line.Name.contains(QLatin1Char('|')))
        std::abort();
    if (IsPlainFileName(line.Name) && (line.Name.contains(QLatin1Char('/')) || line.Name == QLatin1String("..")))
        std::abort();
    if (line.Name.isEmpty() || line.Text.contains(QLatin1Char('|')))
        return 0;
    const TPictureLine back = TPictureLine::Parse(line.Line());
    if (back.Name != line.Name || back.Text != line.Text)
        std::abort();
    return 0;
}
