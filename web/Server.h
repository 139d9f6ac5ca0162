// The console's HTTPS server: one port, TLS (QSslServer), the page and the
// login (QHttpServer), and the console's socket at /ws (QWebSocketServer).
//
// Each connection's first request head is looked at before it is handed on
// (a gate): a WebSocket upgrade is answered 401 or 403 when it has no
// session or comes from another origin, and otherwise goes to the socket
// server; everything else goes to the HTTP server.  Qt 6.4's HTTP server
// upgrades a socket request on its own, with no say for the program, so the
// upgrade never reaches it (it closes one that comes later on a connection
// it serves).
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include "web/security/Guard.h"

class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponder;
class QWebSocketServer;

namespace web {

class Console;
class Operators;
class Sessions;
class Gate;

struct ServerOptions {
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 8443;  // 0: any free port (tests)
    std::string certFile, keyFile;
    // Serve the page's files from this folder instead of the built-in copy.
    std::string pageDir;
    // The login throttle, connection limits, socket limits and audit trail.
    security::GuardOptions guard;
    // The clock of the throttle and the socket limits (tests step their own).
    security::NowFn clock = security::SystemNow();
};

struct HttpAnswer {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string contentType;
    std::string body;
};

class Server : public QObject {
public:
    Server(ServerOptions options, Operators& operators, Sessions& sessions, Console& console, QObject* parent = nullptr);
    ~Server() override;

    // Listens.  Answers "" or why it cannot.
    std::string Start();
    quint16 Port() const;

    // Called after each login attempt: (user, client address, success).
    std::function<void(const std::string&, const std::string&, bool)> onLogin;
    security::Guard& Security() { return *m_guard; }

private:
    friend class Gate;
    HttpAnswer Route(const QHttpServerRequest& request);
    HttpAnswer Login(const QHttpServerRequest& request);
    HttpAnswer File(const std::string& name);
    // A WebSocket upgrade's verdict: 0 to accept, else the status.
    int CheckUpgrade(const std::string& path, const std::string& cookie, const std::string& origin,
                     const std::string& host);
    void Respond(QHttpServerResponder& responder, const HttpAnswer& answer);
    void NewSocket();

    void SweepSessions();

    ServerOptions m_options;
    std::unique_ptr<security::Guard> m_guard;
    QTimer m_sweep;
    Operators& m_operators;
    Sessions& m_sessions;
    Console& m_console;
    QHttpServer* m_http;
    QWebSocketServer* m_ws;
    Gate* m_gate = nullptr;
};

// The head of an HTTP request as the gate reads it.
struct RequestHead {
    std::string method, path;
    std::vector<std::pair<std::string, std::string>> headers;  // names in lower case
    std::string Header(const std::string& lowerName) const;
};
// Reads a request head (up to the empty line); false when it is malformed.
bool ParseRequestHead(const std::string& text, RequestHead& head);
// A client's address as the audit trail and the limits name it: an IPv4
// client as a.b.c.d also when the socket reports it IPv4-mapped.
std::string ClientAddress(const QHostAddress& address);

}  // namespace web
