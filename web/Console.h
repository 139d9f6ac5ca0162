// The console's sockets: who is connected, who holds the setup, and what
// each message from a page does.
//
// One operator at a time: the session that holds the setup runs setups and
// acts on their dialogs from any of its tabs; every other session watches
// (it gets the same messages, its actions are refused).  When the holder's
// last socket closes, the setup waits graceMs for a socket of that session;
// after that, or when the holder's session ends, the host is told the
// remote operator is gone (ConnectTimeout) and nobody holds the setup.
// Messages from a page are handled from the event loop, one after another;
// a handler may run a setup or a dialog to its end before it returns.
#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QTimer>
#include <nlohmann/json.hpp>

#include "platform/ui/LineHandOff.h"
#include "platform/ui/Recorder.h"
#include "web/WebFrontEnd.h"
#include "web/security/Guard.h"

class QWebSocket;

namespace web {

// What the console needs of its host (the unit and the module).
class ConsoleHost {
public:
    virtual ~ConsoleHost() = default;
    // The setups grouped for the start page: [{"name":..,"setups":[{"title":..,"operation":..}]}].
    virtual nlohmann::json Groups() = 0;
    virtual bool IsOperation(const std::string& name) = 0;
    // Runs a setup modally; the report lines go to say.  Answers the
    // operation's result, -1 when it failed.
    virtual long Run(const std::string& operation, const std::function<void(const std::string&)>& say) = 0;
    // Puts the bundled unit back; answers the log line.
    virtual std::string Reset() = 0;
    // The unit file's data.
    virtual nlohmann::json Unit() = 0;
    // The remote operator is gone: ConnectTimeout on the running setup.
    virtual void ConnectTimeout() = 0;
};

class Console : public QObject {
public:
    explicit Console(ConsoleHost& host, QObject* parent = nullptr);
    ~Console() override;

    // Takes a socket of session (logged in as user): sends hello and the
    // state, and handles its messages from now on.
    void Attach(QWebSocket* socket, const std::string& session, const std::string& user);
    // The session ended (logout, expiry): its sockets are closed, and a
    // holder's setup is ended through ConnectTimeout at once.
    void SessionEnded(const std::string& session);

    std::string HolderUser() const { return m_holder.user; }
    std::string HolderSession() const { return m_holder.session; }
    bool SetupRunning() const { return !m_running.empty(); }
    std::size_t Connections() const { return m_conns.size(); }
    WebFrontEnd& FrontEnd() { return m_frontEnd; }

    // How long a dropped holder's setup waits for a socket of its session.
    int graceMs = 30000;
    // Called for what an audit trail keeps: (user, event text).
    std::function<void(const std::string&, const std::string&)> onEvent;
    // The limits each socket's messages are held to and the audit trail
    // (the server sets it; the defaults hold without one).
    security::Guard* guard = nullptr;
    // A session did something (any message but a ping): its idle time starts again.
    std::function<void(const std::string& session)> onActivity;

private:
    struct Conn {
        int id;
        QWebSocket* socket;
        std::string session, user;
        std::string address = {};
        std::unique_ptr<security::SocketLimits> limits = {};
    };
    struct Holder {
        std::string session, user, since;
        std::string address = {};  // of the socket that last ran a setup
    };
    // A message arrived: within the socket's rate?
    bool Admit(int id);
    // The socket broke a limit; it is closed when it keeps doing so.
    void Violation(int id, const std::string& what);
    void Audit(const std::string& user, const std::string& address, const char* event, const std::string& detail);
    Conn* Find(int id);
    void Handle(int id, const QString& text);
    void Send(Conn& c, const nlohmann::json& message);
    void Broadcast(const nlohmann::json& message);
    void Detached(int id);
    void Error(int id, const std::string& text, const std::string& action);
    nlohmann::json HolderJson() const;
    void SetHolder(const std::string& session, const std::string& user);
    void SendRoles();
    // The holder is gone for good: ConnectTimeout on a running setup.
    void DropHolder(const std::string& why);
    void RunSetup(int id, const std::string& operation);
    void Log(const std::string& line);
    // A line the running setup says (audited when it reports a host call).
    void RunLine(const std::string& line);

    ConsoleHost& m_host;
    WebFrontEnd m_frontEnd;
    std::vector<std::unique_ptr<Conn>> m_conns;
    int m_nextId = 1;
    Holder m_holder;
    QTimer m_grace;
    std::string m_running;
    bool m_record = false;
    ui::ScriptRecorder m_recorder;
    std::string m_runUser, m_runAddress;  // of the setup that runs, kept if the holder changes
    // Lines of a setup's worker threads reach the sockets through the event loop.
    ui::LineHandOff m_runLines{[this](const std::string& line) { RunLine(line); },
                               [this](std::function<void()> flush) {
                                   QMetaObject::invokeMethod(this, std::move(flush), Qt::QueuedConnection);
                               }};
};

// The JSON pointers of the values that differ between two JSON documents.
std::vector<std::string> ChangedPointers(const nlohmann::json& before, const nlohmann::json& after);
// Now as ISO-8601 UTC ("2026-12-09T07:00:00Z").
std::string IsoNow();

}  // namespace web
