#include "web/Server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QWebSocket>
#include <QPointer>
#include <QSet>
#include <QSslCipher>
#include <QTimer>
#include <QWebSocketServer>
#include <deque>

#include "web/security/TlsPolicy.h"

#include "web/Console.h"
#include "web/HttpPolicy.h"
#include "web/Operators.h"
#include "web/Sessions.h"

namespace web {

namespace {

constexpr qint64 kMaxHead = 16 * 1024;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

const char* Reason(int status) {
    switch (status) {
        case 200: return "OK";
        case 303: return "See Other";
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 411: return "Length Required";
        case 413: return "Content Too Large";
        case 429: return "Too Many Requests";
        case 426: return "Upgrade Required";
        case 431: return "Request Header Fields Too Large";
        default: return "Error";
    }
}

HttpAnswer Plain(int status, const std::string& text) {
    HttpAnswer a;
    a.status = status;
    a.contentType = "text/plain; charset=utf-8";
    a.body = text + "\n";
    return a;
}

HttpAnswer SeeOther(const std::string& where) {
    HttpAnswer a;
    a.status = 303;
    a.headers.push_back({"Location", where});
    return a;
}

// A name of a page file: letters, digits, '.', '_', '-' and '/' between
// names, nothing that climbs out of the folder.
bool SafeName(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.find("..") != std::string::npos) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-' && c != '/') return false;
    return true;
}

// The files the login page needs, served without a session.
bool Public(const std::string& name) {
    return name == "login.html" || name == "login.js" || name == "login.css" || name == "style.css" ||
           name.rfind("login-assets/", 0) == 0;
}

}  // namespace

std::string ClientAddress(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip = address.toIPv4Address(&v4);
    return (v4 ? QHostAddress(ip) : address).toString().toStdString();
}

std::string RequestHead::Header(const std::string& lowerName) const {
    for (const auto& [name, value] : headers)
        if (name == lowerName) return value;
    return {};
}

bool ParseRequestHead(const std::string& text, RequestHead& head) {
    std::size_t pos = 0;
    auto line = [&](std::string& out) {
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) return false;
        out = text.substr(pos, end - pos);
        pos = end + 2;
        return true;
    };
    std::string first;
    if (!line(first)) return false;
    const auto sp1 = first.find(' '), sp2 = first.rfind(' ');
    if (sp1 == std::string::npos || sp2 == sp1 || first.compare(sp2 + 1, 5, "HTTP/") != 0) return false;
    head.method = first.substr(0, sp1);
    head.path = first.substr(sp1 + 1, sp2 - sp1 - 1);
    if (auto q = head.path.find('?'); q != std::string::npos) head.path.resize(q);
    std::string h;
    while (line(h) && !h.empty()) {
        const auto colon = h.find(':');
        if (colon == std::string::npos) return false;
        std::string value = h.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.erase(0, 1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
        head.headers.push_back({Lower(h.substr(0, colon)), value});
    }
    return true;
}

