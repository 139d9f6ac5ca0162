#include "web/Console.h"

#include <algorithm>
#include <ctime>

#include <QPointer>
#include <QWebSocket>

#include "web/Protocol.h"
#include "web/Server.h"

namespace web {

using nlohmann::json;

namespace {

// Messages larger than this close the socket in the WebSocket layer; the
// protocol's own limit (an error, the socket kept) is far below it.
constexpr quint64 kHardMessageLimit = 4 * 1024 * 1024;

QString Text(const json& j) { return QString::fromStdString(j.dump(-1, ' ', false, json::error_handler_t::replace)); }

}  // namespace

std::string IsoNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

std::vector<std::string> ChangedPointers(const json& before, const json& after) {
    std::vector<std::string> out;
    for (const json& op : json::diff(before, after)) out.push_back(op.value("path", ""));
    return out;
}

Console::Console(ConsoleHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_frontEnd([this](const json& m) { Broadcast(m); }) {
    m_recorder.source = "the web console";
    m_grace.setSingleShot(true);
    connect(&m_grace, &QTimer::timeout, this, [this] { DropHolder("remote connection dropped"); });
}

Console::~Console() {
    for (auto& c : m_conns) {
        c->socket->disconnect(this);
        c->socket->deleteLater();
    }
}

security::Guard& DefaultGuard() {
    static security::Guard guard;
    return guard;
}

void Console::Audit(const std::string& user, const std::string& address, const char* event, const std::string& detail) {
    if (guard) guard->Audit(user, address, event, detail);
}

bool Console::Admit(int id) {
    Conn* c = Find(id);
    if (!c) return false;
    if (c->limits->rate.Take()) return true;
    const auto rate = static_cast<long>((guard ? guard : &DefaultGuard())->Options().messagesPerSecond);
    Violation(id, "too many messages: at most " + std::to_string(rate) + " a second");
    return false;
}

void Console::Violation(int id, const std::string& what) {
    Conn* c = Find(id);
    if (!c) return;
    Send(*c, ErrorJson(what, "message"));
    if (!c->limits->violations.Record()) return;
    Audit(c->user, c->address, security::audit::kLimits, what);
    c->socket->close(QWebSocketProtocol::CloseCodePolicyViolated, "limits broken repeatedly");
}

Console::Conn* Console::Find(int id) {
    for (auto& c : m_conns)
        if (c->id == id) return c.get();
    return nullptr;
}

void Console::Send(Conn& c, const json& message) { c.socket->sendTextMessage(Text(message)); }

void Console::Broadcast(const json& message) {
    const QString text = Text(message);
    for (auto& c : m_conns) c->socket->sendTextMessage(text);
}

void Console::RunLine(const std::string& line) {
    if (line.rfind("host:", 0) == 0) Audit(m_runUser, m_runAddress, security::audit::kHost, line);
    Log(line);
}

void Console::Error(int id, const std::string& text, const std::string& action) {
    if (Conn* c = Find(id)) Send(*c, ErrorJson(text, action));
}

void Console::Log(const std::string& line) { Broadcast(json{{"type", "log"}, {"line", line}}); }

json Console::HolderJson() const {
    if (m_holder.session.empty()) return nullptr;
    return {{"user", m_holder.user}, {"since", m_holder.since}};
}

void Console::SetHolder(const std::string& session, const std::string& user) {
    m_holder = session.empty() ? Holder{} : Holder{session, user, IsoNow()};
    m_grace.stop();
    Broadcast(json{{"type", "holder"}, {"holder", HolderJson()}});
    SendRoles();
    if (onEvent) onEvent(user, session.empty() ? "setup free" : "holds the setup");
}

void Console::SendRoles() {
    for (auto& c : m_conns)
        Send(*c, json{{"type", "role"}, {"role", c->session == m_holder.session ? "holder" : "watcher"}});
}

void Console::Attach(QWebSocket* socket, const std::string& session, const std::string& user) {
    auto conn = std::make_unique<Conn>(Conn{m_nextId++, socket, session, user});
    conn->address = ClientAddress(socket->peerAddress());
    conn->limits = (guard ? guard : &DefaultGuard())->NewSocketLimits();
    const int id = conn->id;
    socket->setParent(this);
    socket->setMaxAllowedIncomingMessageSize(kHardMessageLimit);
    connect(socket, &QWebSocket::textMessageReceived, this, [this, id](const QString& text) {
        // The rate is held as messages arrive, before they queue up.
        if (!Admit(id)) return;
        // Handled from the event loop, not inside the socket's own signal:
        // a handler may run a dialog to its end, and the socket may go
        // away meanwhile.
        QMetaObject::invokeMethod(this, [this, id, text] { Handle(id, text); }, Qt::QueuedConnection);
    });
    connect(socket, &QWebSocket::binaryMessageReceived, this, [this, id](const QByteArray&) {
        if (!Admit(id)) return;
        QMetaObject::invokeMethod(
            this, [this, id] { Violation(id, "binary messages are not taken"); }, Qt::QueuedConnection);
    });
    connect(socket, &QWebSocket::disconnected, this, [this, id] { Detached(id); }, Qt::QueuedConnection);
    m_conns.push_back(std::move(conn));
    Conn& c = *m_conns.back();

    bool took = false;
    if (m_holder.session.empty() && m_running.empty()) {
        // Nobody holds the setup and none runs: the operator who comes takes it.
        m_holder = Holder{session, user, IsoNow(), c.address};
        took = true;
    } else if (m_holder.session == session) {
        m_grace.stop();  // the holder is back within the grace time
    }
    const bool holder = m_holder.session == session;
    Send(c, json{{"type", "hello"},
                 {"user", user},
                 {"role", holder ? "holder" : "watcher"},
                 {"holder", HolderJson()},
                 {"groups", m_host.Groups()},
                 {"running", m_running.empty() ? json(nullptr) : json(m_running)},
                 {"recording", m_record},
                 {"grace", graceMs / 1000}});
    Send(c, json{{"type", "unit"}, {"data", m_host.Unit()}, {"changed", json::array()}});
    for (const json& m : m_frontEnd.State()) Send(c, m);
    if (took) {
        Broadcast(json{{"type", "holder"}, {"holder", HolderJson()}});
        SendRoles();
        if (onEvent) onEvent(user, "holds the setup");
    }
}

void Console::Detached(int id) {
    auto it = std::find_if(m_conns.begin(), m_conns.end(), [id](auto& c) { return c->id == id; });
    if (it == m_conns.end()) return;
    const std::string session = (*it)->session;
    (*it)->socket->disconnect(this);
    (*it)->socket->deleteLater();
    m_conns.erase(it);
    if (session != m_holder.session) return;
    for (auto& c : m_conns)
        if (c->session == session) return;  // another tab of the holder
    // The holder's last tab: wait for it to come back.
    if (graceMs <= 0)
        DropHolder("remote connection dropped");
    else
        m_grace.start(graceMs);
}

void Console::SessionEnded(const std::string& session) {
    std::vector<QWebSocket*> closing;
    for (auto& c : m_conns)
        if (c->session == session) closing.push_back(c->socket);
    for (QWebSocket* s : closing) s->close(QWebSocketProtocol::CloseCodeNormal, "session ended");
    if (session == m_holder.session) DropHolder("operator session ended");
}

void Console::DropHolder(const std::string& why) {
    m_grace.stop();
    const std::string user = m_holder.user, address = m_holder.address;
    m_holder = Holder{};
    if (!m_running.empty()) {
        Audit(user, address, security::audit::kConnectTimeout, why);
        Log("== " + why + ": ConnectTimeout");
        if (onEvent) onEvent(user, why + ": ConnectTimeout");
        m_host.ConnectTimeout();
        m_frontEnd.Abandon();
        m_frontEnd.Refresh();
    }
    Broadcast(json{{"type", "holder"}, {"holder", nullptr}});
    SendRoles();
}

void Console::Handle(int id, const QString& qtext) {
    if (!Find(id)) return;
    const std::string text = qtext.toStdString();
    ClientMessage m;
    bool limit = false;
    if (std::string why = ReadClientMessage(text, m, &limit); !why.empty())
        return limit ? Violation(id, why) : Error(id, why, "message");
    Conn& c = *Find(id);
    if (m.type != ClientMessage::Type::Ping && onActivity) onActivity(c.session);
    const bool holder = !m_holder.session.empty() && c.session == m_holder.session;
    using T = ClientMessage::Type;
    const char* type = "";
    switch (m.type) {
        case T::Run: type = "run"; break;
        case T::Action: type = "action"; break;
        case T::Answer: type = "answer"; break;
        case T::Reset: type = "reset"; break;
        case T::Record: type = "record"; break;
        default: break;
    }
    if (*type && !holder) {
        const std::string who = m_holder.user.empty() ? "nobody holds the setup: take it first"
                                                      : m_holder.user + " holds the setup: you are watching";
        return Error(id, who, m.type == T::Action ? m.line : type);
    }
    switch (m.type) {
        case T::Ping: Send(c, json{{"type", "pong"}}); return;
        case T::Run: return RunSetup(id, m.operation);
        case T::Action: {
            const std::string error = m_frontEnd.Act(m.line);
            if (!error.empty()) Error(id, error, m.line);
            return;
        }
        case T::Answer: {
            const std::string error = m_frontEnd.Answer(m.box, m.answer);
            if (!error.empty()) Error(id, error, "answer " + m.answer);
            return;
        }
        case T::Reset: {
            if (!m_running.empty()) return Error(id, "a setup is running", "reset");
            Log(m_host.Reset());
            Broadcast(json{{"type", "unit"}, {"data", m_host.Unit()}, {"changed", json::array()}});
            return;
        }
        case T::Record:
            m_record = m.on;
            Broadcast(json{{"type", "recording"}, {"on", m_record}, {"script", m_recorder.Empty() ? "" : m_recorder.Text()}});
            return;
        case T::Recording:
            Send(c, json{{"type", "recording"}, {"on", m_record}, {"script", m_recorder.Empty() ? "" : m_recorder.Text()}});
            return;
        case T::Take:
            if (!m_holder.session.empty()) {
                if (holder) return;
                return Error(id, m_holder.user + " holds the setup", "take");
            }
            if (m_frontEnd.Abandoned()) m_frontEnd.Abandon(false);
            SetHolder(c.session, c.user);
            m_holder.address = c.address;
            Audit(c.user, c.address, security::audit::kTake, "");
            return;
        case T::Handover: {
            if (!holder) return Error(id, "only the holder (" + m_holder.user + ") can hand the setup over", "handover");
            const Conn* to = nullptr;
            for (auto& other : m_conns)
                if (other->user == m.to && other->session != c.session) to = other.get();
            if (!to) return Error(id, m.to + " is not connected", "handover");
            Audit(c.user, c.address, security::audit::kHandover, "to " + to->user);
            const std::string address = to->address;
            SetHolder(to->session, to->user);
            m_holder.address = address;
            return;
        }
    }
}

void Console::RunSetup(int id, const std::string& operation) {
    if (!m_running.empty()) return Error(id, m_running + " is running", "run " + operation);
    if (!m_host.IsOperation(operation)) return Error(id, "no setup " + operation, "run " + operation);
    m_running = operation;
    m_frontEnd.Abandon(false);
    if (Conn* c = Find(id)) m_holder.address = c->address;
    // The operator and address of the run, kept for its lines even if the holder changes meanwhile.
    m_runUser = m_holder.user;
    m_runAddress = m_holder.address;
    Audit(m_runUser, m_runAddress, security::audit::kSetupOpened, operation);
    if (onEvent) onEvent(m_holder.user, "opened " + operation);
    Broadcast(json{{"type", "running"}, {"operation", operation}});
    Log("== " + operation);
    if (m_record) {
        m_recorder.Start(operation);
        m_frontEnd.recorder = &m_recorder;
    }
    const json before = m_host.Unit();
    long result = -1;
    try {
        // The storage worker reports its host calls from its own thread.
        result = m_host.Run(operation, [this](const std::string& line) { m_runLines.Say(line); });
    } catch (const std::exception& e) {
        m_runLines.Flush();
        Log(std::string("failed: ") + e.what());
    }
    m_runLines.Flush();
    m_frontEnd.recorder = nullptr;
    Audit(m_runUser, m_runAddress, security::audit::kSetupResult, operation + " " + std::to_string(result));
    m_running.clear();
    m_frontEnd.Abandon(false);
    if (onEvent) onEvent(m_holder.user, operation + " result " + std::to_string(result));
    Broadcast(json{{"type", "result"}, {"operation", operation}, {"result", result}});
    const json after = m_host.Unit();
    Broadcast(json{{"type", "unit"}, {"data", after}, {"changed", ChangedPointers(before, after)}});
    if (m_record)
        Broadcast(json{{"type", "recording"}, {"on", m_record}, {"script", m_recorder.Empty() ? "" : m_recorder.Text()}});
}

}  // namespace web
