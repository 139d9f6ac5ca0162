// The console's security rules against a real server on an ephemeral port of
// 127.0.0.1: the login throttle, the cookie, sessions that end, the socket's
// limits, connections per address, slow and oversized requests, the TLS
// suites, the audit trail, no operator no start, and a bounded load.  The
// throttle, the socket limits and the sessions run on a clock the test steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QSslCipher>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>
#include <QWebSocket>
#include <nlohmann/json.hpp>

#include "apps/web/UnitHost.h"
#include "tests/web/WebTestSupport.h"
#include "platform/ui/Dialog.h"
#include "web/Certificate.h"
#include "web/Console.h"
#include "web/Operators.h"
#include "web/Server.h"
#include "web/Sessions.h"
#include "web/security/AuditLog.h"

namespace {

using namespace webtest;
using nlohmann::json;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

long RssKiB() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}


// A TLS connection to the server as it is, before any HTTP.
struct RawTls {
    QSslSocket socket;
    bool encrypted = false, gone = false;
    std::string received;
    RawTls(quint16 port, const QSslConfiguration& tls) {
        socket.setSslConfiguration(tls);
        QObject::connect(&socket, &QSslSocket::encrypted, [this] { encrypted = true; });
        QObject::connect(&socket, &QSslSocket::disconnected, [this] { gone = true; });
        QObject::connect(&socket, &QAbstractSocket::errorOccurred, [this] { gone = true; });
        QObject::connect(&socket, &QSslSocket::readyRead, [this] { received += socket.readAll().toStdString(); });
        socket.connectToHostEncrypted("127.0.0.1", port);
    }
};

class SecurityTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        realClock = false;
        guard.auditPath = (dir / "audit.log").string();
        guard.headTimeout = 400ms;
    }
    std::vector<std::vector<std::string>> Audit() {
        std::vector<std::vector<std::string>> out;
        for (const std::string& line : web::security::ReadAuditLines(guard.auditPath, std::nullopt)) {
            std::vector<std::string> fields;
            std::istringstream in(line);
            for (std::string f; std::getline(in, f, '\t');) fields.push_back(f);
            out.push_back(fields);
        }
        return out;
    }
};

}  // namespace

TEST_F(SecurityTest, LoginThrottleAnswers429WithRetryAfter) {
    Start();
    struct Step {
        const char* what;
        std::chrono::seconds advance;
        std::string user, password;
        int status;
        std::string retryAfter;  // "" when none
    };
    const std::vector<Step> steps = {
        {"a wrong password", 0s, "anna", "x1", 303, ""},
        {"an unknown user gets the same answer", 0s, "zoe", "x2", 303, ""},
        {"third", 0s, "anna", "x3", 303, ""},
        {"fourth", 0s, "anna", "x4", 303, ""},
        {"the fifth failure is still checked", 0s, "anna", "x5", 303, ""},
        {"then even the right password is refused", 0s, "anna", "anna's secret", 429, "30"},
        {"and every user from this address", 0s, "bob", "bob's secret", 429, "30"},
        {"the delay runs down", 20s, "bob", "bob's secret", 429, "10"},
        {"and ends", 10s, "anna", "anna's secret", 303, ""},
        {"a failure after it doubles the delay", 0s, "anna", "x6", 303, ""},
        {"refused for 60 s", 0s, "anna", "anna's secret", 429, "60"},
    };
    std::string failedBody;
    for (const Step& s : steps) {
        now += s.advance;
        QElapsedTimer t;
        t.start();
        const HttpReply r = LoginReply(s.user, s.password);
        EXPECT_EQ(r.status, s.status) << s.what;
        EXPECT_EQ(r.headers.count("retry-after") ? r.headers.at("retry-after") : "", s.retryAfter) << s.what;
        if (s.status == 429) {
            EXPECT_NE(r.body.find("Too many failed logins"), std::string::npos) << s.what;
            EXPECT_EQ(r.headers.at("x-content-type-options"), "nosniff") << "the headers on a refusal too";
        }
        if (s.password[0] == 'x') {
            // Unknown user and wrong password: the same answer, byte for byte.
            if (failedBody.empty()) failedBody = r.headers.at("location") + "|" + r.body;
            EXPECT_EQ(r.headers.at("location") + "|" + r.body, failedBody) << s.what;
        }
    }
}