// The TLS listener and the gate in front of the HTTP and socket servers.
class Gate : public QSslServer {
public:
    explicit Gate(Server& server) : m_server(server) {
        // Encrypted connections are announced one way or the other by Qt
        // versions; either takes them from the TLS server's queue.
        connect(this, &QTcpServer::pendingConnectionAvailable, this, [this] { TakePending(); });
        connect(this, &QTcpServer::newConnection, this, [this] { TakePending(); });
    }
    // The HTTP server takes its connections here, only those the gate lets through.
    QTcpSocket* nextPendingConnection() override { return m_handing ? QSslServer::nextPendingConnection() : nullptr; }
    bool hasPendingConnections() const override { return m_handing && QSslServer::hasPendingConnections(); }

private:
    void TakePending() {
        if (m_handing) return;
        while (QTcpSocket* s = QSslServer::nextPendingConnection()) Watch(s);
    }
    void Watch(QTcpSocket* socket) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // Connections are counted per client address while they are open.
        security::Guard& guard = *m_server.m_guard;
        const std::string address = ClientAddress(socket->peerAddress());
        if (!guard.Connections().TryOpen(address)) return Refuse(socket, 429);
        connect(socket, &QObject::destroyed, &m_server, [&guard, address] { guard.Connections().Close(address); });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Look(socket); });
        // A client that holds a connection open without finishing its request head is cut off.
        QTimer::singleShot(guard.Options().headTimeout, socket, [this, socket] {
            if (!m_looked.contains(socket)) socket->abort();
        });
        if (socket->bytesAvailable() > 0) Look(socket);
    }

    void Refuse(QTcpSocket* socket, int status) {
        socket->disconnect(this);
        std::string text = "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\n";
        for (const auto& [name, value] : SecurityHeaders()) text += name + ": " + value + "\r\n";
        const std::string body = std::string(Reason(status)) + "\n";
        text += "Content-Type: text/plain; charset=utf-8\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\nConnection: close\r\n\r\n" + body;
        socket->write(text.data(), static_cast<qint64>(text.size()));
        socket->disconnectFromHost();
    }

    void Look(QTcpSocket* socket) {
        const QByteArray peeked = socket->peek(kMaxHead);
        const qsizetype end = peeked.indexOf("\r\n\r\n");
        if (end < 0) {
            if (peeked.size() >= kMaxHead) Refuse(socket, 431);
            return;  // the rest of the head is still to come
        }
        RequestHead head;
        if (!ParseRequestHead(peeked.left(end + 4).toStdString(), head)) return Refuse(socket, 400);
        m_looked.insert(socket);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_looked.remove(socket); });
        // Bodies are read whole by the HTTP server: only a small, counted one is taken.
        if (!head.Header("transfer-encoding").empty()) return Refuse(socket, 411);
        if (const std::string length = head.Header("content-length"); !length.empty()) {
            const bool digits = length.size() <= 18 && length.find_first_not_of("0123456789") == std::string::npos;
            if (!digits || std::stoull(length) > m_server.m_guard->Options().maxBodyBytes) return Refuse(socket, 413);
        }
        const bool upgrade = Lower(head.Header("upgrade")) == "websocket";
        if (upgrade || head.path == "/ws") {
            if (!upgrade) return Refuse(socket, 426);
            const int verdict = m_server.CheckUpgrade(head.path, head.Header("cookie"), head.Header("origin"),
                                                      head.Header("host"));
            if (verdict != 0) return Refuse(socket, verdict);
            socket->disconnect(this);
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            m_server.m_ws->handleConnection(socket);
            emit socket->readyRead();
            return;
        }
        // Back in the queue, announced as Qt announces a connection: the
        // HTTP server takes it now, and reads the request the gate looked at.
        socket->disconnect(this);
        m_handing = true;
        addPendingConnection(socket);
        emit newConnection();
        m_handing = false;
        emit socket->readyRead();
    }

    Server& m_server;
    bool m_handing = false;
    QSet<QTcpSocket*> m_looked;  // sockets whose request head came whole
};

Server::Server(ServerOptions options, Operators& operators, Sessions& sessions, Console& console, QObject* parent)
    : QObject(parent),
      m_options(std::move(options)),
      m_guard(std::make_unique<security::Guard>(m_options.guard, m_options.clock)),
      m_operators(operators),
      m_sessions(sessions),
      m_console(console),
      m_http(new QHttpServer(this)),
      m_ws(new QWebSocketServer("mirelle-web", QWebSocketServer::NonSecureMode, this)) {
    m_http->setMissingHandler([this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        Respond(responder, Route(request));
    });
    connect(m_ws, &QWebSocketServer::newConnection, this, [this] { NewSocket(); });
    m_console.guard = m_guard.get();
    m_console.onActivity = [this](const std::string& session) { m_sessions.Touch(session); };
    // Sessions whose time is up end even when nobody asks for them: a
    // holder's setup ends through ConnectTimeout.
    connect(&m_sweep, &QTimer::timeout, this, [this] { SweepSessions(); });
    m_sweep.start(1000);
}

