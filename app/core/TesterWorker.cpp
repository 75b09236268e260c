// The tester thread, its request queue and the probe of a lost tester.
#include "TesterWorker.h"

#include <QThread>
#include <QTimer>
#include <optional>

namespace tavrin::app {

TesterWorker::TesterWorker(TesterPort& port, QObject* parent)
    : QObject(parent),
      m_wrappers(port),
      m_probeTimer(new QTimer(this)),
      m_answerWatch(new QTimer(this)) {
    m_probeTimer->setInterval(kProbeInterval);
    connect(m_probeTimer, &QTimer::timeout, this, &TesterWorker::probe);
    m_answerWatch->setSingleShot(true);
    m_answerWatch->setInterval(kAnswerBound);
    connect(m_answerWatch, &QTimer::timeout, this, [this] { lostStateSeen(true); });
}

TesterWorker::~TesterWorker() {
    if (!m_thread) return;
    // The quit is queued behind every request already issued, so a release or a last
    // setting still goes out; a lost tester refuses them at once.
    QThread* thread = m_thread;
    QMetaObject::invokeMethod(
        m_runner, [thread] { thread->quit(); }, Qt::QueuedConnection);
    thread->wait();
    delete m_runner;
    delete thread;
}

void TesterWorker::startThread() {
    if (m_thread) return;
    m_thread = new QThread;
    m_thread->setObjectName("tester");
    m_runner = new QObject;
    m_runner->moveToThread(m_thread);
    m_thread->start();
}

void TesterWorker::setProbeInterval(int ms) {
    m_probeTimer->setInterval(ms);
}

void TesterWorker::post(std::function<void()> task, Reach reach) {
    ++m_pending;
    if (m_thread && !m_answerWatch->isActive()) m_answerWatch->start();
    auto work = [this, task = std::move(task), reach] {
        {
            std::optional<CommandWrappers::Reach> through;
            if (reach == Reach::Always) through.emplace(m_wrappers);
            task();
        }
        const bool lost = m_wrappers.testerLost();
        toUserInterface([this, lost] { finished(lost); });
    };
    if (!m_thread) {
        work();
        return;
    }
    QMetaObject::invokeMethod(m_runner, std::move(work), Qt::QueuedConnection);
}

void TesterWorker::toUserInterface(std::function<void()> f) {
    if (!m_thread || QThread::currentThread() == thread()) {
        f();
        return;
    }
    // This object lives on the user-interface thread and outlives the tester thread.
    QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
}

void TesterWorker::finished(bool lost) {
    --m_pending;
    // The watch runs while anything is on its way, from the last answer on.
    if (m_pending > 0 && m_thread) {
        m_answerWatch->start();
    } else {
        m_answerWatch->stop();
    }
    lostStateSeen(lost);
}

void TesterWorker::lostStateSeen(bool lost) {
    if (lost == m_lostShown) return;
    m_lostShown = lost;
    if (lost) {
        m_probeTimer->start();
    } else {
        m_probeTimer->stop();
    }
    Q_EMIT testerLostChanged(lost);
}

void TesterWorker::probe() {
    // One short question at a time: a probe that is still waiting out its time-out is enough.
    if (m_probing) return;
    m_probing = true;
    ask(
        [](CommandWrappers& w) {
            char reply[kReplyBufferSize] = {};
            w.directWrite("STAT:DEV?");
            w.directRead(reply);
            return 0;
        },
        this, [this](int) { m_probing = false; }, Reach::Always);
}

void TesterWorker::run(Job job, Reach reach) {
    post([this, job = std::move(job)] { job(m_wrappers); }, reach);
}

void TesterWorker::send(const std::string& line) {
    run([line](CommandWrappers& w) { w.sendCommand(line.c_str()); });
}

void TesterWorker::sendDirect(const std::string& line) {
    run([line](CommandWrappers& w) { w.directWrite(line.c_str()); });
}

void TesterWorker::query(const std::string& line, QObject* context,
                         std::function<void(std::string)> then) {
    ask([line](CommandWrappers& w) { return w.query(line.c_str()); }, context, std::move(then));
}

}  // namespace tavrin::app
