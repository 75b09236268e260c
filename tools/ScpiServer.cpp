// The server's event loop on one thread (poll(2) over the port, the clients and the tester
// thread's wake-up), and the tester thread that alone runs command lines. A line in progress
// never holds up the loop: a second client is refused, a client that leaves is noticed and a
// slow client is dropped while the tester works.
#include "ScpiServer.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace tavrin::cli {
namespace {

using Clock = std::chrono::steady_clock;

// The server's own refusals, in the form of the library's error texts.
struct ServerError {
    int number;
    const char* text;
};
constexpr ServerError kTesterInUse{-200, "Tester in use by "};
constexpr ServerError kLineTooLong{-223, "Too much data; line not run, longer than "};

std::string ErrorLine(const ServerError& error, const std::string& detail) {
    return std::to_string(error.number) + ", \"" + error.text + detail + "\"";
}

// A reply not yet taken by a client that keeps sending stops its further lines from running.
constexpr size_t kMaxPendingReply = 64 * 1024;
// Complete lines taken in before they run; beyond it the socket is not read (TCP holds back
// the client).
constexpr size_t kMaxWaitingLines = 1024;
// A refused client gets this long to read its error line before the socket is closed.
constexpr auto kRefusalLinger = std::chrono::seconds(1);
constexpr size_t kMaxLingering = 16;
constexpr auto kAcceptRest = std::chrono::milliseconds(100);

std::string PeerName(const sockaddr_storage& address) {
    char host[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET6) {
        const auto& a6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &a6.sin6_addr, host, sizeof host);
        return "[" + std::string(host) + "]:" + std::to_string(ntohs(a6.sin6_port));
    }
    const auto& a4 = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &a4.sin_addr, host, sizeof host);
    return std::string(host) + ":" + std::to_string(ntohs(a4.sin_port));
}

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { Reset(); }
    Fd(Fd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            Reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    int Get() const { return m_fd; }
    void Reset() {
        if (m_fd >= 0) close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

// The only caller of the runner: takes one line, runs it, wakes the loop through an eventfd.
class TesterThread {
public:
    explicit TesterThread(LineRunner& runner)
        : m_runner(runner), m_wake(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
        m_thread = std::thread([this] { Loop(); });
    }
    ~TesterThread() {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_changed.notify_all();
        m_thread.join();  // lets a line in progress end
    }
    int WakeFd() const { return m_wake.Get(); }
    void Post(std::string line) {
        {
            std::lock_guard lock(m_mutex);
            m_line = std::move(line);
        }
        m_changed.notify_all();
    }
    // The answer of the posted line once it ran.
    std::optional<std::string> Take() {
        uint64_t count;
        while (read(m_wake.Get(), &count, sizeof count) > 0) {
        }
        std::lock_guard lock(m_mutex);
        return std::exchange(m_answer, std::nullopt);
    }

private:
    void Loop() {
        for (;;) {
            std::string line;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return m_quit || m_line; });
                if (!m_line) return;
                line = std::move(*m_line);
                m_line.reset();
            }
            std::string answer = m_runner.Run(line);
            {
                std::lock_guard lock(m_mutex);
                m_answer = std::move(answer);
            }
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = write(m_wake.Get(), &one, sizeof one);
        }
    }

    LineRunner& m_runner;
    Fd m_wake;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<std::string> m_line, m_answer;
    bool m_quit = false;
    std::thread m_thread;
};

struct Session {
    uint64_t id = 0;
    Fd fd;
    std::string peer;
    LineFramer framer;
    std::string reply;         // not yet sent
    bool inputClosed = false;  // the client shut its side: it no longer holds the tester
    bool eof = false;          // everything it sent has been read
    bool busy = false;         // one of its lines runs
    bool dead = false;         // to be closed: gone, failed or dropped
    std::string closing = "disconnected";  // what the log says when it is closed
    Clock::time_point last;                // last byte in or out, or last line run

