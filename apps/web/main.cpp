// mirelle-web --unit FILE [--bind ADDR] [--port N] [--cert FILE --key FILE] [--module FILE] [options]
// mirelle-web passwd USER | users | remove USER   (the console's operators)
// mirelle-web audit [--since TIME]                 (the audit trail)
//
// The browser console of the setups on a simulated unit: serves the page,
// the login and the console's socket over HTTPS on one port (by default
// 127.0.0.1:8443 only).  With no certificate given it makes a self-signed
// one at first start and keeps it in the state folder; its fingerprint is
// printed at every start.  It will not start without an operator.
//
// Exit codes: 0 done, 2 bad command line, no operator or a file it cannot
// use, 3 cannot listen.
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include <QCoreApplication>

#include "apps/CommandLine.h"
#include "apps/run/Operations.h"
#include "apps/web/UnitHost.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/ClassTable.h"
#include "web/Certificate.h"
#include "web/Console.h"
#include "web/Operators.h"
#include "web/Server.h"
#include "web/Sessions.h"
#include "web/security/AuditLog.h"

namespace {

constexpr int kDone = 0, kBad = 2, kCannotListen = 3;

int Fail(int code, const std::string& why) {
    std::cerr << "mirelle-web: " << why << "\n";
    return code;
}

// The machine's state folder for the console: root's under /var/lib, a
// user's under XDG_STATE_HOME (or ~/.local/state).
std::string DefaultStateDir() {
    if (::geteuid() == 0) return "/var/lib/mirelle";
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg) return std::string(xdg) + "/mirelle";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/state/mirelle";
}

