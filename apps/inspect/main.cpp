// mirelle-inspect COMMAND FILE: shows how the component reads a text.
// Exit codes: 0 done, 2 bad command line or unreadable file.
#include <fstream>
#include <iostream>
#include <sstream>

#include "apps/CommandLine.h"
#include "apps/inspect/Commands.h"

int main(int argc, char** argv) {
    CLI::App app{"Shows how the component reads a text: mirelle-inspect COMMAND FILE.", "mirelle-inspect"};
    app.set_version_flag("--version", "mirelle-inspect " MIRELLE_VERSION);
    app.require_subcommand(1);
    std::string path;
    for (auto& c : apps::InspectCommands()) {
        CLI::App* sub = app.add_subcommand(c.name, c.summary);
        sub->add_option("FILE", path, "the text to read")->required()->type_name("FILE");
    }
    const auto parsed = apps::ParseCommandLine(app, argc, argv);
    if (parsed.exitNow) return *parsed.exitNow;
    if (!parsed.error.empty()) {
        std::cerr << "mirelle-inspect: " << parsed.error << "\n";
        return 2;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "mirelle-inspect: cannot open " << path << "\n";
        return 2;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    for (auto& c : apps::InspectCommands())
        if (app.got_subcommand(c.name)) std::cout << c.run(ss.str());
    return 0;
}
