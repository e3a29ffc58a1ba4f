#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// Zip archives made by hand for the tests, and a look inside archives.
namespace TestArchive {

struct Entry
{
    QString name;
    QByteArray bytes;
    bool stored = false; // uncompressed instead of deflated
};

// The archive's bytes, entries in the order given.
QByteArray make(const QList<Entry>& entries);

// The names of the entries in the order of the archive, and whether each is
// stored uncompressed.
QList<std::pair<QString, bool>> entryList(const QByteArray& archive);

// One entry's bytes; empty when it is not there.
QByteArray entry(const QByteArray& archive, const QString& name);

// A project file of two pictures with only the standard attributes.
QByteArray plainProject(const QByteArray& lowerPng, const QByteArray& upperPng);

} // namespace TestArchive
