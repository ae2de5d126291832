#pragma once
// Sound files made at test time: tones by sox, MP3 files by lame, wave headers by hand.
#include "support/TestEnv.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QtEndian>

#include <cstring>

#include <gtest/gtest.h>

namespace kvtest {

// Runs program with args; true when it ran and ended with 0.
inline bool RunTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAll().toStdString();
        return false;
    }
    return true;
}

// A 16-bit sine tone of seconds at rate with channels, written by sox.
inline QString Tone(const QString& path, int rate, int channels, double seconds = 1.0)
{
    QDir().mkpath(QFileInfo(path).path());
    RunTool(QStringLiteral("sox"), {QStringLiteral("-n"), QStringLiteral("-r"), QString::number(rate),
                                    QStringLiteral("-c"), QString::number(channels), QStringLiteral("-b"),
                                    QStringLiteral("16"), path, QStringLiteral("synth"),
                                    QString::number(seconds), QStringLiteral("sine"), QStringLiteral("440")});
    return path;
}

// An MP3 of a 44,100 Hz stereo tone encoded by lame with lameArgs.
inline QString Mp3(const QString& path, const QStringList& lameArgs, double seconds = 2.0)
{
    const QString wav = path + QStringLiteral(".src.wav");
    Tone(wav, 44100, 2, seconds);
    RunTool(QStringLiteral("lame"), QStringList{QStringLiteral("--quiet")} + lameArgs + QStringList{wav, path});
    QFile::remove(wav);
    return path;
}

// A 44-byte wave header (and no sound) with the given fields.
inline QByteArray WaveHeaderBytes(quint16 channels, quint32 rate, quint16 bits, quint32 dataSize)
{
    QByteArray b(44, '\0');
    auto* p = reinterpret_cast<uchar*>(b.data());
    memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataSize, p + 4);
    memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20);
    qToLittleEndian<quint16>(channels, p + 22);
    qToLittleEndian<quint32>(rate, p + 24);
    qToLittleEndian<quint32>(rate * channels * bits / 8, p + 28);
    qToLittleEndian<quint16>(quint16(channels * bits / 8), p + 32);
    qToLittleEndian<quint16>(bits, p + 34);
    memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(dataSize, p + 40);
    return b;
}

inline QString WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

} // namespace kvtest
