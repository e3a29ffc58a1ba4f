#pragma once

#include "UserPrompts.h"

#include <QObject>
#include <QString>

class CImgJoinEngine;
class QWidget;

// The document of the window is the canvas, kept in a project file: new,
// open, save and save-as work on it, and every command that would throw a
// changed canvas away asks first whether to save it.
class CQznImgEdtJoinDoc : public QObject
{
    Q_OBJECT

public:
    CQznImgEdtJoinDoc(CImgJoinEngine& engine, QWidget* window);

    void setPrompts(const UserPrompts& prompts) { m_prompts = prompts; }
    // The project the canvas was last opened from or saved to; empty for a
    // canvas never saved as a project.
    QString projectFile() const { return m_projectFile; }
    // The file dialogs' filter of project files.
    static QString projectFilter();

    // True when the work may go on: the canvas is unchanged, was saved now,
    // or the user chose not to save it. False leaves everything as it was.
    bool maybeSave();
    // An empty canvas, after the question.
    bool newDocument();
    // The open dialog, after the question.
    bool open();
    // A project from the recent-file list, after the question; a file that
    // cannot be opened leaves the list.
    bool openRecent(const QString& path);
    // Opens a project without asking.
    bool openFile(const QString& path);
    // To the project file the canvas came from, or through save-as.
    bool save();
    bool saveAs();

signals:
    // The canvas was replaced as a whole (a new or opened project).
    void canvasReplaced();
    // What was done, for the status bar.
    void statusMessage(const QString& message);

private:
    bool saveTo(const QString& path);
    QString startFolder() const;

    CImgJoinEngine& m_engine;
    QWidget* m_window;
    UserPrompts m_prompts;
    QString m_projectFile;
};
