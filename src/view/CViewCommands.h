#pragma once

#include "JoinCodes.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAction;

// The program's command table. It builds every QAction of the menus, the tool
// bar and the popup menus in one place (createActions), with the command id
// as the action's data(), and enables them from one rule table
// (updateActions). A command runs the handler connected to its id; a command
// without a handler stays disabled, so a feature switches on by connecting
// its handler with setHandler().
class CViewCommands : public QObject
{
    Q_OBJECT

public:
    // When a command is enabled, checked or renamed.
    enum class Rule
    {
        Always,         // always enabled
        NotInOutput,    // disabled in print-output mode
        OutputOnly,     // enabled only in print-output mode
        WholeDrawing,   // checked in whole-drawing mode; disabled in output mode
        Transparent,    // checked while the current picture is transparent; not in output mode
        HasPictures,    // at least one picture on the canvas; not in output mode
        HasCurrent,     // a valid current picture; not in output mode
        PictureBelow,   // a current picture over another; not in output mode, not while busy
        TwoPictures,    // at least two pictures; not in output mode, not while busy
        FilterUndo,     // a filter can be undone
        CanUndo,        // a canvas edit can be undone; not in output mode
        CanRedo,        // an undone canvas edit can be redone; not in output mode
        BackgroundTool, // not in output mode, not while the background-colour tool is open
        HorzLines,      // checked while horizontal ruler lines are shown
        VertLines,      // checked while vertical ruler lines are shown
        OutputSwitch,   // its text names the mode it switches to
        MusicLoop,      // checked while background music loops
        Unchanged       // enabled, left as it is
    };

    // What the rules look at, supplied by the view.
    struct State
    {
        bool outputMode = false;
        bool wholeDrawing = false;
        bool transparent = false;
        bool horzLines = false;
        bool vertLines = false;
        bool musicLoop = false;
        bool hasPictures = false;
        bool hasCurrent = false;
        bool hasPictureBelow = false; // the current picture is not the bottom one
        int pictureCount = 0;
        bool busy = false; // a picture job runs
        bool filterUndo = false;
        bool canUndo = false;
        bool canRedo = false;
        bool backgroundToolOpen = false;
    };

    explicit CViewCommands(QObject* parent = nullptr);
    ~CViewCommands() override;

    void createActions();
    void updateActions();

    QAction* action(int id) const { return m_actions.value(id); }
    QList<int> ids() const;
    static Rule ruleOf(int id);
    // The filter or print-output job a command starts; none for other commands.
    static std::optional<FilterCode> filterOf(int id);
    static std::optional<OutputJob> jobOf(int id);

    // The one place where a command id meets the code that carries it out.
    void setHandler(int id, std::function<void()> handler);
    bool hasHandler(int id) const { return m_handlers.contains(id); }
    void setStateSource(std::function<State()> source) { m_stateSource = std::move(source); }

    // Runs a command as if its menu item or button had been chosen.
    void trigger(int id);

    // Text of the output-mode switch for the current mode.
    static QString outputSwitchText(bool outputMode);
    static bool isPopupItem(int id);

signals:
    // After a command's handler has run and the actions were updated.
    void commandDone(int id);

private:
    struct Entry;
    static const QList<Entry>& table();
    static const Entry* entryOf(int id);
    static QString translated(const char* text);
    static QIcon iconFor(const Entry& entry);
    QAction* makeAction(const Entry& entry);
    void dispatch(int id);
    static bool ruleEnables(Rule rule, const State& state);
    static bool ruleChecks(Rule rule, const State& state);
    static bool isCheckRule(Rule rule);

    QHash<int, QAction*> m_actions;
    QHash<int, std::function<void()>> m_handlers;
    std::function<State()> m_stateSource;
};
