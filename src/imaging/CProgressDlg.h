#pragma once

#include <QDialog>
#include <QFutureWatcher>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>

class QEventLoop;
class QLabel;

// A small modal box that runs one piece of picture work on the thread pool,
// shows its progress as "%d/100" every half second and closes itself as soon
// as the work is done. The work cannot be interrupted, so Escape and closing
// the window are refused until then; Enter does nothing.
class CProgressDlg : public QDialog
{
    Q_OBJECT

public:
    using Work = std::function<void()>;
    using ProgressText = std::function<QString()>;

    static constexpr int PollInterval = 500; // ms

    // Where the work stands.
    enum State
    {
        Idle = 0,
        Started = 1,
        Running = 111,
        Finished = 999
    };

    // work runs on a pool thread; progressText is called on this thread and
    // must be safe while the work runs.
    CProgressDlg(Work work, ProgressText progressText, QWidget* parent = nullptr);
    ~CProgressDlg() override;

    // Starts the work and shows the box only if the work is still running
    // after delayMs, so that quick work does not flash a window. Returns
    // when the work is done.
    int runDelayed(int delayMs);

    State state() const { return State(m_state.load()); }
    QString shownText() const;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void startWorker();
    void poll();
    void workerFinished();

    Work m_work;
    ProgressText m_progressText;
    std::atomic<int> m_state{ Idle };
    QFutureWatcher<void> m_worker;
    bool m_closed = false; // closed once the work was done
    QTimer m_timer;
    QLabel* m_progressLabel = nullptr;
    QEventLoop* m_waitLoop = nullptr; // the loop of runDelayed while it waits
};
