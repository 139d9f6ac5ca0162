// The console end to end, in process: a server on an ephemeral port of
// 127.0.0.1 with a self-signed certificate, browsers played by
// QNetworkAccessManager and QWebSocket clients.  The setups run modally on
// this thread, so what a test does while one runs goes in steps that a
// timer plays from inside the modal loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QSslConfiguration>
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

namespace {

using namespace webtest;
using nlohmann::json;
namespace fs = std::filesystem;

// Milliseconds from an action sent to the answer of the ping after it (the
// action applied and its changes sent), over the scripts played.
std::vector<double>& Latencies() {
    static std::vector<double> v;
    return v;
}

std::vector<std::string> ScriptActions(const std::string& file) {
    std::vector<std::string> out;
    std::istringstream in(ReadFile(fs::path(MIRELLE_SOURCE_DIR) / "apps/demo" / file));
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#') out.push_back(line);
    return out;
}


class ConsoleTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (!HasFatalFailure()) Start();
    }

    json UnitNow() { return json::parse(ReadFile(unitPath)); }

    // Steps that play script actions on tab as an operator would: each
    // action, then a ping whose answer says the action was taken (or a
    // dialog or box it opened is showing); "wait" waits until no dialog is
    // busy.  A box gets the answer the script queued before the action, or
    // the cautious one, as mirelle-run gives it.
    static void PlayScript(std::deque<std::function<bool()>>& steps, Tab& tab, const std::vector<std::string>& lines,
                           bool toTheEnd = true) {
        PlayScript(steps, [&tab]() -> Tab& { return tab; }, lines, toTheEnd);
    }
    // The same on whichever tab tabNow answers when the step runs.
    static void PlayScript(std::deque<std::function<bool()>>& steps, std::function<Tab&()> tabNow,
                           const std::vector<std::string>& lines, bool toTheEnd = true) {
        auto answers = std::make_shared<std::deque<std::string>>();
        auto pongs = std::make_shared<std::size_t>(0);
        // Answers an open box; true when none is open.
        auto noBox = [tabNow, answers, pongs] {
            Tab& tab = tabNow();
            const json* box = tab.Last("message");
            const json* closedBox = tab.Last("messageClosed");
            if (!box || (closedBox && (*closedBox)["box"] == (*box)["box"])) return true;
            if (tab.answered.count((*box)["box"].get<int>())) return false;
            tab.answered.insert((*box)["box"].get<int>());
            std::string word;
            if (!answers->empty()) {
                word = answers->front();
                answers->pop_front();
            } else {
                const std::string buttons = (*box)["buttons"];
                word = buttons == "ok" ? "ok" : buttons == "yesno" ? "no" : "cancel";
            }
            tab.Send({{"type", "answer"}, {"box", (*box)["box"]}, {"answer", word}});
            *pongs = tab.Count("pong");
            tab.Send({{"type", "ping"}});
            return false;
        };
        for (const std::string& line : lines) {
            if (line.rfind("answer ", 0) == 0) {
                steps.push_back([answers, line] {
                    answers->push_back(line.substr(7));
                    return true;
                });
            } else if (line == "wait") {
                steps.push_back([tabNow, noBox] { return noBox() && !tabNow().TopBusy(); });
            } else {
                auto sent = std::make_shared<QElapsedTimer>();
                steps.push_back([tabNow, line, pongs, sent] {
                    // An action and a ping at most every 45 ms: within the
                    // socket's limit of 50 messages a second, as a person is.
                    static QElapsedTimer paced;
                    if (paced.isValid() && paced.elapsed() < 45) return false;
                    paced.start();
                    Tab& tab = tabNow();
                    *pongs = tab.Count("pong");
                    sent->start();
                    tab.Act(line);
                    tab.Send({{"type", "ping"}});
                    return true;
                });
                steps.push_back([tabNow, pongs, noBox, sent] {
                    if (!noBox() || tabNow().Count("pong") <= *pongs) return false;
                    Latencies().push_back(static_cast<double>(sent->nsecsElapsed()) / 1e6);
                    return true;
                });
            }
        }
        // Boxes shown as the setup closes (a worker's last word) get theirs too.
        if (toTheEnd) steps.push_back([tabNow, noBox] { return noBox() && tabNow().Count("result") > 0; });
    }

    // The report lines the pages showed for a run of operation.
    std::string Report(const std::string& operation) const {
        std::string report;
        bool in = false;
        for (const auto& each : tabs) {
            for (const json& m : each->got) {
                if (m["type"] != "log") continue;
                const std::string line = m["line"];
                if (line == "== " + operation) {
                    in = true;
                    continue;
                }
                if (in) report += line + "\n";
            }
        }
        return report;
    }

    // Runs script with mirelle-run on a fresh copy of the bundled unit;
    // answers its report, the unit it left in *unit.
    std::string RunHeadless(const std::string& operation, const fs::path& script, json* unit) {
        const fs::path copy = dir / "headless.json";
        fs::remove(copy);
        fs::copy_file(webapp::BundledUnit(), copy);
        const std::string command = std::string(MIRELLE_RUN) + " --unit " + copy.string() + " --script " +
                                    script.string() + " " + operation + " > " + (dir / "headless.out").string() +
                                    " 2>" + (dir / "headless.err").string();
        EXPECT_EQ(std::system(command.c_str()), 0) << ReadFile(dir / "headless.err");
        *unit = json::parse(ReadFile(copy));
        return ReadFile(dir / "headless.out");
    }
};

