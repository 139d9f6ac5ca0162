// The tools' command lines, parsed one way: --help and --version are answered
// on standard output with exit code 0; anything else wrong gives the parser's
// words and a pointer to --help for the tool to print with its own exit code.
#pragma once
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

namespace apps {

struct ParseOutcome {
    std::optional<int> exitNow;  // --help or --version was answered: exit with this
    std::string error;           // the command line is wrong (empty: it is fine)
};

inline ParseOutcome ParseCommandLine(CLI::App& app, int argc, char** argv) {
    ParseOutcome out;
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        out.exitNow = app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        out.exitNow = app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        out.exitNow = app.exit(e);
    } catch (const CLI::ParseError& e) {
        out.error = std::string(e.what()) + "\nRun with --help for more information.";
    }
    return out;
}

}  // namespace apps