    Session(uint64_t n, int s, std::string name, size_t maxLine)
        : id(n), fd(s), peer(std::move(name)), framer(maxLine), last(Clock::now()) {}
    bool Controls() const { return !inputClosed && !dead; }
    bool CanTakeMore() const {
        return !eof && !dead && framer.WaitingLines() < kMaxWaitingLines &&
               framer.WaitingBytes() < kMaxLineBytes;
    }
};

struct Lingering {
    Fd fd;
    Clock::time_point until;
};

}  // namespace

struct ScpiServer::Impl {
    ServerSettings settings;
    LineRunner& runner;
    Log log;
    Fd listener;
    std::string where;
    uint16_t port = 0;

    std::optional<TesterThread> tester;
    std::deque<std::unique_ptr<Session>> sessions;  // oldest first; only the first one runs lines
    std::vector<Lingering> lingering;
    std::optional<uint64_t> running;  // the session whose line runs
    bool runningIsQuery = false;
    uint64_t nextId = 1;
    Clock::time_point acceptResumes;

    Impl(ServerSettings s, LineRunner& r, Log l)
        : settings(std::move(s)), runner(r), log(std::move(l)) {}

    Session* Find(uint64_t id) {
        for (auto& s : sessions)
            if (s->id == id) return s.get();
        return nullptr;
    }

    void Flush(Session& s) {
        while (!s.dead && !s.reply.empty()) {
            const ssize_t n =
                send(s.fd.Get(), s.reply.data(), s.reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                s.reply.erase(0, static_cast<size_t>(n));
                s.last = Clock::now();
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;
            } else {
                s.dead = true;  // the client is gone; what it still had coming is lost with it
            }
        }
    }