TEST_F(ConsoleTest, LoginCookieHeadersAndOrigins) {
    // Every answer carries the security headers, whatever it is.
    for (const HttpReply& r : {Http("GET", "/login"), Http("GET", "/"), Http("GET", "/nothing.js"),
                               Http("POST", "/login", "user=anna&password=x", {}, "https://evil.example")}) {
        EXPECT_EQ(r.headers.at("content-security-policy"), "default-src 'self'; frame-ancestors 'none'");
        EXPECT_EQ(r.headers.at("x-content-type-options"), "nosniff");
        EXPECT_EQ(r.headers.at("referrer-policy"), "no-referrer");
        EXPECT_NE(r.headers.count("strict-transport-security"), 0u);
    }
    struct Case {
        const char* what;
        std::string method, path, body, origin;
        bool session;
        int status;
        const char* location;
    };
    const std::string anna = Login("anna", "anna's secret");
    ASSERT_EQ(anna.size(), 64u);
    const std::vector<Case> cases = {
        {"login page without a session", "GET", "/login", "", "", false, 200, nullptr},
        {"console page without a session", "GET", "/", "", "", false, 303, "/login"},
        {"a script without a session", "GET", "/app.js", "", "", false, 401, nullptr},
        {"the console page", "GET", "/", "", "", true, 200, nullptr},
        {"who am I", "GET", "/whoami", "", "", true, 200, nullptr},
        {"a path out of the page", "GET", "/../etc/passwd", "", "", true, 404, nullptr},
        {"wrong password", "POST", "/login", "user=anna&password=wrong", origin, false, 303, "/login?failed=1"},
        {"unknown user", "POST", "/login", "user=zoe&password=wrong", origin, false, 303, "/login?failed=1"},
        {"login from another site", "POST", "/login", "user=anna&password=anna%27s+secret", "https://evil.example",
         false, 403, nullptr},
        {"login without an Origin", "POST", "/login", "user=anna&password=anna%27s+secret", "", false, 403, nullptr},
        {"logout from another site", "POST", "/logout", "", "https://evil.example", true, 403, nullptr},
        {"logout without a session", "POST", "/logout", "", origin, false, 401, nullptr},
        {"a method the console has not", "PUT", "/", "", origin, true, 405, nullptr},
    };
    for (const Case& c : cases) {
        HttpReply r;
        if (c.method == "PUT") {
            QNetworkRequest request(QUrl(QString::fromStdString(origin + c.path)));
            request.setSslConfiguration(Trusting());
            QNetworkReply* reply = nam->put(request, QByteArray());
            WaitUntil([&] { return reply->isFinished(); });
            r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            reply->deleteLater();
        } else {
            r = Http(c.method, c.path, c.body, c.session ? anna : "", c.origin);
        }
        EXPECT_EQ(r.status, c.status) << c.what;
        if (c.location) {
            EXPECT_EQ(r.headers["location"], c.location) << c.what;
        }
        EXPECT_EQ(r.headers.count("set-cookie"), 0u) << c.what;
    }
    EXPECT_EQ(json::parse(Http("GET", "/whoami", {}, anna).body)["user"], "anna");

    // A good login: the cookie's flags, and a new id every time.
    const HttpReply ok = Http("POST", "/login", "user=anna&password=anna%27s+secret", anna, origin);
    ASSERT_EQ(ok.status, 303);
    EXPECT_EQ(ok.headers.at("location"), "/");
    const std::string cookie = ok.headers.at("set-cookie");
    for (const char* flag : {"HttpOnly", "Secure", "SameSite=Strict", "Path=/"})
        EXPECT_NE(cookie.find(flag), std::string::npos) << flag;
    const std::string second = cookie.substr(16, 64);
    EXPECT_NE(second, anna);
    EXPECT_EQ(Http("GET", "/", {}, anna).status, 303) << "the earlier session of that browser ended";
    EXPECT_EQ(Http("GET", "/", {}, second).status, 200);
    // Logout ends the session and clears the cookie.
    const HttpReply out = Http("POST", "/logout", {}, second, origin);
    EXPECT_EQ(out.status, 303);
    EXPECT_NE(out.headers.at("set-cookie").find("Max-Age=0"), std::string::npos);
    EXPECT_EQ(Http("GET", "/", {}, second).status, 303);
}

