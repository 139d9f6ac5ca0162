// The console's pure logic: reading a page's messages within their limits,
// the dialog's changes as messages, message box answers, and the HTTP rules
// (cookies, origins, form fields, request heads), operators and sessions.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/ui/MessageBox.h"
#include "web/HttpPolicy.h"
#include "web/Operators.h"
#include "web/Protocol.h"
#include "web/Server.h"
#include "web/Sessions.h"

namespace {

std::string Nested(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST(Protocol, MessagesAPageMaySendOrNot) {
    struct Case {
        std::string text;
        std::string error;  // a part of the refusal, "" when taken
    };
    const std::vector<Case> cases = {
        {R"({"type":"ping"})", ""},
        {R"({"type":"run","operation":"ShowCameras"})", ""},
        {R"({"type":"action","line":"set 1001 Front door"})", ""},
        {R"({"type":"answer","box":3,"answer":"yes"})", ""},
        {R"({"type":"answer","answer":"no"})", ""},
        {R"({"type":"record","on":true})", ""},
        {R"({"type":"handover","to":"bob"})", ""},
        {R"({"type":"reset","extra":[1,2,3]})", ""},
        {"", "not JSON"},
        {"{\"type\":", "not JSON"},
        {"not json at all", "not JSON"},
        {"[1,2]", "not a JSON object"},
        {"\"ping\"", "not a JSON object"},
        {R"({"kind":"ping"})", "no \"type\""},
        {R"({"type":7})", "no \"type\""},
        {R"({"type":"format-disk"})", "unknown message type"},
        {R"({"type":"run"})", "needs a text \"operation\""},
        {R"({"type":"action","line":12})", "needs a text \"line\""},
        {R"({"type":"answer","box":"1","answer":"ok"})", "needs a number \"box\""},
        {R"({"type":"answer","box":-4,"answer":"ok"})", "no such box"},
        {R"({"type":"record","on":"yes"})", "true or false"},
        {"{\"type\":\"ping\",\"x\":" + Nested(31) + "}", ""},
        {"{\"type\":\"ping\",\"x\":" + Nested(40) + "}", "nested deeper than 32"},
        {"{\"type\":\"ping\",\"x\":" + Nested(20000) + "}", "nested deeper than 32"},
        {std::string("{\"type\":\"action\",\"line\":\"set 1 \xC3\x28\"}"), "not valid UTF-8"},
        {std::string("{\"type\":\"action\",\"line\":\"set 1 \xED\xA0\x80\"}"), "not valid UTF-8"},  // a surrogate
        {std::string("{\"type\":\"action\",\"line\":\"set 1 \xC0\xAF\"}"), "not valid UTF-8"},      // overlong
        {"{\"type\":\"action\",\"line\":\"" + std::string(70000, 'a') + "\"}", "too large"},
    };
    for (const Case& c : cases) {
        web::ClientMessage m;
        const std::string error = web::ReadClientMessage(c.text, m);
        if (c.error.empty()) {
            EXPECT_EQ(error, "") << c.text.substr(0, 80);
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.text.substr(0, 80) << " -> " << error;
        }
    }
    web::ClientMessage m;
    ASSERT_EQ(web::ReadClientMessage(R"({"type":"answer","box":3,"answer":"yes"})", m), "");
    EXPECT_EQ(m.type, web::ClientMessage::Type::Answer);
    EXPECT_EQ(m.box, 3);
    EXPECT_EQ(m.answer, "yes");
}

TEST(Protocol, TextsTheUnitCannotShowAreRefused) {
    std::string ansi;
    EXPECT_TRUE(web::ToModelText("Caf\xC3\xA9 \xE2\x82\xAC", ansi));  // é and the euro sign are in the code page
    EXPECT_EQ(ansi, "Caf\xE9 \x80");
    EXPECT_FALSE(web::ToModelText("\xE6\x97\xA5", ansi)) << "a CJK character has no Windows-1252 form";
    EXPECT_FALSE(web::ToModelText("?\xF0\x9F\x98\x80", ansi)) << "an emoji has none either";
}

TEST(Protocol, AnswersByStyle) {
    struct Case {
        const char* word;
        unsigned style;
        int answer;
    };
    const std::vector<Case> cases = {
        {"ok", ui::MB_OK, ui::IDOK},           {"cancel", ui::MB_OK, 0},
        {"yes", ui::MB_OK, 0},                 {"ok", ui::MB_OKCANCEL, ui::IDOK},
        {"cancel", ui::MB_OKCANCEL, ui::IDCANCEL}, {"yes", ui::MB_YESNO | ui::MB_ICONQUESTION, ui::IDYES},
        {"no", ui::MB_YESNO, ui::IDNO},        {"cancel", ui::MB_YESNO, 0},
        {"cancel", ui::MB_YESNOCANCEL, ui::IDCANCEL}, {"maybe", ui::MB_YESNOCANCEL, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(web::AnswerOf(c.word, c.style), c.answer) << c.word << " " << c.style;
    const auto box = web::MessageBoxJson(4, "Delete?", "Cameras", ui::MB_YESNO | ui::MB_ICONQUESTION | 0x100);
    EXPECT_EQ(box["buttons"], "yesno");
    EXPECT_EQ(box["icon"], "question");
    EXPECT_EQ(box["defaultButton"], 1);
}

TEST(Protocol, UpdatesCarryOnlyWhatChangedAndLiveValuesApart) {
    ui::DialogState before;
    before.handle = 9;
    before.caption = "Storage";
    ui::ControlState edit;
    edit.id = 10;
    edit.kind = ui::ControlKind::Edit;
    edit.text = "a";
    ui::ControlState bar;
    bar.id = 11;
    bar.kind = ui::ControlKind::Progress;
    ui::ControlState lamp;
    lamp.id = 12;
    lamp.kind = ui::ControlKind::Led;
    before.controls = {edit, bar, lamp};
    std::vector<web::LiveValue> live;
    EXPECT_TRUE(web::UpdateJson(before, before, live).is_null());

    ui::DialogState now = before;
    now.controls[1].position = 40;
    now.controls[2].ticked = true;
    EXPECT_TRUE(web::UpdateJson(before, now, live).is_null()) << "only live values changed";
    ASSERT_EQ(live.size(), 2u);
    EXPECT_EQ(web::LiveJson(9, live[0]).dump(), R"({"dialog":9,"id":11,"page":false,"position":40,"type":"live"})");
    EXPECT_EQ(web::LiveJson(9, live[1])["ticked"], true);

    live.clear();
    now.controls[0].text = "Caf\xE9";
    now.controls[1].enabled = false;  // more than the position changed: an ordinary change
    now.caption = "Other";
    const auto update = web::UpdateJson(before, now, live);
    ASSERT_FALSE(update.is_null());
    EXPECT_EQ(update["caption"], "Other");
    ASSERT_EQ(update["changes"].size(), 2u);
    EXPECT_EQ(update["changes"][0].dump(), "{\"id\":10,\"text\":\"Caf\xC3\xA9\"}") << "UTF-8 on the socket";
    EXPECT_EQ(update["changes"][1]["position"], 40);
    EXPECT_EQ(update["changes"][1]["enabled"], false);
    EXPECT_FALSE(update.contains("added"));
    EXPECT_EQ(live.size(), 1u) << "the lamp";
}

TEST(HttpPolicy, CookiesOriginsAndForms) {
    EXPECT_EQ(web::CookieValue("a=1; mirelle_session=abc ; b=2", "mirelle_session"), "abc");
    EXPECT_EQ(web::CookieValue("mirelle_sessionx=1", "mirelle_session"), "");
    EXPECT_EQ(web::CookieValue("", "mirelle_session"), "");
    const std::string cookie = web::SessionCookie("ff");
    for (const char* flag : {"HttpOnly", "Secure", "SameSite=Strict", "Path=/"})
        EXPECT_NE(cookie.find(flag), std::string::npos) << flag;

    struct Case {
        const char* origin;
        const char* host;
        bool same;
    };
    const std::vector<Case> cases = {
        {"https://127.0.0.1:8443", "127.0.0.1:8443", true},  {"https://LOCALHOST:8443", "localhost:8443", true},
        {"https://recorder", "recorder:443", true},          {"http://127.0.0.1:8443", "127.0.0.1:8443", false},
        {"https://127.0.0.1:8444", "127.0.0.1:8443", false}, {"https://evil.example", "127.0.0.1:8443", false},
        {"null", "127.0.0.1:8443", false},                   {"", "127.0.0.1:8443", false},
        {"https://127.0.0.1:8443", "", false},
    };
    for (const Case& c : cases) EXPECT_EQ(web::SameOrigin(c.origin, c.host), c.same) << c.origin << " " << c.host;

    EXPECT_EQ(web::FormField("user=anna&password=a%20b%2Bc+d", "password"), "a b+c d");
    EXPECT_EQ(web::FormField("user=anna&password=", "password"), "");
    EXPECT_EQ(web::FormField("user=anna", "password"), "");
    EXPECT_EQ(web::FormField("password=%zz%4", "password"), "%zz%4");
    EXPECT_EQ(web::ContentType("app.js"), "text/javascript; charset=utf-8");
    EXPECT_EQ(web::ContentType("README"), "application/octet-stream");
}

TEST(HttpPolicy, RequestHeads) {
    web::RequestHead head;
    ASSERT_TRUE(web::ParseRequestHead(
        "GET /ws?x=1 HTTP/1.1\r\nHost: 127.0.0.1:8443\r\nUpgrade:  websocket \r\nCookie: mirelle_session=ab\r\n\r\n",
        head));
    EXPECT_EQ(head.method, "GET");
    EXPECT_EQ(head.path, "/ws");
    EXPECT_EQ(head.Header("upgrade"), "websocket");
    EXPECT_EQ(head.Header("host"), "127.0.0.1:8443");
    EXPECT_EQ(head.Header("origin"), "");
    for (const char* bad : {"GET /\r\n\r\n", "garbage\r\n\r\n", "GET / HTTP/1.1\r\nNoColon\r\n\r\n", ""}) {
        web::RequestHead h;
        EXPECT_FALSE(web::ParseRequestHead(bad, h)) << bad;
    }
}

class OperatorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        web::Operators::UseLeastCost(true);
        dir = std::filesystem::temp_directory_path() /
              ("mirelle-ops-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        file = (dir / "operators").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
    std::string file;
};

TEST_F(OperatorsTest, PasswordsAreKeptAsArgon2idHashesInAPrivateFile) {
    web::Operators ops(file);
    ASSERT_EQ(ops.Load(), "") << "a missing file is no operator";
    EXPECT_TRUE(ops.Empty());
    ASSERT_EQ(ops.SetPassword("anna", "correct horse"), "");
    ASSERT_EQ(ops.SetPassword("bob", "battery"), "");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text.find("correct horse"), std::string::npos);
    EXPECT_NE(text.find("anna:$argon2id$"), std::string::npos);

    web::Operators again(file);
    ASSERT_EQ(again.Load(), "");
    EXPECT_EQ(again.Users(), (std::vector<std::string>{"anna", "bob"}));
    struct Case {
        const char* user;
        const char* password;
        bool ok;
    };
    for (const Case& c : std::vector<Case>{{"anna", "correct horse", true},
                                           {"anna", "correct horse ", false},
                                           {"anna", "battery", false},
                                           {"bob", "battery", true},
                                           {"carl", "battery", false},
                                           {"", "", false}})
        EXPECT_EQ(again.Verify(c.user, c.password), c.ok) << c.user << "/" << c.password;
    ASSERT_EQ(again.Remove("anna"), "");
    EXPECT_NE(again.Remove("anna"), "");
    EXPECT_FALSE(again.Verify("anna", "correct horse"));
    EXPECT_NE(again.SetPassword("bad name", "x"), "");
    EXPECT_NE(again.SetPassword("carl", ""), "");
}

TEST_F(OperatorsTest, AFileOthersCanReadOrAMalformedOneIsRefused) {
    web::Operators ops(file);
    ASSERT_EQ(ops.SetPassword("anna", "pw"), "");
    ::chmod(file.c_str(), 0644);
    EXPECT_NE(web::Operators(file).Load().find("chmod 600"), std::string::npos);
    ::chmod(file.c_str(), 0600);
    {
        std::ofstream out(file, std::ios::app);
        out << "bob:plaintext\n";
    }
    EXPECT_NE(web::Operators(file).Load().find(":2:"), std::string::npos) << "the line is named";
}

TEST(Sessions, IdsAreFreshRandom256BitValues) {
    web::Sessions sessions;
    std::set<std::string> ids;
    for (int i = 0; i < 50; ++i) {
        const std::string id = sessions.Create("anna");
        EXPECT_EQ(id.size(), 64u);
        EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos);
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 50u);
    std::string ended;
    sessions.onEnded = [&](const web::Session& s) { ended = s.id; };
    const std::string id = *ids.begin();
    ASSERT_NE(sessions.Find(id), nullptr);
    EXPECT_TRUE(sessions.End(id));
    EXPECT_EQ(ended, id);
    EXPECT_EQ(sessions.Find(id), nullptr);
    EXPECT_FALSE(sessions.End(id));
}

}  // namespace
