#include "output/audio/ByteSource.h"

namespace {

class TFileSource : public TByteSource {
public:
    explicit TFileSource(const QString& path) : m_file(path)
    {
        if (m_file.open(QIODevice::ReadOnly))
            m_size = m_file.size();
    }
    qint64 Size() const override { return m_size; }
    bool Read(qint64 pos, qint64 len, QByteArray& out) override
    {
        out.clear();
        if (m_size < 0 || pos < 0 || len < 0)
            return false;
        if (pos >= m_size || len == 0)
            return true;
        if (!m_file.seek(pos))
            return false;
        out = m_file.read(len);
        return m_file.error() == QFileDevice::NoError;
    }

private:
    QFile m_file;
    qint64 m_size = -1;
};

class TDataSource : public TByteSource {
public:
    explicit TDataSource(const QByteArray& data) : m_data(data) {}
    qint64 Size() const override { return m_data.size(); }
    bool Read(qint64 pos, qint64 len, QByteArray& out) override
    {
        out.clear();
        if (pos < 0 || len < 0)
            return false;
        if (pos < m_data.size())
            out = m_data.mid(pos, len);
        return true;
    }

private:
    QByteArray m_data;
};

} // namespace

std::unique_ptr<TByteSource> TByteSource::OfFile(const QString& path) { return std::make_unique<TFileSource>(path); }

std::unique_ptr<TByteSource> TByteSource::OfData(const QByteArray& data) { return std::make_unique<TDataSource>(data); }
