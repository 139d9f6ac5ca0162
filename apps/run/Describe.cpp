#include "apps/run/Describe.h"

#include <deque>
#include <map>
#include <set>
#include <vector>

#include "apps/run/Operations.h"
#include "platform/codepage/CodePage.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"

namespace apps {

namespace {

std::string Quoted(const std::string& ansi) { return host::Quote(cp::AnsiToUtf8(ansi)); }

std::string ControlLine(const ui::Control& c) {
    std::string line = "  " + std::to_string(c.id) + " " + ui::KindName(c.kind) + " " + Quoted(c.text);
    if (!c.enabled) line += " disabled";
    if (!c.visible) line += " hidden";
    if (c.readOnly) line += " read-only";
    if ((c.kind == ui::ControlKind::Check || c.kind == ui::ControlKind::Radio) && c.ticked) line += " ticked";
    if (c.kind == ui::ControlKind::Slider || c.kind == ui::ControlKind::Progress)
        line += " pos " + std::to_string(c.pos) + " (range " + std::to_string(c.rangeMin) + "-" +
                std::to_string(c.rangeMax) + ")";
    if (c.kind == ui::ControlKind::List || c.kind == ui::ControlKind::ReportList || c.kind == ui::ControlKind::Combo) {
        line += " items " + std::to_string(c.ItemCount());
        if (c.selection >= 0) line += " selected " + std::to_string(c.selection);
    }
    return line + "\n";
}

std::string Controls(ui::Dialog& d) {
    std::string out;
    for (int id : d.ControlIds()) out += ControlLine(d.Item(id));
    return out;
}

// One button press on the way to a nested dialog: in the dialog of that
// template, on that page (-1: the dialog itself), click that button.
struct Step {
    int dialog = 0;
    int page = -1;
    int button = 0;
    bool selectFirst = false;  // the button waits for a row: select one first
};
using Path = std::vector<Step>;

// Nested dialogs are found by pressing buttons, this many levels deep (the
// deepest setup window, the exception builder, is the fourth).
constexpr std::size_t kMaxDepth = 4;

bool Pressable(const ui::Control& c) {
    return c.kind == ui::ControlKind::Button && c.visible && c.id != ui::IDOK && c.id != ui::IDCANCEL &&
           cp::AnsiToUtf8(c.text) != "Help";
}

bool IsList(const ui::Control& c) {
    return c.kind == ui::ControlKind::List || c.kind == ui::ControlKind::ReportList;
}

// Selects the first row of each list of window w that has rows and none
// selected, as an operator does before Edit or Delete.
void SelectFirstRows(ui::Dialog& d, ui::Dialog& w) {
    for (int id : w.ControlIds()) {
        const ui::Control& c = w.Item(id);
        if (!IsList(c) || !c.enabled || c.ItemCount() == 0 || c.selection >= 0) continue;
        ui::Action select;
        select.kind = ui::Action::Kind::Select;
        select.id = id;
        select.n = 0;
        ui::ApplyAction(d, select);
    }
}

// What the runs of one operation have found so far.
struct Findings {
    std::string text;
    std::set<int> described;  // template ids
    std::deque<Path> pending;  // buttons still to press
    // For the "from" lines: page titles by (dialog, page index) and button
    // captions by (dialog, control id).
    std::map<std::pair<int, int>, std::string> titles, captions;
};

// Describes each dialog run modally the first time it shows, follows the
// path given (one button press per dialog on the way down), then cancels.
class DescribeDriver : public ui::Driver {
public:
    DescribeDriver(Findings& found, Path path) : m_found(found), m_path(std::move(path)) {}