TEST_F(SecurityTest, TheSessionCookie) {
    Start();
    const HttpReply first = LoginReply("anna", "anna's secret");
    const HttpReply second = LoginReply("anna", "anna's secret");
    for (const HttpReply* r : {&first, &second}) {
        const std::string c = r->headers.at("set-cookie");
        for (const char* flag : {"; HttpOnly", "; Secure", "; SameSite=Strict", "; Path=/"})
            EXPECT_NE(c.find(flag), std::string::npos) << c;
        const std::string id = CookieOf(*r);
        EXPECT_EQ(id.size(), 64u);
        EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos) << id;
    }
    EXPECT_NE(CookieOf(first), CookieOf(second)) << "a new id at every login";
}

TEST_F(SecurityTest, EndedSessionsAreRefused) {
    Start();
    struct Case {
        const char* what;
        std::function<void(const std::string& session)> end;
    };
    const std::vector<Case> cases = {
        {"logged out", [this](const std::string& s) { ASSERT_EQ(Http("POST", "/logout", {}, s, origin).status, 303); }},
        {"15 minutes idle", [this](const std::string&) { now += 15min; }},
        {"12 hours after the login, though in use",
         [this](const std::string& s) {
             for (int i = 0; i < 70; ++i) {
                 now += 10min;
                 ASSERT_EQ(Http("GET", "/whoami", {}, s).status, 200) << i;
             }
             now += 10min;
         }},
    };
    for (const Case& c : cases) {
        const std::string s = Login("anna", "anna's secret");
        ASSERT_EQ(Http("GET", "/", {}, s).status, 200) << c.what;
        now += 14min;
        ASSERT_EQ(Http("GET", "/", {}, s).status, 200) << c.what << ": 14 minutes idle is not yet too long";
        c.end(s);
        EXPECT_EQ(Http("GET", "/", {}, s).status, 303) << c.what;
        EXPECT_EQ(Http("GET", "/whoami", {}, s).status, 401) << c.what;
        Tab& tab = Connect(s);
        EXPECT_TRUE(WaitUntil([&] { return tab.closed; }, 5000)) << c.what << ": the socket is refused";
        EXPECT_EQ(tab.Count("hello"), 0u) << c.what;
    }
}

TEST_F(SecurityTest, AnIdleHoldersSetupEndsThroughConnectTimeout) {
    Start();
    Tab& anna = Connect(Login("anna", "anna's secret"));
    Tab& bob = Connect(Login("bob", "bob's secret"));
    std::deque<std::function<bool()>> steps;
    steps.push_back([&] { return anna.Count("hello") == 1 && bob.Count("hello") == 1; });
    steps.push_back([&] {
        anna.Send({{"type", "run"}, {"operation", "ShowRecordModeDlg"}});
        return true;
    });
    steps.push_back([&] { return bob.Count("dialog") == 1; });
    steps.push_back([&] {
        // Bob keeps his session in use; Anna does nothing for 15 minutes.
        now += 10min;
        bob.Send({{"type", "recording"}});
        return true;
    });
    steps.push_back([&] { return bob.Count("recording") == 1; });
    steps.push_back([&] {
        now += 5min + 1s;
        return true;
    });
    steps.push_back([&] { return bob.Last("result") != nullptr; });
    ASSERT_TRUE(Play(steps));
    EXPECT_EQ(bob.Last("result")->at("result"), 0) << "ConnectTimeout ends the dialog with 0";
    EXPECT_TRUE(WaitUntil([&] { return anna.closed; }));
    EXPECT_FALSE(bob.closed);
}

