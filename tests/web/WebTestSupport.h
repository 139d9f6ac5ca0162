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

#include <chrono>
#include <deque>
#include <memory>

#include <unistd.h>

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QNetworkCookie>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QWebSocket>
#include <nlohmann/json.hpp>

#include "apps/web/UnitHost.h"
#include "platform/ui/Dialog.h"
#include "web/Certificate.h"
#include "web/Console.h"
#include "web/Operators.h"
#include "web/Server.h"
#include "web/Sessions.h"

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

// A console served on an ephemeral port of 127.0.0.1 with a self-signed
// certificate, the unit a copy of the bundled one, two operators (anna and
// bob); browsers played by QNetworkAccessManager and Tab.  Start() once the
// test has set the guard's options and the clock.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        web::Operators::UseLeastCost(true);
        dir = fs::temp_directory_path() / ("mirelle-web-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        unitPath = (dir / "unit.json").string();
        fs::copy_file(webapp::BundledUnit(), unitPath);
        operators = std::make_unique<web::Operators>((dir / "operators").string());
        ASSERT_EQ(operators->Load(), "");
        ASSERT_EQ(operators->SetPassword("anna", "anna's secret"), "");
        ASSERT_EQ(operators->SetPassword("bob", "bob's secret"), "");
        ASSERT_EQ(web::EnsureSelfSigned((dir / "state").string(), cert), "");
    }
    void Start() {
        host = std::make_unique<webapp::UnitHost>(unitPath, webapp::BundledUnit());
        console = std::make_unique<web::Console>(*host);
        console->graceMs = 300;
        host->Serve(*console);
        const web::security::NowFn clock =
            realClock ? web::security::SystemNow() : web::security::NowFn([this] { return now; });
        sessions.now = clock;
        sessions.onEnded = [this](const web::Session& s) { console->SessionEnded(s.id); };
        web::ServerOptions options;
        options.port = 0;
        options.certFile = cert.cert;
        options.keyFile = cert.key;
        options.guard = guard;
        options.clock = clock;
        server = std::make_unique<web::Server>(options, *operators, sessions, *console);
        ASSERT_EQ(server->Start(), "");
        port = server->Port();
        origin = "https://127.0.0.1:" + std::to_string(port);
        nam = std::make_unique<QNetworkAccessManager>();
        nam->setCookieJar(new NoJar);
    }
    void TearDown() override {
        tabs.clear();
        nam.reset();
        server.reset();
        console.reset();
        host.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        fs::remove_all(dir);
    }

    QNetworkReply* Send(const std::string& method, const std::string& path, const std::string& body,
                        const std::string& cookie, const std::string& originHeader) {
        QNetworkRequest request(QUrl(QString::fromStdString(origin + path)));
        request.setSslConfiguration(Trusting());
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        if (!cookie.empty()) request.setRawHeader("Cookie", QByteArray::fromStdString("mirelle_session=" + cookie));
        if (!originHeader.empty()) request.setRawHeader("Origin", QByteArray::fromStdString(originHeader));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        return method == "POST" ? nam->post(request, QByteArray::fromStdString(body)) : nam->get(request);
    }
    static HttpReply Reply(QNetworkReply* reply) {
        HttpReply out;
        out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        out.body = reply->readAll().toStdString();
        for (const auto& [name, value] : reply->rawHeaderPairs())
            out.headers[QString::fromLatin1(name).toLower().toStdString()] = value.toStdString();
        reply->deleteLater();
        return out;
    }
    HttpReply Http(const std::string& method, const std::string& path, const std::string& body = {},
                   const std::string& cookie = {}, const std::string& originHeader = {}) {
        QNetworkReply* reply = Send(method, path, body, cookie, originHeader);
        WaitUntil([&] { return reply->isFinished(); });
        return Reply(reply);
    }
    HttpReply LoginReply(const std::string& user, const std::string& password) {
        return Http("POST", "/login",
                    "user=" + user + "&password=" + QUrl::toPercentEncoding(QString::fromStdString(password)).toStdString(),
                    {}, origin);
    }
    // The session id of a login's cookie ("" when the login failed).
    static std::string CookieOf(const HttpReply& r) {
        const std::string cookie = r.headers.count("set-cookie") ? r.headers.at("set-cookie") : "";
        const std::string prefix = "mirelle_session=";
        if (r.status != 303 || cookie.rfind(prefix, 0) != 0) return {};
        return cookie.substr(prefix.size(), cookie.find(';') - prefix.size());
    }
    std::string Login(const std::string& user, const std::string& password) { return CookieOf(LoginReply(user, password)); }
    Tab& Connect(const std::string& session, bool light = false, const std::string& originHeader = {}) {
        tabs.push_back(std::make_unique<Tab>(port, session, originHeader.empty() ? origin : originHeader, light));
        return *tabs.back();
    }

    // Plays steps from a timer, so that they go on while a setup's dialog
    // runs modally; each step answers true when it is done.  Answers false
    // (and ends every open dialog) when they do not finish in time.
    bool Play(std::deque<std::function<bool()>> steps, int ms = 30000) {
        QElapsedTimer t;
        t.start();
        bool failed = false, busy = false;
        QEventLoop loop;
        QTimer tick;
        tick.setInterval(2);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (busy) return;
            busy = true;
            while (!steps.empty() && steps.front()()) steps.pop_front();
            busy = false;
            if (steps.empty()) loop.quit();
            if (!steps.empty() && t.elapsed() > ms && !failed) {
                failed = true;
                std::string last;
                for (const auto& tab : tabs) {
                    last += "\n-- a tab's last messages:";
                    for (std::size_t i = tab->got.size() > 8 ? tab->got.size() - 8 : 0; i < tab->got.size(); ++i)
                        last += "\n" + tab->got[i].dump(-1, ' ', false, json::error_handler_t::replace).substr(0, 200);
                }
                ADD_FAILURE() << steps.size() << " steps left when the time ran out" << last;
                for (ui::Dialog* d : ui::ModalStack()) d->EndDialog(2);
                steps.clear();
                loop.quit();
            }
        });
        tick.start();
        loop.exec();
        return !failed;
    }

    fs::path dir;
    std::string unitPath, origin;
    web::CertificateFiles cert;
    web::security::GuardOptions guard;
    web::security::TimePoint now{std::chrono::hours(1000)};  // the clock, unless realClock
    bool realClock = true;
    quint16 port = 0;
    std::unique_ptr<web::Operators> operators;
    std::unique_ptr<webapp::UnitHost> host;
    std::unique_ptr<web::Console> console;
    web::Sessions sessions;
    std::unique_ptr<web::Server> server;
    std::unique_ptr<QNetworkAccessManager> nam;  // made once the application is
    std::vector<std::unique_ptr<Tab>> tabs;
};

}  // namespace webtest