    void Receive(Session& s) {
        char buffer[16 * 1024];
        while (s.CanTakeMore()) {
            const ssize_t n = recv(s.fd.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0) {
                s.framer.Feed(std::string_view(buffer, static_cast<size_t>(n)));
                s.last = Clock::now();
            } else if (n == 0) {
                // Lines it sent in full still run and are answered; a half line is dropped.
                s.eof = s.inputClosed = true;
            } else if (errno == EINTR) {
                continue;
            } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
                return;
            } else {
                s.dead = true;
            }
        }
    }

    void Close(Session& s) {
        log(s.peer + " " + s.closing);
        sessions.erase(std::find_if(sessions.begin(), sessions.end(),
                                    [&](const auto& p) { return p.get() == &s; }));
    }

    // Runs the next line of the oldest session, when the tester is free.
    void Pump() {
        while (!running && !sessions.empty()) {
            Session& s = *sessions.front();
            if (s.dead) {
                Close(s);
                continue;
            }
            if (s.reply.size() > kMaxPendingReply) return;  // waits until the client reads
            std::optional<ReceivedLine> line = s.framer.Next();
            if (!line) {
                if (s.eof && s.reply.empty()) {
                    Close(s);
                    continue;
                }
                return;
            }
            if (line->tooLong) {
                const std::string bound = std::to_string(settings.maxLineBytes) + " bytes";
                log(s.peer + " sent a line longer than " + bound + "; discarded");
                s.reply += ReplyLine(ErrorLine(kLineTooLong, bound));
                Flush(s);
                continue;
            }
            std::string command = CommandOf(line->text);
            if (command.empty()) continue;
            runningIsQuery = HoldsQuery(command);
            running = s.id;
            s.busy = true;
            tester->Post(std::move(command));
        }
    }

    void LineDone() {
        std::optional<std::string> answer = tester->Take();
        if (!answer || !running) return;
        Session* s = Find(*running);
        running.reset();
        if (!s) return;  // the client left while its line ran
        s->busy = false;
        s->last = Clock::now();
        // A query always gets its one line, empty when the library left no answer, so a client
        // never waits for a line that does not come; a command without a query gets none, even
        // where the library leaves a text ("*CLS", "SYST:PASS"), so replies stay in step with
        // the client's reads.
        if (runningIsQuery) {
            s->reply += ReplyLine(*answer);
            Flush(*s);
        }
    }

    void Accept() {
        for (;;) {
            sockaddr_storage address{};
            socklen_t length = sizeof address;
            const int fd = accept4(listener.Get(), reinterpret_cast<sockaddr*>(&address), &length,
                                   SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                if (errno != EAGAIN && errno != EWOULDBLOCK) {
                    // Out of descriptors: the waiting connection stays readable, so the port
                    // rests a moment instead of waking the loop at once, over and over.
                    log(std::string("cannot take a connection: ") + std::strerror(errno));
                    acceptResumes = Clock::now() + kAcceptRest;
                }
                return;
            }
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            const std::string peer = PeerName(address);
            // A client that closed just before this one came may not have been read yet.
            for (const auto& s : sessions) {
                pollfd p{s->fd.Get(), POLLRDHUP, 0};
                if (!s->inputClosed && poll(&p, 1, 0) > 0 &&
                    (p.revents & (POLLRDHUP | POLLHUP | POLLERR)))
                    s->inputClosed = true;
            }
            const auto holder = std::find_if(sessions.begin(), sessions.end(),
                                             [](const auto& s) { return s->Controls(); });
            if (holder == sessions.end()) {
                sessions.push_back(
                    std::make_unique<Session>(nextId++, fd, peer, settings.maxLineBytes));
                log(peer + " connected");
                continue;
            }
            Refuse(Fd(fd), peer, (*holder)->peer);
        }
    }

    // One error line, then the socket is shut for sending and read until the client closes it
    // (or a second passes): closing at once with its request unread would reset the connection
    // and could destroy the error line before the client reads it.
    void Refuse(Fd fd, const std::string& peer, const std::string& holder) {
        const std::string line = ReplyLine(ErrorLine(kTesterInUse, holder));
        [[maybe_unused]] const ssize_t sent =
            send(fd.Get(), line.data(), line.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        shutdown(fd.Get(), SHUT_WR);
        log(peer + " refused: the tester is in use by " + holder);
        if (lingering.size() < kMaxLingering)
            lingering.push_back({std::move(fd), Clock::now() + kRefusalLinger});
    }

    bool Idle(const Session& s) const {
        return !s.busy && !s.framer.HasLine() && settings.idleTimeout.count() > 0;
    }

    // Drops idle clients and spent refusals; returns poll's time-out for the next of them.
    int Expire() {
        const auto now = Clock::now();
        std::optional<Clock::time_point> next;
        auto consider = [&](Clock::time_point t) { next = next ? std::min(*next, t) : t; };
        for (const auto& s : sessions) {
            if (!Idle(*s) || s->dead) continue;
            if (now - s->last >= settings.idleTimeout) {
                const auto seconds = std::chrono::duration<double>(settings.idleTimeout).count();
                char text[64];
                std::snprintf(text, sizeof text, "idle for %g s; disconnected", seconds);
                s->closing = text;
                s->dead = true;
            } else {
                consider(s->last + settings.idleTimeout);
            }
        }
        if (acceptResumes > now) consider(acceptResumes);
        std::erase_if(lingering, [&](const Lingering& l) { return l.until <= now; });
        for (const auto& l : lingering) consider(l.until);
        if (!next) return -1;
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(*next - now).count();
        return static_cast<int>(std::clamp<int64_t>(ms, 0, 60'000));
    }

    void Reap() {
        for (size_t i = 0; i < sessions.size();) {
            if (sessions[i]->dead) {
                Close(*sessions[i]);
            } else {
                ++i;
            }
        }
    }
};

ScpiServer::ScpiServer(ServerSettings settings, LineRunner& runner, Log log)
    : m(std::make_unique<Impl>(std::move(settings), runner, std::move(log))) {}

ScpiServer::~ScpiServer() = default;

bool ScpiServer::Listen(std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(m->settings.port);
    const int status = getaddrinfo(m->settings.address.c_str(), port.c_str(), &hints, &found);
    if (status != 0) {
        error = "cannot listen on " + m->settings.address + ": " + gai_strerror(status);
        return false;
    }
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> list(found, freeaddrinfo);
    error = "cannot listen on " + m->settings.address + " port " + port;
    for (const addrinfo* a = found; a; a = a->ai_next) {
        Fd fd(socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol));
        if (fd.Get() < 0) continue;
        const int on = 1;
        setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (bind(fd.Get(), a->ai_addr, a->ai_addrlen) != 0 || listen(fd.Get(), 16) != 0) {
            error += std::string(": ") + std::strerror(errno);
            continue;
        }
        sockaddr_storage bound{};
        socklen_t length = sizeof bound;
        getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&bound), &length);
        m->where = PeerName(bound);
        m->port = static_cast<uint16_t>(std::stoi(m->where.substr(m->where.rfind(':') + 1)));
        m->listener = std::move(fd);
        error.clear();
        return true;
    }
    return false;
}

