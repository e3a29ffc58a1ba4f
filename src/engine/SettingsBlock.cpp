#include "SettingsBlock.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes of a new settings file that are not zero.
constexpr int LeadByteOffset = 0;
constexpr int PaddingOffset = 1511;
constexpr int PaddingSize = 68;
constexpr char DefaultHotKey = 'G';

} // namespace

SettingsBlock::SettingsBlock()
    : m_bytes(Size, '\0')
{
    m_bytes[LeadByteOffset] = ' ';
    std::memset(m_bytes.data() + PaddingOffset, ' ', PaddingSize);
    m_bytes[HotKeyOffset] = DefaultHotKey;
}

void SettingsBlock::fill(const QByteArray& data)
{
    const qsizetype count = std::min<qsizetype>(data.size(), Size);
    std::memcpy(m_bytes.data(), data.constData(), size_t(count));
}

int SettingsBlock::offsetFor(int id)
{
    switch (id) {
        case 102: return JoinDirOffset;
        case 103: return PhotoDirOffset;
        case 104: return MusicDirOffset;
        default: return -1;
    }
}

QString SettingsBlock::text(int id) const
{
    const int offset = offsetFor(id);
    if (offset < 0)
        return {};
    const char* field = m_bytes.constData() + offset;
    const auto* end = static_cast<const char*>(std::memchr(field, '\0', TextFieldSize));
    const qsizetype length = end ? end - field : TextFieldSize;
    return QString::fromLocal8Bit(field, length);
}

IoStatus SettingsBlock::setText(int id, const QString& value)
{
    const int offset = offsetFor(id);
    QString reason;
    const QByteArray encoded = value.toLocal8Bit();
    if (offset < 0)
        reason = tr("未知的设置项 %1").arg(id);
    else if (encoded.size() >= TextFieldSize)
        reason = tr("设置内容过长(%1 字节, 最多 %2 字节): %3")
                     .arg(encoded.size())
                     .arg(TextFieldSize - 1)
                     .arg(value);
    else if (encoded.contains('\0'))
        reason = tr("设置内容含有空字符: %1").arg(value);
    if (!reason.isEmpty())
        return IoStatus::failure(reason);
    char* field = m_bytes.data() + offset;
    std::memset(field, 0, TextFieldSize);
    std::memcpy(field, encoded.constData(), size_t(encoded.size()));
    return ioDone();
}