TEST_F(ConsoleTest, TheSocketNeedsASessionAndTheConsolesOwnOrigin) {
    const std::string anna = Login("anna", "anna's secret");
    Tab& none = Connect("");
    Tab& forged = Connect("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef");
    Tab& foreign = Connect(anna, false, "https://evil.example");
    Tab& good = Connect(anna);
    ASSERT_TRUE(WaitUntil([&] { return good.Count("hello") == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return none.closed && forged.closed && foreign.closed; }));
    for (Tab* refused : {&none, &forged, &foreign}) EXPECT_TRUE(refused->got.empty());
    const json& hello = good.got.front();
    EXPECT_EQ(hello["user"], "anna");
    EXPECT_EQ(hello["role"], "holder") << "the first operator when nobody holds the setup";
    EXPECT_EQ(hello["groups"][0]["name"], "Video");
    EXPECT_EQ(hello["running"], nullptr);
    ASSERT_TRUE(WaitUntil([&] { return good.Count("unit") == 1; }));
    EXPECT_EQ(good.Last("unit")->at("data"), UnitNow());

    // Logging out closes the session's sockets.
    EXPECT_EQ(Http("POST", "/logout", {}, anna, origin).status, 303);
    EXPECT_TRUE(WaitUntil([&] { return good.closed; }));
}

