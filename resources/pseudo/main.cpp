// mirelle-pseudo-locale OUTPUT: writes the pseudo-locale resource module
// (ResSetupUIQPS.json) made from the component's own resources: every
// string, template caption, control text and list column heading by its
// id, pseudo-localised.  The build runs it, so the module lies beside
// Mirelle.so, where the module looks for its localised resources.
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include <nlohmann/json.hpp>

#include "platform/codepage/CodePage.h"
#include "resources/PseudoLocale.h"
#include "resources/Resources.h"

namespace {

// Strings the program reads rather than shows, which a translator leaves
// alone: the prefix serial port names start with, and the file filter
// ("Files (%s)|%s||") whose pattern part is split at the bars.
const std::set<int> kLocked = {101, 1070};

// Strings that are comma-separated lists the program splits (list column
// headings): each item is translated on its own.
const std::set<int> kItemLists = {127, 1025};

std::string Pseudo(const std::string& ansi) { return cp::AnsiToUtf8(res::PseudoLocalise(ansi)); }

std::string PseudoString(int id, const std::string& ansi) {
    if (kLocked.count(id)) return cp::AnsiToUtf8(ansi);
    if (!kItemLists.count(id)) return Pseudo(ansi);
    std::string out;
    size_t pos = 0;
    for (;;) {
        const size_t comma = ansi.find(',', pos);
        out += Pseudo(ansi.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
        if (comma == std::string::npos) return out;
        out += ',';
        pos = comma + 1;
    }
}

nlohmann::json Module() {
    nlohmann::json strings = nlohmann::json::object();
    for (const auto& [id, text] : res::OwnStrings()) strings[std::to_string(id)] = PseudoString(id, text);
    nlohmann::json templates = nlohmann::json::object();
    for (const auto& [id, t] : res::OwnTemplates()) {
        nlohmann::json entry = nlohmann::json::object();
        if (!t.caption.empty()) entry["caption"] = Pseudo(t.caption);
        nlohmann::json controls = nlohmann::json::object(), columns = nlohmann::json::object();
        for (const auto& c : t.controls) {
            // Captions only: the text of an edit or a time field is its
            // first value, which the program reads back.
            const bool caption = c.kind == ui::ControlKind::Static || c.kind == ui::ControlKind::Button ||
                                 c.kind == ui::ControlKind::Check || c.kind == ui::ControlKind::Radio ||
                                 c.kind == ui::ControlKind::Group;
            if (caption && !c.text.empty()) controls[std::to_string(c.id)] = Pseudo(c.text);
            if (!c.columns.empty()) {
                nlohmann::json heads = nlohmann::json::array();
                for (const auto& h : c.columns) heads.push_back(Pseudo(h));
                columns[std::to_string(c.id)] = heads;
            }
        }
        if (!controls.empty()) entry["controls"] = controls;
        if (!columns.empty()) entry["columns"] = columns;
        if (!entry.empty()) templates[std::to_string(id)] = entry;
    }
    return {{"language", res::kPseudoLanguage}, {"strings", strings}, {"templates", templates}};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mirelle-pseudo-locale OUTPUT\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::string text = Module().dump(1) + "\n";
    // Written whole to a temporary file first, so that a build stopped half
    // way never leaves a cut-off module behind.
    const std::string tmp = out + ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        f << text;
        if (!f) {
            std::fprintf(stderr, "mirelle-pseudo-locale: cannot write %s\n", tmp.c_str());
            return 1;
        }
    }
    if (std::rename(tmp.c_str(), out.c_str()) != 0) {
        std::fprintf(stderr, "mirelle-pseudo-locale: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