void Server::SweepSessions() {
    for (const auto& [session, why] : m_sessions.Sweep())
        m_guard->Audit(session.user, "", security::audit::kSessionEnded, why == "idle" ? "idle time-out" : "lifetime over");
}

Server::~Server() = default;

quint16 Server::Port() const { return m_gate ? m_gate->serverPort() : 0; }

std::string Server::Start() {
    QFile certFile(QString::fromStdString(m_options.certFile)), keyFile(QString::fromStdString(m_options.keyFile));
    if (!certFile.open(QIODevice::ReadOnly)) return m_options.certFile + ": cannot be read";
    if (!keyFile.open(QIODevice::ReadOnly)) return m_options.keyFile + ": cannot be read";
    const QList<QSslCertificate> chain = QSslCertificate::fromData(certFile.readAll(), QSsl::Pem);
    if (chain.isEmpty()) return m_options.certFile + ": no PEM certificate in it";
    const QByteArray keyData = keyFile.readAll();
    QSslKey key(keyData, QSsl::Ec, QSsl::Pem);
    if (key.isNull()) key = QSslKey(keyData, QSsl::Rsa, QSsl::Pem);
    if (key.isNull()) return m_options.keyFile + ": no PEM private key (EC or RSA) in it";
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(chain);
    tls.setPrivateKey(key);
    tls.setProtocol(QSsl::TlsV1_2OrLater);
    QList<QSslCipher> strong;
    for (const QSslCipher& c : QSslConfiguration::supportedCiphers())
        if (security::StrongCipherName(c.name().toStdString())) strong.push_back(c);
    if (strong.isEmpty()) return "the TLS library offers none of the console's cipher suites";
    tls.setCiphers(strong);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_gate = new Gate(*this);
    m_gate->setParent(this);
    m_gate->setSslConfiguration(tls);
    if (!m_gate->listen(m_options.address, m_options.port)) {
        const std::string why = m_gate->errorString().toStdString();
        delete m_gate;
        m_gate = nullptr;
        return "cannot listen on " + m_options.address.toString().toStdString() + ":" +
               std::to_string(m_options.port) + ": " + why;
    }
    m_http->bind(m_gate);
    return {};
}

int Server::CheckUpgrade(const std::string& path, const std::string& cookie, const std::string& origin,
                         const std::string& host) {
    if (path != "/ws") return 404;
    if (!m_sessions.Find(CookieValue(cookie, kSessionCookie))) return 401;
    if (!SameOrigin(origin, host)) return 403;
    return 0;
}

void Server::NewSocket() {
    while (QWebSocket* socket = m_ws->nextPendingConnection()) {
        const std::string id = CookieValue(socket->request().rawHeader("Cookie").toStdString(), kSessionCookie);
        const Session* session = m_sessions.Find(id);
        if (!session) {
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated, "no session");
            socket->deleteLater();
            continue;
        }
        m_sessions.Touch(id);
        m_console.Attach(socket, session->id, session->user);
    }
}

void Server::Respond(QHttpServerResponder& responder, const HttpAnswer& a) {
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(a.status));
    for (const auto& [name, value] : SecurityHeaders())
        responder.writeHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
    for (const auto& [name, value] : a.headers)
        responder.writeHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
    if (!a.contentType.empty()) responder.writeHeader("Content-Type", QByteArray::fromStdString(a.contentType));
    responder.writeHeader("Content-Length", QByteArray::number(static_cast<qsizetype>(a.body.size())));
    responder.writeBody(a.body.data(), static_cast<qint64>(a.body.size()));
}