TEST_F(ConsoleTest, RefusedMessagesChangeNothingAndKeepTheSocket) {
    Tab& tab = Connect(Login("anna", "anna's secret"));
    const json before = UnitNow();
    std::size_t mark = 0;
    std::vector<std::pair<json, std::string>> bad;
    std::deque<std::function<bool()>> steps;
    steps.push_back([&] { return tab.Count("hello") == 1; });
    steps.push_back([&] {
        tab.Send({{"type", "run"}, {"operation", "ShowRecordModeDlg"}});
        return true;
    });
    steps.push_back([&] { return tab.Count("dialog") == 1; });
    steps.push_back([&] {
        // A disabled control of the dialog, if it has one.
        int disabled = 0;
        for (const json& c : tab.Last("dialog")->at("controls"))
            if (!c["enabled"].get<bool>() && c["visible"].get<bool>() && c["kind"] == "button") disabled = c["id"];
        mark = tab.got.size();
        auto send = [&](const std::string& raw, const std::string& expect) {
            tab.ws.sendTextMessage(QString::fromStdString(raw));
            bad.push_back({raw.substr(0, 60), expect});
        };
        send("{\"type\":", "not JSON");
        send(R"({"type":"selfdestruct"})", "unknown message type");
        send(R"({"type":"action","line":"click 4242"})", "no control 4242");
        send(R"({"type":"action","line":"clack 1"})", "line 1");
        send(R"({"type":"action","line":"tick 1014 7"})", "tick takes 0 or 1");
        send(R"({"type":"action","line":"set 1014 text"})", "not an edit");
        send(R"({"type":"action","line":"set 1 \u65e5"})", "characters the unit cannot show");
        send(R"({"type":"answer","answer":"yes"})", "no message box is open");
        send("{\"type\":\"action\",\"line\":\"" + std::string(66000, 'x') + "\"}", "too large");
        if (disabled) send(R"({"type":"action","line":"click )" + std::to_string(disabled) + "\"}", "disabled");
        tab.ws.sendBinaryMessage("\x01\x02");
        bad.push_back({"binary", "binary"});
        tab.Send({{"type", "ping"}});
        return true;
    });
    steps.push_back([&] { return tab.Count("pong", mark) == 1; });
    steps.push_back([&] {
        EXPECT_TRUE(tab.Open());
        EXPECT_EQ(tab.Count("update", mark) + tab.Count("closed", mark) + tab.Count("dialog", mark), 0u)
            << "nothing changed";
        std::vector<std::string> errors;
        for (std::size_t i = mark; i < tab.got.size(); ++i)
            if (tab.got[i]["type"] == "error") errors.push_back(tab.got[i]["text"]);
        EXPECT_EQ(errors.size(), bad.size());
        for (std::size_t i = 0; i < bad.size() && i < errors.size(); ++i)
            EXPECT_NE(errors[i].find(bad[i].second), std::string::npos) << bad[i].first << " -> " << errors[i];
        tab.Act("click 2");
        return true;
    });
    steps.push_back([&] { return tab.Count("result") == 1; });
    ASSERT_TRUE(Play(steps));
    EXPECT_EQ(tab.Last("result")->at("result"), 2) << "Cancel";
    EXPECT_EQ(UnitNow(), before);
}

TEST_F(ConsoleTest, ADroppedOperatorEndsTheDialogWithZeroAfterTheGraceTime) {
    Tab& anna = Connect(Login("anna", "anna's secret"));
    Tab& bob = Connect(Login("bob", "bob's secret"));
    const json before = UnitNow();
    std::deque<std::function<bool()>> steps;
    steps.push_back([&] { return anna.Count("hello") == 1 && bob.Count("hello") == 1; });
    steps.push_back([&] {
        EXPECT_EQ(bob.got.front()["role"], "watcher");
        EXPECT_EQ(bob.got.front()["holder"]["user"], "anna");
        anna.Send({{"type", "run"}, {"operation", "ShowRecordModeDlg"}});
        return true;
    });
    steps.push_back([&] { return anna.Count("dialog") == 1 && bob.Count("dialog") == 1; });
    steps.push_back([&] {
        EXPECT_EQ(*anna.Last("dialog"), *bob.Last("dialog")) << "a watcher sees what the holder sees";
        anna.ws.close();
        return true;
    });
    steps.push_back([&] { return bob.Count("result") == 1; });
    ASSERT_TRUE(Play(steps));
    EXPECT_EQ(bob.Last("result")->at("result"), 0);
    bool logged = false;
    for (const json& m : bob.got)
        if (m["type"] == "log" && m["line"] == "== remote connection dropped: ConnectTimeout") logged = true;
    EXPECT_TRUE(logged);
    EXPECT_EQ(bob.Last("holder")->at("holder"), nullptr) << "the setup is free";
    EXPECT_EQ(UnitNow(), before);
    // The watcher takes the free setup.
    bob.Send({{"type", "take"}});
    ASSERT_TRUE(WaitUntil([&] { return bob.Last("role") && bob.Last("role")->at("role") == "holder"; }));
}

