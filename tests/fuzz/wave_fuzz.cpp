// The wave header reader and the PCM reader on arbitrary files.
#include "platform/media/WaveIO.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    char name[] = "/tmp/wave-fuzz-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        return 0;
    const bool written = write(fd, data, size) == ssize_t(size);
    close(fd);
    if (written) {
        try {
            TFileWaveStream in(QString::fromLocal8Bit(name));
            TPCMWaveReader reader(&in);
            std::vector<std::uint8_t> block(std::size_t(512) * std::max<int>(1, reader.PCMFormat().nBlockAlign));
            for (int rounds = 0; rounds < 64 && reader.Read(block.data(), 512) > 0; ++rounds) {
            }
            if (reader.Size() > 2) {
                reader.SetPosition(reader.Size() / 2);
                reader.Read(block.data(), 512);
            }
        } catch (const EWaveError&) {
        }
    }
    unlink(name);
    return 0;
}