TEST_F(SecurityTest, SocketLimits) {
    Start();
    struct Case {
        const char* what;
        std::vector<std::string> messages;
        std::size_t errors;  // at least
        bool closed;
    };
    const std::string big = json{{"type", "action"}, {"line", "set 1 " + std::string(70000, 'a')}}.dump();
    const std::string deep = R"({"type":"ping","x":)" + std::string(40, '[') + std::string(40, ']') + "}";
    const std::vector<Case> cases = {
        {"bad messages get errors and keep the socket",
         {"nonsense", R"({"type":"selfdestruct"})", R"({"type":"run"})", R"({"type":"action","line":"click 1\nclick 2"})"},
         4, false},
        {"a limit broken twice keeps it", {big, deep}, 2, false},
        {"a limit broken three times closes it", {big, deep, big}, 3, true},
        {"more than 50 messages a second (after a burst of 100) close it", std::vector<std::string>(120, R"({"type":"ping"})"), 3, true},
    };
    for (const Case& c : cases) {
        Tab& tab = Connect(Login("anna", "anna's secret"));
        ASSERT_TRUE(WaitUntil([&] { return tab.Count("hello") == 1; })) << c.what;
        for (const std::string& m : c.messages) tab.ws.sendTextMessage(QString::fromStdString(m));
        EXPECT_TRUE(WaitUntil([&] { return tab.Count("error") >= c.errors; }, 5000)) << c.what << ": " << tab.Count("error");
        if (c.closed) {
            EXPECT_TRUE(WaitUntil([&] { return tab.closed; }, 5000)) << c.what;
        } else {
            tab.Send({{"type", "ping"}});
            EXPECT_TRUE(WaitUntil([&] { return tab.Count("pong") >= 1; }, 5000)) << c.what;
            EXPECT_FALSE(tab.closed) << c.what;
        }
        now += 11s;  // a fresh bucket and window for the next case
    }
    const auto audit = Audit();
    EXPECT_EQ(std::count_if(audit.begin(), audit.end(), [](auto& f) { return f.at(3) == "limits-broken"; }), 2);
}

TEST_F(SecurityTest, ConnectionsPerAddress) {
    guard.connectionsPerAddress = 16;
    Start();
    std::vector<std::unique_ptr<RawTls>> open;
    for (int i = 0; i < 16; ++i) open.push_back(std::make_unique<RawTls>(port, Trusting()));
    ASSERT_TRUE(WaitUntil([&] {
        return std::all_of(open.begin(), open.end(), [](auto& c) { return c->encrypted; });
    }));
    ASSERT_TRUE(WaitUntil([&] { return server->Security().Connections().Open("127.0.0.1") == 16; }));
    RawTls extra(port, Trusting());
    EXPECT_TRUE(WaitUntil([&] { return extra.gone; }, 5000)) << "the 17th connection is refused";
    EXPECT_EQ(extra.received.rfind("HTTP/1.1 429 Too Many Requests\r\n", 0), 0u) << extra.received;
    open.back()->socket.abort();
    open.pop_back();
    ASSERT_TRUE(WaitUntil([&] { return server->Security().Connections().Open("127.0.0.1") == 15; }));
    EXPECT_EQ(Http("GET", "/login").status, 200) << "room again once one closed";
    open.clear();
    EXPECT_TRUE(WaitUntil([&] { return server->Security().Connections().Open("127.0.0.1") <= 1; }));
}

TEST_F(SecurityTest, SlowAndOversizedRequests) {
    Start();
    struct Case {
        const char* what;
        std::string request;
        std::string answer;  // the status line's start, "" when cut off without one
    };
    const std::string head = "Host: 127.0.0.1:" + std::to_string(port) + "\r\nOrigin: " + origin + "\r\n";
    const std::vector<Case> cases = {
        {"a head never finished", "GET /login HTTP/1.1\r\n" + head, ""},
        {"a body too large", "POST /login HTTP/1.1\r\n" + head + "Content-Length: 100000\r\n\r\n", "HTTP/1.1 413"},
        {"a chunked body", "POST /login HTTP/1.1\r\n" + head + "Transfer-Encoding: chunked\r\n\r\n", "HTTP/1.1 411"},
        {"a length that is no number", "POST /login HTTP/1.1\r\n" + head + "Content-Length: -1\r\n\r\n", "HTTP/1.1 413"},
    };
    for (const Case& c : cases) {
        RawTls conn(port, Trusting());
        ASSERT_TRUE(WaitUntil([&] { return conn.encrypted; })) << c.what;
        conn.socket.write(c.request.data(), static_cast<qint64>(c.request.size()));
        QElapsedTimer t;
        t.start();
        EXPECT_TRUE(WaitUntil([&] { return conn.gone; }, 5000)) << c.what;
        EXPECT_EQ(conn.received.substr(0, c.answer.size()), c.answer) << c.what << ": " << conn.received;
        if (c.answer.empty()) {
            EXPECT_GE(t.elapsed(), 150) << "cut off after the head time-out";
        }
    }
}