TEST_F(ConsoleTest, TheHoldersLogoutEndsTheDialogAtOnce) {
    console->graceMs = 60000;  // no waiting for a session that has ended
    const std::string session = Login("anna", "anna's secret");
    Tab& anna = Connect(session);
    Tab& second = Connect(session);  // another tab of the same operator
    Tab& bob = Connect(Login("bob", "bob's secret"));
    std::deque<std::function<bool()>> steps;
    steps.push_back([&] { return anna.Count("hello") + second.Count("hello") + bob.Count("hello") == 3; });
    steps.push_back([&] {
        EXPECT_EQ(second.got.front()["role"], "holder") << "every tab of the holder's session holds";
        second.Send({{"type", "run"}, {"operation", "ShowPortAddressDlg"}});
        return true;
    });
    steps.push_back([&] { return bob.Count("dialog") == 1; });
    steps.push_back([&] {
        anna.ws.close();  // one tab closes: the other still holds, nothing ends
        return true;
    });
    steps.push_back([&] { return anna.closed; });
    steps.push_back([&] {
        EXPECT_EQ(bob.Count("result"), 0u);
        const HttpReply out = Http("POST", "/logout", {}, session, origin);
        EXPECT_EQ(out.status, 303);
        return true;
    });
    steps.push_back([&] { return bob.Count("result") == 1; });
    ASSERT_TRUE(Play(steps, 10000));
    EXPECT_EQ(bob.Last("result")->at("result"), 0);
    EXPECT_TRUE(WaitUntil([&] { return second.closed; }));
}

TEST_F(ConsoleTest, ADropUnderAMessageBoxOverASubDialogEndsTheSheetWithZero) {
    // The camera sheet (which the connection time-out reaches), a dialog
    // opened over it and a message box over that: nobody is left to answer,
    // so the box gets its cautious answer and the dialog over the sheet is
    // cancelled once the sheet has ended.
    Tab& anna = Connect(Login("anna", "anna's secret"));
    Tab& bob = Connect(Login("bob", "bob's secret"));
    const json before = UnitNow();
    std::deque<std::function<bool()>> steps;
    steps.push_back([&] { return anna.Count("hello") == 1 && bob.Count("hello") == 1; });
    steps.push_back([&] {
        anna.Send({{"type", "run"}, {"operation", "ShowCameras"}});
        return true;
    });
    steps.push_back([&] { return anna.Count("dialog") == 1; });
    PlayScript(steps, anna, {"page Camera Control", "select 1472 2", "click 1492"}, false);
    steps.push_back([&] { return anna.Count("dialog") == 2; });
    steps.push_back([&] {
        anna.Act("set 1511 0");
        anna.Act("click 1");
        return true;
    });
    steps.push_back([&] { return anna.Count("message") == 1; });
    steps.push_back([&] {
        anna.ws.close();
        return true;
    });
    steps.push_back([&] { return bob.Count("result") == 1; });
    ASSERT_TRUE(Play(steps));
    EXPECT_EQ(bob.Last("result")->at("result"), 0);
    EXPECT_EQ(bob.Count("messageClosed"), 1u);
    EXPECT_EQ(bob.Count("closed"), 2u) << "the sub-dialog and the sheet";
    EXPECT_EQ(UnitNow(), before);
}

