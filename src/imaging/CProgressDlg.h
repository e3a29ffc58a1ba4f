#pragma once

#include <QDialog>
#include <QFutureWatcher>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>

class QEventLoop;
class QLabel;
class QPushButton;

// A small modal box that runs one piece of picture work on the thread pool,
// shows its progress as "%d/100" every half second and closes itself as soon
// as the work is done. Work that cannot be interrupted refuses Escape and
// closing the window until then; Enter does nothing. Work that can be
// interrupted gives the box a cancel action (setCancel): a 取消 button, and
// Escape or closing the window, ask the work to stop, and the box still
// closes only once the work has returned.
class CProgressDlg : public QDialog
{
    Q_OBJECT

public:
    using Work = std::function<void()>;
    using ProgressText = std::function<QString()>;
    // Asks the running work to stop soon; called on this thread.
    using Cancel = std::function<void()>;

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

    // Shows the 取消 button; to be set before the work starts. The work is
    // asked once, however often the user cancels; the box then ends with
    // QDialog::Rejected.
    void setCancel(Cancel cancel);
    bool cancelRequested() const { return m_cancelRequested; }

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
    void requestCancel();

    Work m_work;
    ProgressText m_progressText;
    std::atomic<int> m_state{ Idle };
    QFutureWatcher<void> m_worker;
    bool m_closed = false; // closed once the work was done
    QTimer m_timer;
    QLabel* m_progressLabel = nullptr;
    QLabel* m_messageLabel = nullptr;
    QPushButton* m_cancelButton = nullptr;
    Cancel m_cancel;
    bool m_cancelRequested = false;
    QEventLoop* m_waitLoop = nullptr; // the loop of runDelayed while it waits
};