TEST_F(SecurityTest, TlsVersionsAndSuites) {
    Start();
    struct Case {
        const char* what;
        QSsl::SslProtocol protocol;
        const char* cipher;  // the only suite offered, or null for the defaults
        bool connects;
    };
    const std::vector<Case> cases = {
        {"TLS 1.3", QSsl::TlsV1_3, nullptr, true},
        {"TLS 1.2 with AES-GCM", QSsl::TlsV1_2, "ECDHE-ECDSA-AES128-GCM-SHA256", true},
        {"TLS 1.2 with ChaCha20", QSsl::TlsV1_2, "ECDHE-ECDSA-CHACHA20-POLY1305", true},
        {"TLS 1.2 with CBC", QSsl::TlsV1_2, "ECDHE-ECDSA-AES128-SHA256", false},
        {"TLS 1.2 with CBC and SHA-1", QSsl::TlsV1_2, "ECDHE-ECDSA-AES256-SHA", false},
    };
    for (const Case& c : cases) {
        QSslConfiguration tls = Trusting();
        tls.setProtocol(c.protocol);
        if (c.cipher) {
            const QSslCipher cipher(QString::fromLatin1(c.cipher));
            if (cipher.isNull()) {
                ADD_FAILURE() << c.what << ": the client's TLS library lacks " << c.cipher;
                continue;
            }
            tls.setCiphers({cipher});
        }
        RawTls conn(port, tls);
        EXPECT_TRUE(WaitUntil([&] { return conn.encrypted || conn.gone; }, 5000)) << c.what;
        EXPECT_EQ(conn.encrypted, c.connects) << c.what << ": " << conn.socket.errorString().toStdString();
    }
}

TEST_F(SecurityTest, TheAuditTrail) {
    Start();
    ASSERT_EQ(Login("zoe", "guess"), "");
    Tab& anna = Connect(Login("anna", "anna's secret"));
    const std::string bobSession = Login("bob", "bob's secret");
    Tab& bob = Connect(bobSession);
    std::deque<std::function<bool()>> steps;
    steps.push_back([&] { return anna.Count("hello") == 1 && bob.Count("hello") == 1; });
    steps.push_back([&] {
        anna.Send({{"type", "run"}, {"operation", "ShowPortAddressDlg"}});
        return true;
    });
    steps.push_back([&] { return anna.Count("dialog") == 1; });
    steps.push_back([&] {
        for (const char* line : {"set 1033 5101", "select 1037 6", "tick 1039 1", "set 1041 CASTELLAN-HQ", "click 1"})
            anna.Send({{"type", "action"}, {"line", line}});
        return true;
    });
    steps.push_back([&] { return anna.Last("message") != nullptr; });
    steps.push_back([&] {
        anna.Send({{"type", "answer"}, {"box", anna.Last("message")->at("box")}, {"answer", "ok"}});
        return true;
    });
    steps.push_back([&] { return anna.Count("result") == 1; });
    steps.push_back([&] {
        anna.Send({{"type", "handover"}, {"to", "bob"}});
        return true;
    });
    steps.push_back([&] { return bob.Last("role") && bob.Last("role")->at("role") == "holder"; });
    ASSERT_TRUE(Play(steps));
    ASSERT_EQ(Http("POST", "/logout", {}, bobSession, origin).status, 303);

    std::vector<std::string> seen;
    for (const auto& f : Audit()) {
        ASSERT_EQ(f.size(), 5u);
        EXPECT_TRUE(web::security::ParseIsoTime(f[0])) << f[0];
        seen.push_back(f[1] + " " + f[2] + " " + f[3] + " " + f[4]);
    }
    const std::vector<std::string> want = {
        "zoe 127.0.0.1 login-failed -",
        "anna 127.0.0.1 login -",
        "bob 127.0.0.1 login -",
        "anna 127.0.0.1 setup-opened ShowPortAddressDlg",
        "anna 127.0.0.1 setup-result ShowPortAddressDlg 1",
        "anna 127.0.0.1 handover to bob",
        "bob 127.0.0.1 logout -",
    };
    // In this order, with nothing but host lines between them.
    std::size_t at = 0;
    for (const std::string& line : seen) {
        if (at < want.size() && line == want[at]) {
            ++at;
        } else {
            EXPECT_NE(line.find(" host host: "), std::string::npos) << "unexpected: " << line;
        }
    }
    EXPECT_EQ(at, want.size()) << "missing: " << (at < want.size() ? want[at] : "");
    EXPECT_NE(std::find(seen.begin(), seen.end(),
                        "anna 127.0.0.1 host host: RegisterWithServer \"QLN-4411-0001\" \"CASTELLAN-HQ\""),
              seen.end())
        << "the host's changes, with the operator";
}