TEST_F(ConsoleTest, AReloadWithinTheGraceTimeGetsTheSameDialogAndTheRecordingReplays) {
    console->graceMs = 20000;
    const std::string session = Login("anna", "anna's secret");
    Tab* tab = &Connect(session);
    const std::vector<std::string> script = ScriptActions("10-record-mode.script");
    json first;
    std::deque<std::function<bool()>> steps;
    steps.push_back([&] { return tab->Count("hello") == 1; });
    steps.push_back([&] {
        tab->Send({{"type", "record"}, {"on", true}});
        tab->Send({{"type", "run"}, {"operation", "ShowRecordModeDlg"}});
        return true;
    });
    steps.push_back([&] { return tab->Count("dialog") == 1; });
    PlayScript(steps, *tab, {script[0], script[1]}, false);
    steps.push_back([&] {
        first = *tab->Last("dialog");
        tab->ws.close();
        return true;
    });
    steps.push_back([&] { return tab->closed; });
    steps.push_back([&] {
        tab = &Connect(session);  // the page reloaded
        return true;
    });
    steps.push_back([&] { return tab->Count("dialog") == 1; });
    steps.push_back([&] {
        const json& hello = tab->got.front();
        EXPECT_EQ(hello["role"], "holder");
        EXPECT_EQ(hello["running"], "ShowRecordModeDlg");
        const json& again = *tab->Last("dialog");
        EXPECT_EQ(again["dialog"], first["dialog"]) << "the same dialog, where it was";
        for (const json& c : again["controls"]) {
            if (c["id"] == 1014) {
                EXPECT_TRUE(c["ticked"].get<bool>());
            }
        }
        return true;
    });
    PlayScript(steps, [&tab]() -> Tab& { return *tab; }, {script.begin() + 2, script.end()});
    steps.push_back([&] { return tab->Count("result") == 1 && tab->Count("recording") >= 1; });
    ASSERT_TRUE(Play(steps));
    EXPECT_EQ(tab->Last("result")->at("result"), 1);

    // The recording replays headless to the same unit and the same report.
    const std::string recorded = tab->Last("recording")->at("script");
    EXPECT_EQ(recorded.rfind("# operation: ShowRecordModeDlg\n", 0), 0u) << recorded;
    std::ofstream(dir / "recorded.script") << recorded;
    json replayed;
    EXPECT_EQ(RunHeadless("ShowRecordModeDlg", dir / "recorded.script", &replayed), Report("ShowRecordModeDlg"));
    EXPECT_EQ(replayed, UnitNow());
}

