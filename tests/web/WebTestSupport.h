// What the console's tests share: the one application of the binary, TLS
// that trusts the test's self-signed certificate, and a browser tab's socket
// that keeps every message it got.
#pragma once
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QWebSocket>
#include <nlohmann/json.hpp>

namespace webtest {

using nlohmann::json;
namespace fs = std::filesystem;

inline QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "test_web";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

inline QSslConfiguration Trusting() {
    QSslConfiguration c = QSslConfiguration::defaultConfiguration();
    c.setPeerVerifyMode(QSslSocket::VerifyNone);
    return c;
}

// Cookies are the test's to send, not the network manager's.
class NoJar : public QNetworkCookieJar {
public:
    bool setCookiesFromUrl(const QList<QNetworkCookie>&, const QUrl&) override { return false; }
    QList<QNetworkCookie> cookiesForUrl(const QUrl&) const override { return {}; }
};

inline std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct HttpReply {
    int status = 0;
    std::string body;
    std::map<std::string, std::string> headers;  // lower-case names
};

// One tab's socket: every message it got, in order.
class Tab {
public:
    // light: keep only each message's type and result (a watcher of a long load run).
    Tab(quint16 port, const std::string& cookie, const std::string& origin, bool light = false)
        : ws(QString::fromStdString(origin)) {
        ws.setSslConfiguration(Trusting());
        QObject::connect(&ws, &QWebSocket::textMessageReceived, [this, light](const QString& t) {
            json m = json::parse(t.toStdString(), nullptr, false);
            if (light && m.is_object()) {
                json kept = {{"type", m.value("type", "")}};
                if (m.contains("result")) kept["result"] = m["result"];
                m = std::move(kept);
            }
            got.push_back(std::move(m));
        });
        QObject::connect(&ws, &QWebSocket::disconnected, [this] { closed = true; });
        QNetworkRequest request(QUrl(QString("wss://127.0.0.1:%1/ws").arg(port)));
        if (!cookie.empty()) request.setRawHeader("Cookie", QByteArray::fromStdString("mirelle_session=" + cookie));
        ws.open(request);
    }
    void Send(const json& m) { ws.sendTextMessage(QString::fromStdString(m.dump())); }
    void Act(const std::string& line) { Send({{"type", "action"}, {"line", line}}); }
    std::size_t Count(const std::string& type, std::size_t from = 0) const {
        std::size_t n = 0;
        for (std::size_t i = from; i < got.size(); ++i) n += got[i].value("type", "") == type;
        return n;
    }
    const json* Last(const std::string& type) const {
        for (auto it = got.rbegin(); it != got.rend(); ++it)
            if (it->value("type", "") == type) return &*it;
        return nullptr;
    }
    bool Open() const { return ws.state() == QAbstractSocket::ConnectedState; }
    // Whether a worker of the top dialog runs, by the messages so far (a
    // script's wait, as the scripted driver waits on the dialog it runs).
    bool TopBusy() const {
        std::vector<std::pair<int, bool>> open;  // innermost last
        for (const json& m : got) {
            const std::string type = m.value("type", "");
            if (type == "dialog") open.push_back({m["dialog"].get<int>(), m.value("busy", false)});
            if (type == "update" && m.contains("busy"))
                for (auto& [id, busy] : open)
                    if (id == m["dialog"].get<int>()) busy = m["busy"];
            if (type == "closed")
                std::erase_if(open, [&](const auto& d) { return d.first == m["dialog"].get<int>(); });
        }
        return !open.empty() && open.back().second;
    }

    QWebSocket ws;
    std::vector<json> got;
    std::set<int> answered;
    bool closed = false;
};

// Waits (turning the event loop) until done() or the time is up.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 15000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

}  // namespace webtest
