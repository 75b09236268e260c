// A throwaway PostgreSQL cluster for tests and benchmarks: initdb and pg_ctl from Debian's
// postgresql package, in a temporary folder, on a free port of 127.0.0.1 only, removed at
// the end. As root it runs as the postgres system user, since the server refuses root.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tavrin::results::fixtures {

inline const char kPgBin[] = "/usr/lib/postgresql/15/bin";

// A port nobody listens on at the moment of asking.
inline int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

class PgCluster {
public:
    // Creates the cluster; Start() runs the server. `port` 0: a free one. `durable`: the
    // server syncs its commits to disk, as a real one does (benchmarks).
    explicit PgCluster(int port = 0, bool durable = false)
        : m_port(port ? port : FreePort()), m_durable(durable) {
        char dir[] = "/tmp/tavrin-pg-XXXXXX";
        if (!mkdtemp(dir)) return;
        m_dir = dir;
        if (geteuid() == 0) {
            const passwd* user = getpwnam("postgres");
            if (!user || chown(m_dir.c_str(), user->pw_uid, user->pw_gid) != 0) return;
            m_as = "runuser -u postgres -- ";
        }
        m_created = Run("initdb --no-sync -A trust -U tavrin -E UTF8 -D '" + m_dir + "/data'");
    }
    ~PgCluster() {
        if (m_running) Stop();
        std::error_code ignored;
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir, ignored);
    }
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    bool Start() {
        // fsync off for tests: they check what the server is told, not the disk under it.
        m_running = m_created && Run("pg_ctl -w -t 60 -D '" + m_dir + "/data' -l '" + m_dir +
                                     "/server.log' -o \"-p " + std::to_string(m_port) +
                                     " -c listen_addresses=127.0.0.1 -c unix_socket_directories='" +
                                     m_dir + "' -c fsync=" + (m_durable ? "on" : "off") +
                        " -c max_connections=40\" start");
        return m_running;
    }
    void Stop() {
        Run("pg_ctl -w -m fast -D '" + m_dir + "/data' stop");
        m_running = false;
    }

    int Port() const { return m_port; }
    // The connection URI; a password is accepted and ignored (trust).
    std::string Uri(const std::string& password = "") const {
        return "postgresql://tavrin" + (password.empty() ? "" : ":" + password) +
               "@127.0.0.1:" + std::to_string(m_port) + "/postgres";
    }

private:
    bool Run(const std::string& command) const {
        const std::string line = "cd '" + m_dir + "' && " + m_as + kPgBin + "/" + command + " >>'" +
                                 m_dir + "/tool.log' 2>&1";
        return std::system(line.c_str()) == 0;
    }

    int m_port;
    bool m_durable;
    std::string m_dir, m_as;
    bool m_created = false, m_running = false;
};

}  // namespace tavrin::results::fixtures
