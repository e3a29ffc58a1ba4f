#pragma once

#include "GlobalHotKey.h"

#include <QDialog>
#include <QString>

class CImgJoinEngine;
class QComboBox;
class QLabel;
class QPushButton;

// The About box: what the program does, its version and the Qt it was built
// with, and the letter of the screen-capture hot key. A letter chosen from the
// list and confirmed is written to the settings file at once; the key
// registered now stays until the next start. Text typed into the box's edit
// field is never stored.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    CAboutDlg(CImgJoinEngine& engine, GlobalHotKey::State hotKeyState, QWidget* parent = nullptr);

    // "A" to "Z" and ",", the letters the box offers.
    static QStringList letters();
    // The six lines of description.
    static QStringList descriptionLines();
    // What the box says about the hot key on this desktop; empty while it works.
    static QString hotKeyNote(GlobalHotKey::State state);

    QComboBox* letterBox() const { return m_letterBox; }
    QPushButton* confirmButton() const { return m_confirmButton; }
    QLabel* noteLabel() const { return m_noteLabel; }

private:
    void chooseLetter(int index);
    void confirmLetter();

    CImgJoinEngine& m_engine;
    QString m_hotKey; // the letter chosen from the list
    QComboBox* m_letterBox = nullptr;
    QPushButton* m_confirmButton = nullptr;
    QLabel* m_noteLabel = nullptr;
};