TEST(SecurityTool, NoOperatorNoStartAndTheAuditCommand) {
    const fs::path dir = fs::temp_directory_path() / ("mirelle-websec-tool-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    auto run = [&](const std::string& args, const std::string& input = "") {
        const std::string out = (dir / "out").string(), err = (dir / "err").string();
        const std::string cmd = (input.empty() ? "" : "printf '%s\\n' '" + input + "' | ") + "MIRELLE_AUDIT_LOG=" +
                                (dir / "audit.log").string() + " " + MIRELLE_WEB + " --state-dir " +
                                (dir / "state").string() + " " + args + " >" + out + " 2>" + err + " </dev/null";
        const int status = std::system(cmd.c_str());
        return std::tuple{WEXITSTATUS(status), ReadFile(out), ReadFile(err)};
    };
    {
        auto [code, out, err] = run("--unit " + (dir / "unit.json").string() + " --port 0");
        EXPECT_EQ(code, 2);
        EXPECT_NE(err.find("no operator is defined"), std::string::npos) << err;
        EXPECT_NE(err.find("mirelle-web passwd USER"), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(dir / "state" / "console-cert.pem")) << "nothing started";
    }
    {
        web::security::AuditOptions o;
        o.path = (dir / "audit.log").string();
        o.now = [] { return *web::security::ParseIsoTime("2026-12-09T07:00:00Z"); };
        web::security::AuditLog log(o);
        ASSERT_TRUE(log.Write({"anna", "192.0.2.1", "login", ""}));
        o.now = [] { return *web::security::ParseIsoTime("2026-12-09T09:00:00Z"); };
        web::security::AuditLog later(o);
        ASSERT_TRUE(later.Write({"anna", "192.0.2.1", "logout", ""}));
    }
    struct Case {
        std::string args;
        int code;
        std::string out, err;
    };
    const std::vector<Case> cases = {
        {"audit", 0, "2026-12-09T07:00:00.000Z\tanna\t192.0.2.1\tlogin\t-\n2026-12-09T09:00:00.000Z\tanna\t192.0.2.1\tlogout\t-\n", ""},
        {"audit --since 2026-12-09T08:00Z", 0, "2026-12-09T09:00:00.000Z\tanna\t192.0.2.1\tlogout\t-\n", ""},
        {"audit --since 2026-12-09T10:00+01:00", 0, "2026-12-09T09:00:00.000Z\tanna\t192.0.2.1\tlogout\t-\n", ""},
        {"audit --since noon", 2, "", "not an ISO-8601 time: noon"},
    };
    for (const Case& c : cases) {
        auto [code, out, err] = run(c.args);
        EXPECT_EQ(code, c.code) << c.args << ": " << err;
        EXPECT_EQ(out, c.out) << c.args;
        EXPECT_NE(err.find(c.err), std::string::npos) << c.args << ": " << err;
    }
    fs::remove_all(dir);
}

namespace {

std::vector<std::string> ScriptLines(const fs::path& file, std::string& operation) {
    std::vector<std::string> out;
    std::istringstream in(ReadFile(file));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("# operation: ", 0) == 0) operation = line.substr(13);
        if (!line.empty() && line[0] != '#') out.push_back(line);
    }
    return out;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5))];
}

}  // namespace

