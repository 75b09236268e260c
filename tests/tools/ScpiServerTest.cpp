// The network server's loop on real sockets with a runner the test holds back: a second
// client is refused while a line runs, a client that leaves mid-line frees the tester, every
// line runs on one thread; the line framing's bound; the options of serve.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "CliOptions.h"
#include "ScpiServer.h"

namespace {

using namespace tavrin::cli;

// Runs a line only when the test lets it; answers "<line>!".
class HeldRunner final : public LineRunner {
public:
    std::string Run(const std::string& line) override {
        std::unique_lock lock(m_mutex);
        m_lines.push_back(line);
        m_threads.insert(std::this_thread::get_id());
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return m_released > 0 || !m_hold; });
        if (m_hold) --m_released;
        return line + "!";
    }
    void WaitForLines(size_t n) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_lines.size() >= n; });
    }
    void Release() {
        std::lock_guard lock(m_mutex);
        ++m_released;
        m_changed.notify_all();
    }
    void Hold(bool hold) {
        std::lock_guard lock(m_mutex);
        m_hold = hold;
        m_changed.notify_all();
    }
    std::vector<std::string> Lines() {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    std::set<std::thread::id> Threads() {
        std::lock_guard lock(m_mutex);
        return m_threads;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_lines;
    std::set<std::thread::id> m_threads;
    int m_released = 0;
    bool m_hold = true;
};

class Server : public ::testing::Test {
protected:
    void SetUp() override {
        ServerSettings settings;
        settings.port = 0;
        m_server = std::make_unique<ScpiServer>(settings, m_runner, [this](const std::string& l) {
            std::lock_guard lock(m_logMutex);
            m_log += l + "\n";
        });
        std::string error;
        ASSERT_TRUE(m_server->Listen(error)) << error;
        m_thread = std::thread([this] { m_server->Serve(m_stop); });
    }
    void TearDown() override {
        m_runner.Hold(false);
        const uint64_t one = 1;
        ASSERT_EQ(write(m_stop, &one, sizeof one), 8);
        m_thread.join();
        close(m_stop);
        for (int fd : m_clients) close(fd);
    }
    int Connect() {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(m_server->Port());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        timeval limit{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        m_clients.push_back(fd);
        return fd;
    }
    static void Send(int fd, const std::string& text) {
        ASSERT_EQ(send(fd, text.data(), text.size(), MSG_NOSIGNAL), ssize_t(text.size()));
    }
    // One line with its "\n"; what came before the end when the server closed the socket.
    static std::string Line(int fd) {
        std::string line;
        char c;
        while (line.empty() || line.back() != '\n') {
            if (recv(fd, &c, 1, 0) != 1) break;
            line += c;
        }
        return line;
    }
    static std::string Name(int fd) {
        sockaddr_in own{};
        socklen_t length = sizeof own;
        getsockname(fd, reinterpret_cast<sockaddr*>(&own), &length);
        return "127.0.0.1:" + std::to_string(ntohs(own.sin_port));
    }

    HeldRunner m_runner;
    std::unique_ptr<ScpiServer> m_server;
    int m_stop = eventfd(0, EFD_CLOEXEC);
    std::thread m_thread;
    std::vector<int> m_clients;
    std::mutex m_logMutex;
    std::string m_log;
};

TEST_F(Server, SecondClientIsRefusedWhileTheFirstOnesLineRuns) {
    const int first = Connect();
    Send(first, "SLOW?\n");
    m_runner.WaitForLines(1);
    const int second = Connect();
    Send(second, "*IDN?\n");
    EXPECT_EQ(Line(second), "-200, \"Tester in use by " + Name(first) + "\"\n");
    EXPECT_EQ(Line(second), "");  // closed
    m_runner.Release();
    EXPECT_EQ(Line(first), "SLOW?!\n");
    // Commands get nothing, queries one line each, in order; line breaks never split a reply.
    m_runner.Hold(false);
    Send(first, "CMD 1\r\nQ\"?\"\n\n  \nA?;B\n");
    EXPECT_EQ(Line(first), "A?;B!\n");
    EXPECT_EQ(m_runner.Lines(), (std::vector<std::string>{"SLOW?", "CMD 1", "Q\"?\"", "A?;B"}));
    EXPECT_EQ(m_runner.Threads().size(), 1u);
    EXPECT_EQ(m_runner.Threads().count(std::this_thread::get_id()), 0u);
}

TEST_F(Server, ClientLeavingMidLineFreesTheTesterAtOnce) {
    const int first = Connect();
    Send(first, "SLOW?\nNEVER?\n");
    m_runner.WaitForLines(1);
    shutdown(first, SHUT_WR);
    // The next client is taken while the line still runs, and served after it.
    const int next = Connect();
    Send(next, "NEXT?\n");
    m_runner.Release();
    EXPECT_EQ(Line(first), "SLOW?!\n");  // what it had sent in full is still answered
    m_runner.Release();
    EXPECT_EQ(Line(first), "NEVER?!\n");
    EXPECT_EQ(Line(first), "");
    m_runner.Release();
    EXPECT_EQ(Line(next), "NEXT?!\n");
    EXPECT_EQ(m_log.find("refused"), std::string::npos) << m_log;

    // Gone for good mid-line: its answer is dropped and the next one is served.
    Send(next, "SLOW AGAIN?\n");
    m_runner.WaitForLines(4);
    close(next);
    m_clients.pop_back();
    const int last = Connect();
    Send(last, "LAST?\n");
    m_runner.Release();
    m_runner.Release();
    EXPECT_EQ(Line(last), "LAST?!\n");
}

TEST(LineFramer, HoldsNoMoreThanTheBoundOfALineThatNeverEnds) {
    LineFramer framer(16);
    framer.Feed("0123456789abcdef\r");  // at the bound, "\r\n" split over two reads
    framer.Feed("\n0123456789abcdefg\n");
    for (int i = 0; i < 1000; ++i) {
        framer.Feed(std::string(4096, i % 2 ? '\0' : 'x'));
        ASSERT_LE(framer.PartialBytes(), 17u);
    }
    framer.Feed("\r\nlast");
    EXPECT_EQ(framer.Next()->text, "0123456789abcdef");
    EXPECT_TRUE(framer.Next()->tooLong);
    EXPECT_TRUE(framer.Next()->tooLong);
    EXPECT_FALSE(framer.Next());  // "last" waits for its end
    EXPECT_EQ(framer.PartialBytes(), 4u);
}

TEST(ServeOptions, ListenPortIdleTimeAndWhatDoesNotGoWithServe) {
    Options o;
    std::string message;
    ASSERT_TRUE(ParseOptions({"--simulate", "serve"}, o, message)) << message;
    EXPECT_TRUE(o.serve);
    EXPECT_EQ(o.listen, "127.0.0.1");  // the loopback unless the user says otherwise
    EXPECT_EQ(o.port, 5025);
    EXPECT_EQ(o.idleTimeoutS, 600);
    o = {};
    ASSERT_TRUE(ParseOptions({"serve", "--listen", "::", "--port", "0", "--idle-timeout", "0.25"},
                             o, message));
    EXPECT_EQ(o.listen, "::");
    EXPECT_EQ(o.port, 0);
    EXPECT_EQ(o.idleTimeoutS, 0.25);
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"serve", "--port", "65536"}, "--port takes a port from 0 to 65535, not 65536"},
        {{"serve", "--idle-timeout", "1,5"},
         "--idle-timeout takes seconds from 0 (never) to 604800, not 1,5"},
        {{"--port", "5025"}, "--port belongs to serve"},
        {{"serve", "run.tvs"}, "serve takes no file, got run.tvs"},
        {{"serve", "-e", "*IDN?"},
         "serve takes its lines from the network: -e lines do not go with it"},
        {{"serve", "--serial", "X"}, "--serial belongs to test PLAN"},
    };
    for (const auto& [args, expected] : refused) {
        o = {};
        EXPECT_FALSE(ParseOptions(args, o, message)) << expected;
        EXPECT_EQ(message, expected);
    }
    o = {};
    ASSERT_TRUE(ParseOptions({"test", "serve"}, o, message));  // a plan file named "serve"
    EXPECT_EQ(o.testPlan, "serve");
    EXPECT_FALSE(o.serve);
}

}  // namespace
