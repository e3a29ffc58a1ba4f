#pragma once

#include <QCoreApplication>
#include <QRect>
#include <QStringList>
#include <QTextStream>

class CImgJoinEngine;
struct PixelJob;

// The batch tool's commands over the joining engine. Each command returns the
// process exit status: 0 on success, 1 when the work failed, 2 on bad usage.
class ImgJoinCommand
{
    Q_DECLARE_TR_FUNCTIONS(ImgJoinCommand)

public:
    static constexpr int Ok = 0;
    static constexpr int Failed = 1;
    static constexpr int Usage = 2;

    ImgJoinCommand(QTextStream& out, QTextStream& err);

    // arguments without the program name
    int run(const QStringList& arguments);

    static QString helpText();

private:
    struct Placement
    {
        QString file;
        bool placed = false;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        float angle = 0.0f;
    };

    int join(const QStringList& arguments);
    // Puts every picture of a project file on the canvas at its place moved
    // by the placement's x and y, taking the pictures out into folder;
    // false, with the reason in errors, when the project cannot be used.
    static bool addProject(CImgJoinEngine& engine, const Placement& placement,
                           const QString& folder, QStringList& errors);
    static bool isProject(const QString& file);
    int autoJoin(const QStringList& arguments);
    static bool parseArea(const QString& text, QRect& area);
    int stitch(const QStringList& arguments);
    int printPrep(const QStringList& arguments);
    int filter(const QStringList& arguments);
    int runPixelJob(PixelJob& job, const QString& input, const QString& output);
    static bool parseBytes(const QString& text, int count, QList<int>& values);
    int usageError(const QString& message);
    static bool parsePlacement(const QString& argument, Placement& placement);

    QTextStream& m_out;
    QTextStream& m_err;
};
