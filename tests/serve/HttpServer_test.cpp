#include "serve/HttpServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

using namespace qy::serve;

namespace {

/// An echo server: answers each request with its method, path and body.
class EchoServer {
public:
    explicit EchoServer(size_t maxBody = 1 << 20) {
        HttpServer::Options o;
        o.maxBody = maxBody;
        std::string error;
        m_ok = m_server.Listen(o, error);
        if (m_ok)
            m_thread = std::thread([this] {
                m_server.Run([](HttpRequest& req, Respond respond) {
                    HttpResponse r;
                    r.contentType = "text/plain";
                    r.body = req.method + " " + req.path + " " + req.body;
                    // Answers may come from any thread, later.
                    std::thread([r, respond] { respond(r); }).detach();
                });
            });
    }
    ~EchoServer() {
        m_server.Stop();
        if (m_thread.joinable()) m_thread.join();
    }
    bool Ok() const { return m_ok; }
    int Port() const { return m_server.Port(); }

private:
    HttpServer m_server;
    std::thread m_thread;
    bool m_ok = false;
};

/// A raw connection, to see exactly what goes over the wire.
class Connection {
public:
    explicit Connection(int port) {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connect(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    ~Connection() { close(m_fd); }
    void Send(const std::string& s) { ASSERT_EQ(send(m_fd, s.data(), s.size(), 0), static_cast<ssize_t>(s.size())); }
    /// Reads until `needle` has arrived or the peer closes (or 10 s pass).
    std::string ReadUntil(const std::string& needle) {
        while (m_in.find(needle) == std::string::npos) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 10000) <= 0) break;
            char buf[4096];
            ssize_t n = recv(m_fd, buf, sizeof buf, 0);
            if (n <= 0) {
                m_closed = true;
                break;
            }
            m_in.append(buf, static_cast<size_t>(n));
        }
        return m_in;
    }
    bool Closed() {
        ReadUntil("\x01never");
        return m_closed;
    }

private:
    int m_fd;
    std::string m_in;
    bool m_closed = false;
};

}  // namespace

TEST(HttpServer, KeepsConnectionsAliveAndAnswersPipelinedRequestsInOrder) {
    EchoServer server;
    ASSERT_TRUE(server.Ok());
    Connection c(server.Port());
    c.Send("POST /one HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc"
           "GET /two?q=1 HTTP/1.1\r\nHost: x\r\n\r\n");
    std::string in = c.ReadUntil("GET /two ");
    EXPECT_NE(in.find("Content-Length: 13\r\n\r\nPOST /one abc"), std::string::npos) << in;
    EXPECT_LT(in.find("POST /one"), in.find("GET /two"));
    EXPECT_EQ(in.find("Connection: close"), std::string::npos);
    // A HEAD answer has the length and no body, and the connection goes on.
    c.Send("HEAD /h HTTP/1.1\r\n\r\nGET /after HTTP/1.1\r\n\r\n");
    in = c.ReadUntil("GET /after ");
    size_t head = in.find("Content-Length: 8\r\n");
    ASSERT_NE(head, std::string::npos) << in;
    EXPECT_EQ(in.find("HEAD /h"), std::string::npos);
    EXPECT_NE(in.find("HTTP/1.1 200", head), std::string::npos);
    // The same connection serves on; a request that asks for close gets it.
    c.Send("GET /three HTTP/1.1\r\nConnection: close\r\n\r\n");
    in = c.ReadUntil("GET /three ");
    EXPECT_NE(in.find("Connection: close"), std::string::npos);
    EXPECT_TRUE(c.Closed());
}

TEST(HttpServer, SaysContinueAndReadsABodyThatArrivesInPieces) {
    EchoServer server;
    ASSERT_TRUE(server.Ok());
    Connection c(server.Port());
    c.Send("POST /p HTTP/1.1\r\nContent-Length: 6\r\nExpect: 100-continue\r\n\r\n");
    EXPECT_NE(c.ReadUntil("100 Continue\r\n\r\n").find("HTTP/1.1 100 Continue"), std::string::npos);
    c.Send("ab");
    c.Send("cdef");
    EXPECT_NE(c.ReadUntil("POST /p abcdef").find("POST /p abcdef"), std::string::npos);
}

TEST(HttpServer, RefusesWhatItCannotReadAndClosesTheConnection) {
    EchoServer server(16);
    ASSERT_TRUE(server.Ok());
    struct Row {
        const char* request;
        const char* status;
    };
    for (Row row : {Row{"POST / HTTP/1.1\r\nContent-Length: 17\r\n\r\n", "413"},
                    Row{"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", "411"},
                    Row{"POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", "400"},
                    Row{"GARBAGE\r\n\r\n", "400"}, Row{"GET / HTTP/2.0\r\n\r\n", "505"},
                    Row{"GET / HTTP/1.1\r\nno colon here\r\n\r\n", "400"}}) {
        SCOPED_TRACE(row.request);
        Connection c(server.Port());
        c.Send(row.request);
        std::string in = c.ReadUntil("\r\n\r\n");
        EXPECT_EQ(in.substr(0, 12), std::string("HTTP/1.1 ") + row.status);
        EXPECT_TRUE(c.Closed());
    }
    Connection huge(server.Port());
    huge.Send("GET / HTTP/1.1\r\nX: " + std::string(70000, 'a') + "\r\n\r\n");
    EXPECT_EQ(huge.ReadUntil("\r\n\r\n").substr(0, 12), "HTTP/1.1 431");
}
