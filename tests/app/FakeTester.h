// A recording fake of the tester behind the command wrappers, a scripted answerer of the
// program's message boxes, and a main window started on them with fast waits.
#pragma once

#include <QLabel>
#include <QSize>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QPushButton>

#include "core/TesterPort.h"
#include "core/UserDialogs.h"
#include "pages/SystemPage.h"
#include "shell/TWenloForm.h"

namespace tavrin::app::testing {

class FakeTester : public TesterPort {
public:
    int16_t write(const char* line) override {
        lines.emplace_back(line);
        if (onWrite) onWrite(line);
        // A silent tester takes the line and never answers it.
        m_pending = silent ? std::string() : answerFor(line);
        return silent || failing.count(line) ? 1 : 0;
    }
    bool testerLost() override { return silent; }
    int16_t read(char* out) override {
        std::memset(out, 0, kReplyBufferSize);
        std::strncpy(out, m_pending.c_str(), 167);
        m_pending.clear();
        return static_cast<int16_t>(std::strlen(out));
    }

    int count(const std::string& line) const {
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }
    // The lines sent after the last "SYST:RESET".
    std::vector<std::string> linesSinceReset() const {
        auto it = std::find(lines.rbegin(), lines.rend(), "SYST:RESET");
        return {it.base(), lines.end()};
    }

    std::vector<std::string> lines;
    std::set<std::string> failing;  // lines answered with result 1
    std::map<std::string, std::string> answers{
        {"SYST:FIRM:VERS?", "V2.10 11.09.2014"},
        {"SYST:SER:NUM?", "0012AB34"},
        {"*IDN?", "3.2.0"},
        {"SYST:HW:VERS?", "Tavrin 1.0 2.0"},
    };
    int busyPolls = 0;  // "STAT:DEV?" answers "OFF" this many times before "IDLE"
    bool neverIdle = false;
    std::string linkState;   // when set, what "STAT:DEV?" answers ("DCE" while a link is up)
    std::string portAnswer;  // the answer to the port probe
    std::function<void(const std::string&)> onWrite;
    bool silent = false;  // the cable pulled: every line goes unanswered

private:
    std::string answerFor(const std::string& line) {
        if (line == "STAT:DEV?") {
            if (!linkState.empty()) return linkState;
            if (neverIdle || m_polls++ < busyPolls) return "OFF";
            return "IDLE";
        }
        if (line == "SYST:RESET") m_polls = 0;
        if (line == "CONF:COMM:PORT USB") return portAnswer;
        const auto it = answers.find(line);
        return it == answers.end() ? std::string() : it->second;
    }

    std::string m_pending;
    int m_polls = 0;
};

class ScriptedDialogs : public UserDialogs {
public:
    MessageButton message(QWidget*, MessageKind, const QString&, const QString& text,
                          const std::vector<MessageButton>& buttons) override {
        messages.push_back(text);
        offered.push_back(buttons);
        if (onMessage) onMessage();
        if (answers.empty()) return buttons.front();
        const MessageButton b = answers.front();
        answers.pop_front();
        return b;
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString saveFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        saveTitles.push_back(title);
        return saveAnswer;
    }

    std::vector<QString> messages;
    std::vector<std::vector<MessageButton>> offered;
    std::deque<MessageButton> answers;
    std::vector<QString> saveTitles;
    std::function<void()> onMessage;
    QString saveAnswer;  // the save dialog's answer; empty: cancelled
};

// A main window on the fake with every wait at 1 % of its real length.
struct Program {
    // On `port` (the real library) the waits run at 5 %, as the virtual tester's own clock is
    // the steady one.
    explicit Program(std::vector<std::string> arguments = {"tavrin"}, TesterPort* port = nullptr,
                     QString traceLogPath = {}) {
        WenloSettings settings;
        settings.arguments = std::move(arguments);
        settings.timing.scale = port ? 0.05 : 0.01;
        settings.traceLogPath = std::move(traceLogPath);
        // The library runs on the program's tester thread; the fake answers at once, on this
        // thread.
        settings.testerThread = port != nullptr;
        settings.terminate = [this](int code) { exitCode = code; };
        settings.screenSize = [this] { return screen; };
        form = std::make_unique<TWenloForm>(port ? *port : tester, dialogs, std::move(settings));
    }
    ~Program() {
        // Windows closed by the test are hidden, never a reason to end anything here.
        form.reset();
    }

    // Runs the event loop until `done` holds; false after `ms` milliseconds.
    bool runUntil(const std::function<bool()>& done, int ms = 20000) {
        return QTest::qWaitFor(done, ms);
    }
    bool started(int ms = 20000) {
        return runUntil(
            [this] {
                return form->isVisible() && settled() &&
                       form->SystemTabSheet->ResetButton->text() == "&Reset";
            },
            ms);
    }
    // No reset, no deferred activation and no request of the tester thread is pending.
    bool settled() const {
        return form->dummyTimerTag() == 0 && !form->DummyTimer->isActive() &&
               form->tester().pending() == 0;
    }
    // Asks the tester through the program's tester thread and waits for the answer.
    std::string query(const std::string& line) {
        std::optional<std::string> answer;
        form->tester().query(line, form.get(), [&answer](std::string a) { answer = a; });
        runUntil([&answer] { return answer.has_value(); });
        return answer.value_or("");
    }
    void settle() { QTest::qWait(30); }

    FakeTester tester;
    ScriptedDialogs dialogs;
    QSize screen{1280, 1024};
    std::optional<int> exitCode;
    std::unique_ptr<TWenloForm> form;
};

}  // namespace tavrin::app::testing