// One operator plays the demo scripts while 50 operators watch, 200 sockets
// come and go and 1,000 wrong logins arrive; the server keeps answering and
// its memory stays flat.  Prints the operator's action latency and the memory.
TEST_F(SecurityTest, LoadWatchersFloodsAndTheDemoScripts) {
    realClock = true;
    guard.connectionsPerAddress = 400;  // everything comes from 127.0.0.1 here
    guard.auditPath.clear();
    Start();
    const fs::path cwd = fs::current_path();
    fs::current_path(MIRELLE_SOURCE_DIR);  // the scripts name files relative to the tree
    std::vector<fs::path> scripts;
    for (const auto& e : fs::directory_iterator(fs::path(MIRELLE_SOURCE_DIR) / "apps/demo"))
        if (e.path().extension() == ".script") scripts.push_back(e.path());
    std::sort(scripts.begin(), scripts.end());
    ASSERT_EQ(scripts.size(), 14u);

    Tab& op = Connect(Login("anna", "anna's secret"));
    std::vector<Tab*> watchers;
    for (int i = 0; i < 50; ++i) {
        const std::string s = Login("bob", "bob's secret");
        ASSERT_FALSE(s.empty()) << i;
        watchers.push_back(&Connect(s, true));
    }
    const std::string dropper = Login("bob", "bob's secret");
    ASSERT_TRUE(WaitUntil([&] {
        return op.Count("hello") == 1 &&
               std::all_of(watchers.begin(), watchers.end(), [](Tab* w) { return w->Count("unit") == 1; });
    }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const long rssBefore = RssKiB();

    // 1,000 wrong logins, 16 at a time, for as long as they take.
    int loginsSent = 0, loginsDone = 0, refused = 0, inFlight = 0;
    std::vector<double> loginMs;
    QTimer logins;
    QObject::connect(&logins, &QTimer::timeout, [&] {
        while (inFlight < 16 && loginsSent < 1000) {
            ++inFlight;
            ++loginsSent;
            auto started = std::make_shared<QElapsedTimer>();
            started->start();
            QNetworkReply* r = Send("POST", "/login", "user=mallory" + std::to_string(loginsSent % 7) + "&password=guess",
                                    {}, origin);
            QObject::connect(r, &QNetworkReply::finished, [&, r, started] {
                loginMs.push_back(static_cast<double>(started->nsecsElapsed()) / 1e6);
                refused += Reply(r).status == 429;
                --inFlight;
                ++loginsDone;
            });
        }
    });
    logins.start(5);
    // 200 sockets opened and dropped, a few at a time.
    int opened = 0, dropped = 0;
    std::vector<std::unique_ptr<Tab>> transient;
    QTimer churn;
    QObject::connect(&churn, &QTimer::timeout, [&] {
        for (auto& t : transient)
            if (t && (t->Count("hello") > 0 || t->closed)) {
                t->ws.abort();
                t.reset();
                ++dropped;
            }
        transient.erase(std::remove(transient.begin(), transient.end(), nullptr), transient.end());
        while (transient.size() < 8 && opened < 200) {
            transient.push_back(std::make_unique<Tab>(port, dropper, origin, true));
            ++opened;
        }
    });
    churn.start(10);

    // The operator: each action, then a ping whose answer says it was taken;
    // message boxes answered as the script says (else the cautious answer).
    std::vector<double> latency;
    int finished = 0, refusedActions = 0;
    std::deque<std::function<bool()>> steps;
    auto answers = std::make_shared<std::deque<std::string>>();
    auto pongs = std::make_shared<std::size_t>(0);
    auto sent = std::make_shared<QElapsedTimer>();
    auto paced = std::make_shared<QElapsedTimer>();
    paced->start();
    auto answered = std::make_shared<std::size_t>(0);
    auto answerBox = [&op, answers, answered] {
        // Boxes are counted: their numbers may come again in a later setup.
        const std::size_t shown = op.Count("message");
        if (shown <= op.Count("messageClosed")) return false;
        if (*answered >= shown) return true;  // sent, not yet closed
        *answered = shown;
        const json* box = op.Last("message");
        std::string word = answers->empty() ? "" : answers->front();
        if (!answers->empty()) answers->pop_front();
        // A word the box has no button for (a script that went astray): its cautious answer.
        const std::string buttons = box->value("buttons", "ok");
        if (word.empty() || buttons.find(word) == std::string::npos)
            word = buttons.find("cancel") != std::string::npos ? "cancel" : buttons == "yesno" ? "no" : "ok";
        op.Send({{"type", "answer"}, {"box", (*box)["box"]}, {"answer", word}});
        return true;
    };
    for (const fs::path& file : scripts) {
        std::string operation;
        const std::vector<std::string> lines = ScriptLines(file, operation);
        auto results = std::make_shared<std::size_t>(0), runs = std::make_shared<std::size_t>(0);
        steps.push_back([&, operation, results, runs] {
            *results = op.Count("result");
            *runs = op.Count("running");
            answers->clear();
            op.Send({{"type", "run"}, {"operation", operation}});
            return true;
        });
        steps.push_back([&, runs] { return op.Count("running") > *runs; });
        for (const std::string& line : lines) {
            if (line.rfind("answer ", 0) == 0) {
                steps.push_back([answers, line] {
                    answers->push_back(line.substr(7));
                    return true;
                });
                continue;
            }
            if (line == "wait") {
                auto waited = std::make_shared<QElapsedTimer>();
                steps.push_back([waited] {
                    if (!waited->isValid()) waited->start();
                    return waited->elapsed() > 400;
                });
                continue;
            }
            steps.push_back([&, line, pongs, sent, paced] {
                // At most 40 messages a second, within the socket's limit of 50.
                if (paced->elapsed() < 50) return false;
                paced->restart();
                *pongs = op.Count("pong");
                sent->start();
                op.Send({{"type", "action"}, {"line", line}});
                op.Send({{"type", "ping"}});
                return true;
            });
            steps.push_back([&, pongs, sent, answerBox] {
                if (answerBox()) return false;
                if (op.Count("pong") <= *pongs) return false;
                latency.push_back(static_cast<double>(sent->nsecsElapsed()) / 1e6);
                return true;
            });
        }
        auto deadline = std::make_shared<QElapsedTimer>();
        steps.push_back([&, results, deadline, answerBox] {
            if (!deadline->isValid()) deadline->start();
            if (op.Count("result") > *results) {
                finished += op.Last("result")->at("result") == 1;
                return true;
            }
            if (answerBox()) return false;
            if (deadline->elapsed() > 8000 && paced->elapsed() > 500) {
                paced->restart();
                op.Send({{"type", "action"}, {"line", "click 2"}});  // a script that went astray: Cancel
            }
            return false;
        });
    }
    steps.push_back([&] { return loginsDone == 1000 && dropped == 200; });
    QElapsedTimer total;
    total.start();
    const bool played = Play(steps, 100000);
    logins.stop();
    churn.stop();
    fs::current_path(cwd);
    ASSERT_TRUE(played);
    for (const json& m : op.got)
        if (m.value("type", "") == "error") ++refusedActions;

    // The server still answers, every watcher saw every setup end, and memory is flat.
    EXPECT_EQ(Http("GET", "/login").status, 200);
    for (Tab* w : watchers) {
        EXPECT_FALSE(w->closed);
        EXPECT_EQ(w->Count("result"), 14u);
    }
    transient.clear();
    WaitUntil([&] { return server->Security().Connections().Open("127.0.0.1") <= 60; }, 5000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const long rssAfter = RssKiB();
    EXPECT_GE(refused, 990) << "the throttle answers nearly all of them 429";
#if !defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed blocks in quarantine and maps shadow memory
    // as it goes, so the process's size says nothing there.
    EXPECT_LT(rssAfter - rssBefore, 64 * 1024) << "memory stays flat";
#endif
    std::printf("load: %d operator actions in %zu scripts (%d ended with result 1, %d refused), 50 watchers, "
                "%d sockets opened and dropped, %d wrong logins (%d answered 429), %.1f s in all\n",
                static_cast<int>(latency.size()), scripts.size(), finished, refusedActions, dropped, loginsDone, refused,
                static_cast<double>(total.elapsed()) / 1000.0);
    std::printf("load: operator action latency p50 %.2f ms, p99 %.2f ms\n", Percentile(latency, 0.5),
                Percentile(latency, 0.99));
    std::printf("load: wrong login answer p50 %.2f ms, p99 %.2f ms\n", Percentile(loginMs, 0.5), Percentile(loginMs, 0.99));
    std::printf("load: memory (RSS of the test process, server and clients) before %.1f MiB, after %.1f MiB\n",
                static_cast<double>(rssBefore) / 1024.0, static_cast<double>(rssAfter) / 1024.0);
}