    void RunModal(ui::Dialog& d) override {
        const std::size_t depth = m_depth++;
        struct Leave {
            std::size_t& depth;
            ~Leave() { --depth; }
        } leave{m_depth};
        const bool onPath = depth == m_followed;
        if (m_found.described.insert(d.TemplateId()).second) Describe(d, depth, onPath);
        if (onPath && depth < m_path.size() && m_path[depth].dialog == d.TemplateId()) {
            const Step& step = m_path[depth];
            ++m_followed;
            try {
                ui::PropertySheet* sheet = d.EmbeddedSheet();
                if (step.page < 0 || (sheet && sheet->SetActivePage(step.page))) {
                    if (step.selectFirst) SelectFirstRows(d, step.page < 0 ? d : *sheet->ActivePage());
                    ui::Action click;
                    click.kind = ui::Action::Kind::Click;
                    click.id = step.button;
                    ui::ApplyAction(d, click);
                }
            } catch (const std::exception&) {
                // The button would not take the click here: nothing opens.
            }
        }
        if (!d.IsEnded()) d.EndDialog(ui::IDCANCEL);
    }

private:
    void Describe(ui::Dialog& d, std::size_t depth, bool onPath) {
        std::string& text = m_found.text;
        text += "dialog " + std::to_string(d.TemplateId()) + " " + Quoted(d.Caption()) + "\n";
        if (depth > 0 && onPath && depth <= m_path.size()) text += From(m_path[depth - 1]);
        text += Controls(d);
        Offer(d, depth, -1, d);
        if (ui::PropertySheet* sheet = d.EmbeddedSheet()) {
            int first = sheet->ActiveIndex();
            for (int i = 0; i < sheet->PageCount(); ++i) {
                if (!sheet->SetActivePage(i)) continue;
                ui::PropertyPage* page = sheet->ActivePage();
                text += "page " + Quoted(page->Title()) + " " + std::to_string(page->TemplateId()) + "\n" +
                        Controls(*page);
                m_found.titles[{d.TemplateId(), i}] = page->Title();
                Offer(d, depth, i, *page);
            }
            if (first >= 0) sheet->SetActivePage(first);
        }
    }

    // Queues a run for each button of window w (the dialog or one page).
    void Offer(ui::Dialog& d, std::size_t depth, int page, ui::Dialog& w) {
        if (depth + 1 >= kMaxDepth || depth != m_followed) return;
        for (int id : w.ControlIds()) {
            const ui::Control& c = w.Item(id);
            if (!Pressable(c)) continue;
            Path next(m_path.begin(), m_path.begin() + static_cast<std::ptrdiff_t>(depth));
            next.push_back({d.TemplateId(), page, id, !c.enabled});
            m_found.captions[{d.TemplateId(), id}] = c.text;
            m_found.pending.push_back(std::move(next));
        }
    }

    // The line under a nested dialog's heading: where it was opened from.
    std::string From(const Step& s) const {
        std::string line = "from dialog " + std::to_string(s.dialog);
        if (auto t = m_found.titles.find({s.dialog, s.page}); t != m_found.titles.end()) line += " page " + Quoted(t->second);
        line += " click " + std::to_string(s.button);
        if (auto c = m_found.captions.find({s.dialog, s.button}); c != m_found.captions.end()) line += " " + Quoted(c->second);
        return line + "\n";
    }

    Findings& m_found;
    Path m_path;
    std::size_t m_depth = 0, m_followed = 0;
};

// Runs the operation once on a copy of the unit with the driver in place.
void RunOnCopy(const std::string& name, const host::SimulatedUnit& unit, mirelle::ISetupUI& setupUI,
               DescribeDriver& driver) {
    host::SimulatedUnit copy(unit.Data());
    ui::SetDriver(&driver);
    try {
        RunOperation(name, copy, setupUI);
    } catch (...) {
        ui::SetDriver(nullptr);
        throw;
    }
    ui::SetDriver(nullptr);
}

}  // namespace

std::string DescribeOperation(const std::string& name, host::SimulatedUnit& unit, mirelle::ISetupUI& setupUI) {
    Findings found;
    {
        DescribeDriver first(found, {});
        RunOnCopy(name, unit, setupUI, first);
    }
    // Each button found is pressed in a run of its own (from the unit as it
    // was), so what one button changes never shows in another's dialogs.
    while (!found.pending.empty()) {
        Path path = std::move(found.pending.front());
        found.pending.pop_front();
        DescribeDriver driver(found, std::move(path));
        RunOnCopy(name, unit, setupUI, driver);
    }
    return found.text.empty() ? "(no dialog)\n" : found.text;
}

}  // namespace apps
