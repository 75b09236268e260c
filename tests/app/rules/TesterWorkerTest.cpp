// The tester thread: requests in the order issued from the user-interface thread, answers
// handed back on that thread, nothing lost at shutdown, a lost tester refused at once and
// probed, and a tester that hangs shown as lost while the window goes on.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <condition_variable>
#include <mutex>

#include "FakeTester.h"
#include "core/TesterWorker.h"

namespace tavrin::app::testing {
namespace {

// The fake behind a lock, and a write that can be held until the test lets it go.
class GuardedTester : public FakeTester {
public:
    int16_t write(const char* line) override {
        std::unique_lock<std::mutex> lock(mutex);
        released.wait(lock, [this] { return !holding; });
        threads.push_back(QThread::currentThread());
        return FakeTester::write(line);
    }
    int16_t read(char* out) override {
        std::lock_guard<std::mutex> lock(mutex);
        return FakeTester::read(out);
    }
    bool testerLost() override {
        std::lock_guard<std::mutex> lock(mutex);
        return silent;
    }
    std::vector<std::string> sent() {
        std::lock_guard<std::mutex> lock(mutex);
        return lines;
    }
    void setHolding(bool hold) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            holding = hold;
        }
        released.notify_all();
    }
    void setSilent(bool s) {
        std::lock_guard<std::mutex> lock(mutex);
        silent = s;
    }

    std::mutex mutex;
    std::condition_variable released;
    bool holding = false;
    std::vector<QThread*> threads;
};

TEST(TesterWorker, RequestsRunInIssueOrderOffThisThreadAndAnswersComeBackOnIt) {
    GuardedTester tester;
    tester.answers["*IDN?"] = "3.2.0";
    std::vector<std::string> answers;
    std::vector<QThread*> answeredOn;
    QObject context;
    {
        TesterWorker worker(tester);
        worker.startThread();
        worker.run([](CommandWrappers& w) { w.communicationEnabled = true; });
        for (int i = 0; i < 50; ++i) {
            worker.send("CONF:A " + std::to_string(i));
            if (i % 10 == 0) {
                worker.query("*IDN?", &context, [&](std::string a) {
                    answers.push_back(a);
                    answeredOn.push_back(QThread::currentThread());
                });
            }
            worker.sendDirect("CONF:B " + std::to_string(i));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return worker.pending() == 0; }, 20000));
        // Issued last, run before the destructor returns: nothing queued is dropped.
        worker.send("PROC:CONN:REL");
    }
    std::vector<std::string> expected;
    for (int i = 0; i < 50; ++i) {
        expected.push_back("CONF:A " + std::to_string(i));
        if (i % 10 == 0) expected.push_back("*IDN?");
        expected.push_back("CONF:B " + std::to_string(i));
    }
    expected.push_back("PROC:CONN:REL");
    EXPECT_EQ(tester.sent(), expected);
    for (QThread* t : tester.threads) EXPECT_NE(t, QThread::currentThread());
    EXPECT_EQ(answers, std::vector<std::string>(5, "3.2.0"));
    for (QThread* t : answeredOn) EXPECT_EQ(t, QThread::currentThread());
}

TEST(TesterWorker, AnAnswerForAWindowThatIsGoneIsDropped) {
    GuardedTester tester;
    TesterWorker worker(tester);
    worker.startThread();
    bool answered = false;
    {
        QObject window;
        tester.setHolding(true);
        worker.query("*IDN?", &window, [&](std::string) { answered = true; });
    }
    tester.setHolding(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker.pending() == 0; }, 20000));
    EXPECT_FALSE(answered);
}

TEST(TesterWorker, ALostTesterIsRefusedAtOnceProbedAndPickedUpAgain) {
    FakeTester tester;
    TesterWorker worker(tester);  // synchronous: the requests run in this thread
    worker.setProbeInterval(5);
    std::vector<bool> announced;
    QObject::connect(&worker, &TesterWorker::testerLostChanged,
                     [&](bool lost) { announced.push_back(lost); });
    worker.run([](CommandWrappers& w) { w.communicationEnabled = true; });

    tester.silent = true;
    worker.send("READ:NTP?");  // goes out and is not answered
    EXPECT_EQ(announced, std::vector<bool>{true});
    EXPECT_TRUE(worker.testerLost());
    // Lines after the loss are not sent, and fail.
    std::optional<std::string> answer;
    QObject context;
    worker.send("CONF:X 1");
    worker.query("*IDN?", &context, [&](std::string a) { answer = a; });
    EXPECT_EQ(answer, "");
    EXPECT_EQ(tester.lines, std::vector<std::string>{"READ:NTP?"});
    EXPECT_EQ(worker.writeErrorCount(), 3);

    // The probe asks the state, and only that, until the tester answers again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return tester.count("STAT:DEV?") >= 2; }, 20000));
    EXPECT_EQ(tester.count("STAT:DEV?") + 1, static_cast<int>(tester.lines.size()));
    tester.silent = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !worker.testerLost(); }, 20000));
    EXPECT_EQ(announced, (std::vector<bool>{true, false}));
    worker.send("CONF:X 2");
    EXPECT_EQ(tester.lines.back(), "CONF:X 2");
}

TEST(TesterWorker, ATesterThatHangsIsShownLostAndTheAnswerBringsItBack) {
    GuardedTester tester;
    TesterWorker worker(tester);
    worker.startThread();
    std::vector<bool> announced;
    QObject::connect(&worker, &TesterWorker::testerLostChanged,
                     [&](bool lost) { announced.push_back(lost); });
    tester.setHolding(true);
    worker.sendDirect("STAT:DEV?");
    // The user-interface thread goes on and sees the loss while the request still hangs.
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker.testerLost(); }, 20000));
    EXPECT_EQ(worker.pending(), 1);
    tester.setHolding(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !worker.testerLost(); }, 20000));
    EXPECT_EQ(announced, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace tavrin::app::testing
