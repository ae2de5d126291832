// TLEADImage: the link to a blob field of a data source (platform/db). The control reads its
// picture from the field whenever the source opens or moves to another row, and puts it back,
// as a 24-byte header ("LTOCXBND", the header size and the picture's byte count, little-endian)
// followed by the file in DataSaveFormat, when the row is posted after the picture changed.
#include "imaging/LEADImage.h"

#include "imaging/LEADFieldLink.h"

#include <QtEndian>

#include <algorithm>
#include <vector>

namespace {

constexpr char kBlobTag[] = "LTOCXBND";
constexpr int kHeaderSize = 24;

} // namespace

void LeadFieldLink::RecordChanged() { Image->LoadFromDataField(); }
void LeadFieldLink::UpdateData() { Image->WriteToDataField(); }

void TLEADImage::setDataSource(QObject* source)
{
    auto* data = dynamic_cast<TDataSource*>(source);
    m_dataSource = source;
    if (!m_fieldLink)
        m_fieldLink = std::make_unique<LeadFieldLink>(this);
    if (m_fieldLink->Source())
        m_fieldLink->Source()->RemoveLink(m_fieldLink.get());
    if (data) {
        data->AddLink(m_fieldLink.get());
        if (data->Active() && !m_dataField.isEmpty())
            LoadFromDataField();
    }
    SetLastError(1);
}

void TLEADImage::setDataField(const QString& field)
{
    TDataSource* data = m_fieldLink ? m_fieldLink->Source() : nullptr;
    if (data && data->Active() && !field.isEmpty()) {
        const TDataSource::TFieldKind kind = data->FieldKind(field);
        if (kind == TDataSource::fkMissing)
            throw EDatabaseError(QStringLiteral("Field '") + field + QStringLiteral("' not found"));
        if (kind != TDataSource::fkBlob)
            throw EInvalidFieldType();
    }
    m_dataField = field;
    if (data && data->Active() && !field.isEmpty())
        LoadFromDataField();
    SetLastError(1);
}

void TLEADImage::setReadOnly(bool on)
{
    m_readOnly = on;
    SetLastError(1);
}

int TLEADImage::LoadFromDataField()
{
    ClearImage();
    TDataSource* data = m_fieldLink ? m_fieldLink->Source() : nullptr;
    int code = LE_SUCCESS;
    if (data && data->Active() && !m_dataField.isEmpty()) {
        const QVariant value = data->FieldValue(m_dataField);
        if (!value.isNull()) {
            const QByteArray bytes = value.toByteArray();
            qint64 offset = 0;
            if (bytes.startsWith(kBlobTag) && bytes.size() >= 12)
                offset = std::max<qint32>(0, qFromLittleEndian<qint32>(bytes.constData() + 8));
            const qint64 rest = std::max<qint64>(0, bytes.size() - offset);
            SuspendMethodErrors();
            try {
                code = LoadMemory(bytes.constData() + std::min<qint64>(offset, bytes.size()), m_dataLoadBits, 1, rest);
            } catch (...) {
                ResumeMethodErrors();
                throw;
            }
            ResumeMethodErrors();
        }
    }
    // The picture is what the field holds.
    m_dataModified = false;
    return ReportResult(QStringLiteral("DataField"), code);
}

void TLEADImage::WriteToDataField()
{
    TDataSource* data = m_fieldLink ? m_fieldLink->Source() : nullptr;
    if (!data || m_dataField.isEmpty() || m_readOnly || !m_dataModified)
        return;
    if (!m_allocated) {
        data->SetFieldValue(m_dataField, QVariant());
        m_dataModified = false;
        return;
    }
    std::vector<std::uint8_t> file;
    LSaveOptions options;
    L_GetDefaultSaveFileOption(&options);
    const bool progress = m_enableProgressEvent;
    m_enableProgressEvent = false;
    const int code = L_SaveBitmapMemory(&file, &m_bitmap, m_dataSaveFormat, m_dataSaveBits, m_dataSaveQuality, &options);
    m_enableProgressEvent = progress;
    if (code != LE_SUCCESS) {
        // The field keeps what it held.
        ReportResult(QStringLiteral("DataField"), code);
        return;
    }
    QByteArray blob(kHeaderSize, '\0');
    std::copy_n(kBlobTag, 8, blob.data());
    qToLittleEndian<qint32>(kHeaderSize, blob.data() + 8);
    qToLittleEndian<qint32>(qint32(file.size()), blob.data() + 12);
    blob.append(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
    if (blob.size() != kHeaderSize + qsizetype(file.size()))
        RaiseResult(QStringLiteral("Database"), -1);
    data->SetFieldValue(m_dataField, blob);
    m_dataModified = false;
}
