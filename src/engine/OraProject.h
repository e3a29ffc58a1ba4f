#pragma once

#include "IoResult.h"
#include "JoinCodes.h"
#include "RulerSet.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

// A canvas as a project file: an OpenRaster archive (a zip whose first entry
// "mimetype" is stored uncompressed, then stack.xml, one PNG per picture
// under data/, a thumbnail and the joined picture). stack.xml carries the
// standard attributes any OpenRaster reader understands, and our own
// attributes and elements, in our own namespace, for what the canvas needs
// back exactly: canvas positions, stretched boxes, turns, the current
// picture, the view mapping, the trim line and the ruler tables.
//
// This class only packs and unpacks; it never touches the canvas or a file
// other than the one it reads. Reading checks everything it is given: entry
// sizes against a byte limit, layer paths that would leave the archive, and
// every number, so an archive of any content gives either a project or a
// reason.
class OraProject
{
    Q_DECLARE_TR_FUNCTIONS(OraProject)

public:
    static constexpr char MimeType[] = "image/openraster";
    static constexpr char NamespaceUri[] = "urn:imgjoin:canvas-project:1";
    static constexpr qint64 MaxStackBytes = qint64(16) * 1024 * 1024;
    static constexpr int MaxLayers = 60;

    struct Layer
    {
        QString name;   // the picture's file name, shown by other programs
        QByteArray png; // the picture's own pixels
        QPoint joined;  // top-left in the joined picture
        QPoint place;   // top-left of the unturned box on the canvas
        QSize box;      // stretched box size; empty: the picture's own size
        float angle = 0.0f;
    };

    QSize size;          // the joined picture's size
    QList<Layer> layers; // in canvas order: the first is drawn at the bottom
    int current = -1;    // the current picture, -1 for none
    bool transparent = false;
    bool hasView = false; // whether zoom and origin were stored
    float zoom = 1.0f;
    QPoint origin;
    TrimMode trimMode = TrimMode::None;
    QPoint trimPoint; // in canvas units
    bool hasRulers = false;
    RulerSet rulers;
    QByteArray merged;    // the joined picture as PNG
    QByteArray thumbnail; // the joined picture within 256 x 256, as PNG

    // The archive's bytes.
    IoResult<QByteArray> pack() const;

    // Unpacks an archive held in memory or a file. The entries taken out
    // (stack.xml and the layer pictures) may hold at most byteLimit bytes
    // together; the merged picture and the thumbnail are not read.
    static IoResult<OraProject> unpack(const QByteArray& archive, qint64 byteLimit);
    static IoResult<OraProject> unpackFile(const QString& path, qint64 byteLimit);

    // The stack.xml text alone, and the project it describes with the layer
    // pictures still empty (their src paths in srcPaths, in layer order).
    QByteArray stackXml() const;
    static IoResult<OraProject> parseStack(const QByteArray& xml, QStringList& srcPaths);

    // Whether a layer's src names an entry inside the archive: relative,
    // without "..", without a drive or a backslash.
    static bool safeEntryName(const QString& name);
};
