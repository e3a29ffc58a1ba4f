#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of the program at start-up. Without options the
// data files and the temporary folder live in the working directory, as they
// always have; "--data-dir <folder>" names another folder, and "--user-data"
// (given by the desktop menu's launcher) picks the user's own data folder of
// the program, so a program started from the menu does not litter the home
// folder.
class StartOptions
{
public:
    enum class Outcome
    {
        Run,      // start the program
        ShowHelp, // print helpText() and stop
        Failed    // print errorText() and stop with a failure
    };

    // Reads the arguments, the program's name first.
    Outcome parse(const QStringList& arguments);

    // The folder of the data files, absolute; empty until parse() ran.
    QString dataDir() const { return m_dataDir; }
    // True when an option chose the folder; it is then created when missing
    // and becomes the working directory.
    bool dataDirChosen() const { return m_dataDirChosen; }
    QString helpText() const { return m_helpText; }
    QString errorText() const { return m_errorText; }

    // Creates the chosen data folder when it is missing and makes it the
    // working directory; false with errorText() set when that fails.
    bool prepareDataDir();

private:
    QString m_dataDir;
    bool m_dataDirChosen = false;
    QString m_helpText;
    QString m_errorText;
};
