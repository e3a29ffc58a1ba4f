#pragma once

#include <QByteArray>
#include <QString>

// The 352-byte print-image hand-over block, as another application writes it.
class PrintInfoBlock
{
public:
    static constexpr int Size = 352;
    static constexpr int DirectoryOffset = 1;
    static constexpr int DirectorySize = 266;
    static constexpr int NameOffset = 267;
    static constexpr int NameSize = 77;
    static constexpr int RowsOffset = 344;
    static constexpr int ColumnsOffset = 348;

    static constexpr char Pending = 'Y';   // a picture waits
    static constexpr char TakenOver = 'y'; // the picture was taken over
    static constexpr char Raise = 'S';     // only bring the program to the front
    static constexpr char RaiseSeen = 'x'; // that request has been seen

    PrintInfoBlock(); // all zero

    const QByteArray& bytes() const { return m_bytes; }
    void fill(const QByteArray& data); // copies data over the block, as far as it goes

    char status() const { return m_bytes.at(0); }
    void setStatus(char status) { m_bytes[0] = status; }
    // Text fields stop at their NUL or at the end of their field.
    QString directory() const;
    QString name() const;
    int rows() const;
    int columns() const;

    // For writing hand-over files (tests, tools).
    bool setDirectory(const QString& directory);
    bool setName(const QString& name);
    void setRows(int rows);
    void setColumns(int columns);

private:
    QString field(int offset, int size) const;
    bool setField(int offset, int size, const QString& text);
    int int32At(int offset) const;
    void setInt32At(int offset, int value);
    QByteArray m_bytes;
};
