// The tester thread: the one caller of TavrinLink in the program. Requests run on it one at a
// time, strictly in the order they are issued; answers come back to the user-interface thread
// as continuations, so no window ever waits for the tester. It also probes a lost tester.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "CommandWrappers.h"

class QThread;
class QTimer;

namespace tavrin::app {

class TesterWorker : public QObject {
    Q_OBJECT
public:
    // A lost tester is asked "STAT:DEV?" this often (milliseconds, before the timing scale).
    static constexpr int kProbeInterval = 1000;
    // A request that has not come back after this long (real milliseconds) means a tester that
    // stopped answering, whatever the library's own time-outs: the loss is shown at once.
    static constexpr int kAnswerBound = 2000;

    explicit TesterWorker(TesterPort& port, QObject* parent = nullptr);
    // Runs every request already issued, then ends the thread.
    ~TesterWorker() override;

    // From now on requests run on a thread of their own. Until then (and in the tests that
    // never call it) each request runs at once on the caller's thread and its continuation
    // right after it: the same order, without the wait.
    void startThread();
    bool threaded() const { return m_thread != nullptr; }
    // The probe interval in real milliseconds.
    void setProbeInterval(int ms);

    // The wrappers, for requests (and for tests of the synchronous worker).
    CommandWrappers& wrappers() { return m_wrappers; }
    int32_t writeErrorCount() const { return m_wrappers.writeErrorCount; }

    // Whether requests reach a lost tester: the probe and the reset do, all else fails at once.
    enum class Reach { Answering, Always };

    using Job = std::function<void(CommandWrappers&)>;
    void run(Job job, Reach reach = Reach::Answering);
    // Runs `job` on the tester thread and hands its result to `then` on the user-interface
    // thread; nothing is handed when `context` is gone by then.
    template <typename JobF, typename Then>
    void ask(JobF job, QObject* context, Then then, Reach reach = Reach::Answering);

    // One command line through the send wrapper; the result is not needed.
    void send(const std::string& line);
    // A window's command line, in the tester's Latin-1.
    void sendText(const QString& line) { send(line.toLatin1().toStdString()); }
    // One command line straight to the library (not counted or echoed).
    void sendDirect(const std::string& line);
    // Sends a query and hands its answer to `then`.
    void query(const std::string& line, QObject* context, std::function<void(std::string)> then);

    // Runs `f` on the user-interface thread (at once when called there without a thread).
    void toUserInterface(std::function<void()> f);
    // Requests issued and not yet finished (with their continuations handed on).
    int pending() const { return m_pending; }
    bool testerLost() const { return m_lostShown; }

Q_SIGNALS:
    // The tester stopped answering (true), or answers again (false). Emitted on the
    // user-interface thread after the continuation of the request that found it out.
    void testerLostChanged(bool lost);

private:
    void post(std::function<void()> task, Reach reach);
    void probe();
    void lostStateSeen(bool lost);
    void finished(bool lost);

    CommandWrappers m_wrappers;
    QThread* m_thread = nullptr;
    QObject* m_runner = nullptr;  // lives on the tester thread: the requests' receiver
    QTimer* m_probeTimer;
    QTimer* m_answerWatch;
    std::atomic<int> m_pending = 0;
    bool m_lostShown = false;  // the state last announced
    bool m_probing = false;
};

template <typename JobF, typename Then>
void TesterWorker::ask(JobF job, QObject* context, Then then, Reach reach) {
    using Result = std::invoke_result_t<JobF&, CommandWrappers&>;
    QPointer<QObject> guard(context);
    post(
        [this, job = std::move(job), guard, then = std::move(then)]() mutable {
            auto result = std::make_shared<Result>(job(m_wrappers));
            toUserInterface([guard, then, result]() mutable {
                if (guard) then(std::move(*result));
            });
        },
        reach);
}

}  // namespace tavrin::app