// Every demo script played through the socket ends as mirelle-run ends it:
// the same report lines and the same unit.
TEST_F(ConsoleTest, EveryDemoScriptEndsAsTheScriptedRunEnds) {
    std::vector<fs::path> scripts;
    for (const auto& entry : fs::directory_iterator(fs::path(MIRELLE_SOURCE_DIR) / "apps/demo"))
        if (entry.path().extension() == ".script") scripts.push_back(entry.path());
    std::sort(scripts.begin(), scripts.end());
    ASSERT_EQ(scripts.size(), 14u);
    // MIRELLE_DEMO_SCRIPTS=TEXT plays only the scripts whose file names hold
    // TEXT (the thread checker's run plays the storage script alone).
    if (const char* only = std::getenv("MIRELLE_DEMO_SCRIPTS"))
        std::erase_if(scripts, [only](const fs::path& p) { return p.filename().string().find(only) == std::string::npos; });
    ASSERT_FALSE(scripts.empty());
    // The scripts name their files (a camera handler definition) from the
    // top of the source tree, where the demo runs them; so does mirelle-run.
    struct InSourceTree {
        fs::path was = fs::current_path();
        InSourceTree() { fs::current_path(MIRELLE_SOURCE_DIR); }
        ~InSourceTree() {
            std::error_code ec;
            fs::current_path(was, ec);
        }
    } inSource;
    Tab& tab = Connect(Login("anna", "anna's secret"));
    ASSERT_TRUE(WaitUntil([&] { return tab.Count("unit") == 1; }));
    for (const fs::path& script : scripts) {
        const std::string text = ReadFile(script);
        const std::string operation = text.substr(13, text.find('\n') - 13);
        SCOPED_TRACE(script.filename().string() + " " + operation);
        fs::copy_file(webapp::BundledUnit(), unitPath, fs::copy_options::overwrite_existing);
        const std::size_t results = tab.Count("result");
        const std::size_t from = tab.got.size();
        std::deque<std::function<bool()>> steps;
        steps.push_back([&] {
            tab.Send({{"type", "run"}, {"operation", operation}});
            return true;
        });
        steps.push_back([&] { return tab.Count("dialog", from) >= 1; });
        PlayScript(steps, tab, ScriptActions(script.filename().string()));
        steps.push_back([&] { return tab.Count("result") > results; });
        ASSERT_TRUE(Play(steps));
        EXPECT_EQ(tab.Count("error", from), 0u) << "no action refused";
        std::string report;
        for (std::size_t i = from; i < tab.got.size(); ++i)
            if (tab.got[i]["type"] == "log" && tab.got[i]["line"] != "== " + operation)
                report += tab.got[i]["line"].get<std::string>() + "\n";
        json headless;
        EXPECT_EQ(report, RunHeadless(operation, script, &headless));
        EXPECT_EQ(UnitNow(), headless);
        if (operation == "ShowStorage") {
            EXPECT_GT(tab.Count("live", from), 0u) << "the progress bar moved";
        }
        if (operation == "ShowIPSourceConfig") {
            EXPECT_GE(tab.Count("message", from), 1u);
        }
    }
    std::vector<double> ms = Latencies();
    std::sort(ms.begin(), ms.end());
    if (!ms.empty())
        std::cout << "action to answer over the socket: " << ms.size() << " actions, p50 " << ms[ms.size() / 2]
                  << " ms, p99 " << ms[std::min(ms.size() - 1, ms.size() * 99 / 100)] << " ms\n";
}

TEST_F(ConsoleTest, AWatchersActionsAreRefusedUntilTheHolderHandsOver) {
    Tab& anna = Connect(Login("anna", "anna's secret"));
    ASSERT_TRUE(WaitUntil([&] { return anna.Count("hello") == 1; }));
    Tab& bob = Connect(Login("bob", "bob's secret"));
    ASSERT_TRUE(WaitUntil([&] { return bob.Count("unit") == 1; }));
    EXPECT_EQ(bob.got.front()["role"], "watcher");
    for (const json& m : {json{{"type", "run"}, {"operation", "ShowAudio"}}, json{{"type", "action"}, {"line", "click 1"}},
                          json{{"type", "reset"}}, json{{"type", "handover"}, {"to", "bob"}}, json{{"type", "take"}}})
        bob.Send(m);
    ASSERT_TRUE(WaitUntil([&] { return bob.Count("error") == 5; }));
    for (const json& m : bob.got) {
        if (m["type"] == "error") {
            EXPECT_NE(m["text"].get<std::string>().find("anna"), std::string::npos) << m["text"];
        }
    }
    EXPECT_EQ(anna.Count("running"), 0u);

    anna.Send({{"type", "handover"}, {"to", "carl"}});
    ASSERT_TRUE(WaitUntil([&] { return anna.Count("error") == 1; }));
    anna.Send({{"type", "handover"}, {"to", "bob"}});
    ASSERT_TRUE(WaitUntil([&] { return bob.Last("role") && bob.Last("role")->at("role") == "holder"; }));
    EXPECT_EQ(anna.Last("role")->at("role"), "watcher");
    EXPECT_EQ(anna.Last("holder")->at("holder")["user"], "bob");
    bob.Send({{"type", "run"}, {"operation", "UpdateLevelMeter"}});
    ASSERT_TRUE(WaitUntil([&] { return anna.Count("result") == 1; }));
}

}  // namespace