std::string ReadPassword(const char* prompt) {
    std::string line;
    const bool terminal = ::isatty(STDIN_FILENO);
    termios old{};
    if (terminal) {
        std::cerr << prompt << std::flush;
        ::tcgetattr(STDIN_FILENO, &old);
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::getline(std::cin, line);
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &old);
        std::cerr << "\n";
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// passwd USER | users | remove USER
int OperatorCommand(const std::string& command, const std::vector<std::string>& args, const std::string& file) {
    web::Operators operators(file);
    if (std::string e = operators.Load(); !e.empty()) return Fail(kBad, e);
    if (command == "users") {
        if (!args.empty()) return Fail(kBad, "usage: mirelle-web users");
        for (const auto& user : operators.Users()) std::cout << user << "\n";
        return kDone;
    }
    if (args.size() != 1) return Fail(kBad, "usage: mirelle-web " + command + " USER");
    const std::string& user = args[0];
    if (command == "remove") {
        if (std::string e = operators.Remove(user); !e.empty()) return Fail(kBad, e);
        std::cout << "removed " << user << "\n";
        return kDone;
    }
    if (!web::Operators::ValidUserName(user)) return Fail(kBad, "user names are 1 to 32 letters, digits, '.', '_' or '-'");
    const std::string password = ReadPassword("Password: ");
    if (::isatty(STDIN_FILENO) && ReadPassword("Again: ") != password) return Fail(kBad, "the passwords differ");
    std::filesystem::create_directories(std::filesystem::path(file).parent_path().empty()
                                            ? std::filesystem::path(".")
                                            : std::filesystem::path(file).parent_path());
    if (std::string e = operators.SetPassword(user, password); !e.empty()) return Fail(kBad, e);
    std::cout << "password set for " << user << " in " << file << "\n";
    return kDone;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"The browser console of the setups on a simulated unit (HTTPS, one port).", "mirelle-web"};
    app.set_version_flag("--version", "mirelle-web " MIRELLE_VERSION);
    app.footer(
        "Commands: mirelle-web passwd USER (the password from standard input, asked twice at a terminal), "
        "mirelle-web users, mirelle-web remove USER, mirelle-web audit [--since TIME].\nExit codes: 0 done, 2 bad command line, no operator or a "
        "file it cannot use, 3 cannot listen.");
    std::string unitPath, modulePath, bind = "127.0.0.1", certFile, keyFile, stateDir = DefaultStateDir(),
                                      operatorsFile, pageDir;
    int port = 8443, grace = 30, idleMinutes = 15, lifetimeHours = 12, perAddress = 16;
    std::string auditFile = web::security::DefaultAuditPath([](const char* n) { return std::getenv(n); }), since;
    bool audio = false;
    std::vector<std::string> command;
    app.add_option("--unit", unitPath, "the unit file (made from the bundled one when missing)")->type_name("FILE");
    app.add_option("--bind", bind, "the address to listen on (127.0.0.1)")->type_name("ADDR");
    app.add_option("--port", port, "the HTTPS port (8443)")->check(CLI::Range(0, 65535));
    app.add_option("--cert", certFile, "the certificate (PEM); made and kept in the state folder when not given")
        ->type_name("FILE");
    app.add_option("--key", keyFile, "the certificate's private key (PEM)")->type_name("FILE");
    app.add_option("--module", modulePath, "a module file to serve SetupUI in place of the registered one")
        ->type_name("FILE");
    app.add_option("--state-dir", stateDir, "where the console keeps its certificate and operators (" + stateDir + ")")
        ->type_name("DIR");
    app.add_option("--operators", operatorsFile, "the operators file (STATE-DIR/operators)")->type_name("FILE");
    app.add_option("--grace", grace, "seconds a dropped operator's setup waits for them (30)")
        ->check(CLI::Range(0, 3600));
    app.add_option("--page-dir", pageDir, "serve the page's files from this folder instead of the built-in ones")
        ->type_name("DIR");
    app.add_flag("--audio-input", audio, "the unit's audio thread feeds the level meter while a setup runs");
    app.add_option("--idle-timeout", idleMinutes, "minutes a session lasts without use (15)")->check(CLI::Range(1, 24 * 60));
    app.add_option("--session-lifetime", lifetimeHours, "hours a session lasts after its login (12)")
        ->check(CLI::Range(1, 24 * 7));
    app.add_option("--max-connections-per-address", perAddress, "open connections one client address may hold (16)")
        ->check(CLI::Range(1, 10000));
    app.add_option("--audit-log", auditFile, "the audit trail (" + auditFile + ")")->type_name("FILE");
    app.add_option("--since", since, "with audit: only the lines from TIME on (ISO-8601, UTC unless it names a zone)")
        ->type_name("TIME");
    app.add_option("command", command, "passwd USER | users | remove USER | audit");
    const auto parsed = apps::ParseCommandLine(app, argc, argv);
    if (parsed.exitNow) return *parsed.exitNow;
    if (!parsed.error.empty()) return Fail(kBad, parsed.error);
    if (operatorsFile.empty()) operatorsFile = (std::filesystem::path(stateDir) / "operators").string();

    if (!command.empty() && command[0] == "audit") {
        if (command.size() != 1) return Fail(kBad, "usage: mirelle-web audit [--since TIME]");
        return web::security::RunAuditCommand(since.empty() ? std::vector<std::string>{}
                                                            : std::vector<std::string>{"--since", since},
                                              auditFile, std::cout, std::cerr);
    }
    if (!command.empty()) {
        const std::string verb = command[0];
        if (verb != "passwd" && verb != "users" && verb != "remove")
            return Fail(kBad, "unknown command " + verb + " (passwd USER, users, remove USER, audit)");
        return OperatorCommand(verb, {command.begin() + 1, command.end()}, operatorsFile);
    }

    if (unitPath.empty()) return Fail(kBad, "--unit FILE is needed\nRun with --help for more information.");
    web::Operators operators(operatorsFile);
    if (std::string e = operators.Load(); !e.empty()) return Fail(kBad, e);
    if (operators.Empty())
        return Fail(kBad, "no operator is defined in " + operatorsFile +
                              "; add one first with: mirelle-web passwd USER" +
                              (operatorsFile == (std::filesystem::path(stateDir) / "operators").string()
                                   ? std::string()
                                   : " --operators " + operatorsFile));
    if (certFile.empty() != keyFile.empty()) return Fail(kBad, "--cert and --key go together");
    if (certFile.empty()) {
        web::CertificateFiles files;
        if (std::string e = web::EnsureSelfSigned(stateDir, files); !e.empty()) return Fail(kBad, e);
        certFile = files.cert;
        keyFile = files.key;
    }
    const std::string fingerprint = web::Fingerprint(certFile);
    if (fingerprint.empty()) return Fail(kBad, certFile + ": no PEM certificate in it");

    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::exists(unitPath, ec)) {
        fs::copy_file(webapp::BundledUnit(), unitPath, ec);
        if (ec) return Fail(kBad, "cannot make " + unitPath + " from the bundled unit: " + ec.message());
    }
    if (!modulePath.empty())
        if (com::HRESULT hr = apps::UseSetupUIModule(modulePath); com::FAILED(hr))
            return Fail(kBad, "cannot load the module " + modulePath + ": " + com::CoLastLoadError());

    QCoreApplication qapp(argc, argv);
    QCoreApplication::setApplicationName("Mirelle");
    webapp::UnitHost host(unitPath, webapp::BundledUnit());
    host.audioInput = audio;
    web::Console console(host);
    console.graceMs = grace * 1000;
    host.Serve(console);
    web::Sessions sessions;
    sessions.timeouts.idle = std::chrono::minutes(idleMinutes);
    sessions.timeouts.absolute = std::chrono::hours(lifetimeHours);
    sessions.onEnded = [&console](const web::Session& s) { console.SessionEnded(s.id); };
    web::ServerOptions options;
    options.address = QHostAddress(QString::fromStdString(bind));
    if (options.address.isNull()) return Fail(kBad, "--bind: not an address: " + bind);
    options.port = static_cast<quint16>(port);
    options.certFile = certFile;
    options.keyFile = keyFile;
    options.pageDir = pageDir;
    options.guard.connectionsPerAddress = perAddress;
    options.guard.auditPath = auditFile;
    web::Server server(options, operators, sessions, console);
    if (std::string e = server.Start(); !e.empty()) return Fail(kCannotListen, e);
    const std::string shown = options.address.protocol() == QAbstractSocket::IPv6Protocol ? "[" + bind + "]" : bind;
    std::cout << "mirelle-web: https://" << shown << ":" << server.Port() << "/ on " << unitPath << "\n"
              << "mirelle-web: certificate " << certFile << "\n"
              << "mirelle-web: certificate SHA-256 fingerprint " << fingerprint << "\n"
              << "mirelle-web: audit trail " << auditFile << std::endl;
    return qapp.exec();
}