HttpAnswer Server::File(const std::string& name) {
    QByteArray data;
    bool found = false;
    if (!m_options.pageDir.empty()) {
        QFile f(QDir(QString::fromStdString(m_options.pageDir)).filePath(QString::fromStdString(name)));
        if (QFileInfo(f).isFile() && f.open(QIODevice::ReadOnly)) data = f.readAll(), found = true;
    } else {
        QFile f(":/mirelle-web/page/" + QString::fromStdString(name));
        if (f.open(QIODevice::ReadOnly)) data = f.readAll(), found = true;
    }
    if (!found) return Plain(404, "not found");
    HttpAnswer a;
    a.contentType = ContentType(name);
    a.body = data.toStdString();
    return a;
}

HttpAnswer Server::Login(const QHttpServerRequest& request) {
    const std::string body = request.body().toStdString();
    const std::string user = FormField(body, "user"), password = FormField(body, "password");
    const std::string address = ClientAddress(request.remoteAddress());
    // Too many failures for the name or from the address: refused unchecked,
    // so a flood of guesses costs no password hashing.
    const security::ThrottleDecision d = m_guard->Throttle().Check(user, address);
    if (!d.allowed) {
        m_guard->Audit(user, address, security::audit::kLoginRefused, "retry after " + std::to_string(d.retryAfterSeconds) + " s");
        HttpAnswer a = Plain(429, "Too many failed logins. Try again in " + std::to_string(d.retryAfterSeconds) + " seconds.");
        a.headers.push_back({"Retry-After", std::to_string(d.retryAfterSeconds)});
        return a;
    }
    const bool ok = m_operators.Verify(user, password);
    if (onLogin) onLogin(user, address, ok);
    if (!ok) {
        m_guard->Throttle().RecordFailure(user, address);
        m_guard->Audit(user, address, security::audit::kLoginFailed);
        return SeeOther("/login?failed=1");
    }
    m_guard->Throttle().RecordSuccess(user);
    m_guard->Audit(user, address, security::audit::kLogin);
    // A new id at every login; the browser's earlier session ends.
    const std::string old = CookieValue(request.value("Cookie").toStdString(), kSessionCookie);
    if (!old.empty()) m_sessions.End(old);
    HttpAnswer a = SeeOther("/");
    a.headers.push_back({"Set-Cookie", SessionCookie(m_sessions.Create(user))});
    return a;
}

HttpAnswer Server::Route(const QHttpServerRequest& request) {
    const std::string path = request.url().path().toStdString();
    const bool get = request.method() == QHttpServerRequest::Method::Get;
    const bool post = request.method() == QHttpServerRequest::Method::Post;
    if (!get && !post) return Plain(405, "method not allowed");
    if (post && !SameOrigin(request.value("Origin").toStdString(), request.value("Host").toStdString()))
        return Plain(403, "forbidden: not from this console's own page");
    const std::string id = CookieValue(request.value("Cookie").toStdString(), kSessionCookie);
    const Session* session = m_sessions.Find(id);
    if (session) m_sessions.Touch(id);

    if (path == "/login") return post ? Login(request) : File("login.html");
    if (post) {
        if (path != "/logout") return Plain(404, "not found");
        if (!session) return Plain(401, "not logged in");
        m_guard->Audit(session->user, ClientAddress(request.remoteAddress()), security::audit::kLogout);
        m_sessions.End(id);
        HttpAnswer a = SeeOther("/login");
        a.headers.push_back({"Set-Cookie", ClearedSessionCookie()});
        return a;
    }
    if (path == "/ws") return Plain(426, "the console's socket needs a WebSocket upgrade");
    const std::string name = path == "/" ? "index.html" : path.substr(1);
    if (!SafeName(name)) return Plain(404, "not found");
    if (!session && !Public(name)) {
        const bool page = name.size() > 5 && name.compare(name.size() - 5, 5, ".html") == 0;
        return page ? SeeOther("/login") : Plain(401, "not logged in");
    }
    if (path == "/whoami") {
        HttpAnswer a;
        a.contentType = "application/json";
        a.body = nlohmann::json{{"user", session->user}}.dump();
        return a;
    }
    return File(name);
}

}  // namespace web
