#include "PrintInfoBlock.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

PrintInfoBlock::PrintInfoBlock()
    : m_bytes(Size, '\0')
{
}

void PrintInfoBlock::fill(const QByteArray& data)
{
    const qsizetype count = std::min<qsizetype>(data.size(), Size);
    std::memcpy(m_bytes.data(), data.constData(), size_t(count));
}

QString PrintInfoBlock::directory() const
{
    return field(DirectoryOffset, DirectorySize);
}

QString PrintInfoBlock::name() const
{
    return field(NameOffset, NameSize);
}

int PrintInfoBlock::rows() const
{
    return int32At(RowsOffset);
}

int PrintInfoBlock::columns() const
{
    return int32At(ColumnsOffset);
}

bool PrintInfoBlock::setDirectory(const QString& directory)
{
    return setField(DirectoryOffset, DirectorySize, directory);
}

bool PrintInfoBlock::setName(const QString& name)
{
    return setField(NameOffset, NameSize, name);
}

void PrintInfoBlock::setRows(int rows)
{
    setInt32At(RowsOffset, rows);
}

void PrintInfoBlock::setColumns(int columns)
{
    setInt32At(ColumnsOffset, columns);
}

// A field without its NUL ends where the field ends, never in the next one.
QString PrintInfoBlock::field(int offset, int size) const
{
    const char* start = m_bytes.constData() + offset;
    const auto* end = static_cast<const char*>(std::memchr(start, '\0', size_t(size)));
    return QString::fromLocal8Bit(start, end ? end - start : size);
}

// The text must leave room for its NUL; the rest of the field is cleared.
bool PrintInfoBlock::setField(int offset, int size, const QString& text)
{
    const QByteArray encoded = text.toLocal8Bit();
    if (encoded.size() >= size || encoded.contains('\0'))
        return false;
    char* start = m_bytes.data() + offset;
    std::memset(start, 0, size_t(size));
    std::memcpy(start, encoded.constData(), size_t(encoded.size()));
    return true;
}

int PrintInfoBlock::int32At(int offset) const
{
    return qFromLittleEndian<qint32>(m_bytes.constData() + offset);
}

void PrintInfoBlock::setInt32At(int offset, int value)
{
    qToLittleEndian<qint32>(value, m_bytes.data() + offset);
}
