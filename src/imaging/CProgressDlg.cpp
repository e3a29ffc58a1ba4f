#include "CProgressDlg.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

CProgressDlg::CProgressDlg(Work work, ProgressText progressText, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_work(std::move(work))
    , m_progressText(std::move(progressText))
{
    m_messageLabel = new QLabel(tr("正在进行图片处理,请稍等!"), this);
    m_progressLabel = new QLabel(this);
    m_progressLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_progressLabel->setAlignment(Qt::AlignCenter);
    m_progressLabel->setMinimumWidth(72);
    m_cancelButton = new QPushButton(tr("取消"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setAutoDefault(false);
    m_cancelButton->hide();
    connect(m_cancelButton, &QPushButton::clicked, this, &CProgressDlg::requestCancel);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 18, 14, 18);
    layout->addWidget(m_messageLabel);
    layout->addWidget(m_progressLabel);
    layout->addWidget(m_cancelButton);
    setModal(true);

    connect(&m_worker, &QFutureWatcher<void>::finished, this, &CProgressDlg::workerFinished);
    m_timer.setInterval(PollInterval);
    connect(&m_timer, &QTimer::timeout, this, &CProgressDlg::poll);
    m_timer.start();
}

CProgressDlg::~CProgressDlg()
{
    m_worker.waitForFinished();
}

void CProgressDlg::setCancel(Cancel cancel)
{
    m_cancel = std::move(cancel);
    m_cancelButton->setVisible(bool(m_cancel));
}

void CProgressDlg::requestCancel()
{
    if (!m_cancel || m_cancelRequested || m_state.load() == Finished)
        return;
    m_cancelRequested = true;
    m_cancelButton->setEnabled(false);
    m_messageLabel->setText(tr("正在取消,请稍等!"));
    m_cancel();
}

QString CProgressDlg::shownText() const
{
    return m_progressLabel->text();
}

void CProgressDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Once the box is on the screen, not before.
    if (m_state.load() == Idle)
        QTimer::singleShot(0, this, &CProgressDlg::startWorker);
    setFocus();
}

void CProgressDlg::startWorker()
{
    int idle = Idle;
    if (!m_state.compare_exchange_strong(idle, Started))
        return;
    m_worker.setFuture(QtConcurrent::run([this] {
        m_state = Running;
        if (m_work)
            m_work();
        m_state = Finished;
    }));
}

int CProgressDlg::runDelayed(int delayMs)
{
    startWorker();
    QEventLoop loop;
    m_waitLoop = &loop;
    QTimer::singleShot(delayMs, &loop, &QEventLoop::quit);
    if (m_state.load() != Finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_waitLoop = nullptr;
    if (m_state.load() == Finished) {
        workerFinished();
        return result();
    }
    return exec();
}

void CProgressDlg::poll()
{
    if (m_state.load() == Running && m_progressText)
        m_progressLabel->setText(m_progressText());
}

void CProgressDlg::workerFinished()
{
    if (m_state.load() != Finished)
        return;
    m_worker.waitForFinished();
    m_timer.stop();
    if (m_waitLoop) {
        m_waitLoop->quit();
        return;
    }
    // Both the watcher and runDelayed report the end; close only once.
    if (m_closed)
        return;
    m_closed = true;
    done(m_cancelRequested ? QDialog::Rejected : QDialog::Accepted);
}

void CProgressDlg::reject()
{
    if (m_state.load() == Finished)
        workerFinished();
    else
        requestCancel();
}

void CProgressDlg::closeEvent(QCloseEvent* event)
{
    if (m_state.load() == Finished) {
        QDialog::closeEvent(event);
        return;
    }
    requestCancel();
    event->ignore();
}

void CProgressDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