std::string ScpiServer::Where() const {
    return m->where;
}

uint16_t ScpiServer::Port() const {
    return m->port;
}

void ScpiServer::Serve(int stopFd) {
    Impl& s = *m;
    s.tester.emplace(s.runner);
    std::vector<pollfd> fds;
    for (;;) {
        const int timeout = s.Expire();
        s.Reap();
        s.Pump();
        fds.clear();
        fds.push_back({stopFd, POLLIN, 0});
        fds.push_back({s.tester->WakeFd(), POLLIN, 0});
        const bool accepting = Clock::now() >= s.acceptResumes;
        fds.push_back({s.listener.Get(), static_cast<short>(accepting ? POLLIN : 0), 0});
        for (const auto& c : s.sessions) {
            short events = c->inputClosed ? 0 : POLLRDHUP;
            if (c->CanTakeMore()) events |= POLLIN;
            if (!c->reply.empty()) events |= POLLOUT;
            fds.push_back({c->fd.Get(), events, 0});
        }
        for (const auto& l : s.lingering) fds.push_back({l.fd.Get(), POLLIN, 0});
        if (poll(fds.data(), fds.size(), timeout) < 0) {
            if (errno == EINTR) continue;
            s.log(std::string("poll failed: ") + std::strerror(errno));
            break;
        }
        if (fds[0].revents) break;
        if (fds[1].revents) s.LineDone();
        // The sessions and refusals as they were polled; new ones come after them.
        const size_t polledSessions = fds.size() - 3 - s.lingering.size();
        for (size_t i = 0; i < polledSessions && i < s.sessions.size(); ++i) {
            Session& c = *s.sessions[i];
            const short r = fds[3 + i].revents;
            if (r & (POLLIN | POLLHUP | POLLERR)) s.Receive(c);
            // The client shut its side: it no longer holds the tester, even with lines of it
            // still unread or running.
            if (r & POLLRDHUP) c.inputClosed = true;
            // Reset or shut both ways: no answer can reach it (and POLLHUP cannot be masked, so
            // a session kept open would wake the loop at once, over and over).
            if (r & (POLLHUP | POLLERR)) c.dead = true;
            if (r & POLLOUT) s.Flush(c);
        }
        for (size_t i = 0; i < s.lingering.size(); ++i) {
            if (!fds[3 + polledSessions + i].revents) continue;
            char sink[4096];
            const ssize_t n = recv(s.lingering[i].fd.Get(), sink, sizeof sink, MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
                s.lingering[i].until = Clock::now();
        }
        if (fds[2].revents) s.Accept();
    }
    s.listener.Reset();
    s.lingering.clear();
    for (const auto& c : s.sessions) s.log(c->peer + " disconnected: the server stops");
    s.sessions.clear();
    s.tester.reset();  // after the line in progress, if any
}

}  // namespace tavrin::cli
