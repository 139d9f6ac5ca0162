// mirelle-inspect COMMAND FILE: shows how the component reads a text.
//   xml-nodes FILE   the node sequence of the XML reader, one node a line
#include <fstream>
#include <iostream>
#include <sstream>

#include "apps/inspect/Commands.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: mirelle-inspect COMMAND FILE\ncommands:";
        for (auto& c : apps::InspectCommands()) std::cerr << " " << c.name;
        std::cerr << "\n";
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::cerr << "mirelle-inspect: cannot open " << argv[2] << "\n";
        return 2;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    for (auto& c : apps::InspectCommands())
        if (c.name == argv[1]) {
            std::cout << c.run(ss.str());
            return 0;
        }
    std::cerr << "mirelle-inspect: unknown command " << argv[1] << "\n";
    return 2;
}
