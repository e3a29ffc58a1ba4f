#pragma once

#include "IoResult.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// The 1708-byte settings block, kept byte for byte as the settings file holds
// it. Text fields are in the local 8-bit encoding and NUL-terminated.
class SettingsBlock
{
    Q_DECLARE_TR_FUNCTIONS(SettingsBlock)

public:
    static constexpr int Size = 1708;
    static constexpr int TextFieldSize = 366;
    static constexpr int MusicDirOffset = 387;
    static constexpr int PhotoDirOffset = 753;
    static constexpr int JoinDirOffset = 1119;
    static constexpr int HotKeyOffset = 1579;

    SettingsBlock(); // the defaults of a new file

    const QByteArray& bytes() const { return m_bytes; }
    // Copies data over the block, as far as it goes (at most Size bytes).
    void fill(const QByteArray& data);

    // Text of setting 102, 103 or 104; empty for any other id.
    QString text(int id) const;
    // Stores the text of setting 102, 103 or 104. Refuses, saying why, a
    // text that does not fit its field with its terminating NUL, or an
    // unknown id; the block then stays as it was.
    IoStatus setText(int id, const QString& value);

    char hotKey() const { return m_bytes.at(HotKeyOffset); }
    void setHotKey(char letter) { m_bytes[HotKeyOffset] = letter; }

private:
    static int offsetFor(int id);
    QByteArray m_bytes;
};
