#include "apps/run/Describe.h"

#include "apps/run/Operations.h"
#include "platform/codepage/CodePage.h"
#include "platform/ui/Dialog.h"

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

// Describes each dialog run modally, then cancels it.
class DescribeDriver : public ui::Driver {
public:
    void RunModal(ui::Dialog& d) override {
        text += "dialog " + std::to_string(d.TemplateId()) + " " + Quoted(d.Caption()) + "\n" + Controls(d);
        if (ui::PropertySheet* sheet = d.EmbeddedSheet()) {
            int first = sheet->ActiveIndex();
            for (int i = 0; i < sheet->PageCount(); ++i) {
                if (!sheet->SetActivePage(i)) continue;
                ui::PropertyPage* page = sheet->ActivePage();
                text += "page " + Quoted(page->Title()) + " " + std::to_string(page->TemplateId()) + "\n" +
                        Controls(*page);
            }
            if (first >= 0) sheet->SetActivePage(first);
        }
        if (!d.IsEnded()) d.EndDialog(2);
    }
    std::string text;
};

}  // namespace

std::string DescribeOperation(const std::string& name, host::SimulatedUnit& unit, mirelle::ISetupUI& setupUI) {
    DescribeDriver driver;
    ui::SetDriver(&driver);
    try {
        RunOperation(name, unit, setupUI);
    } catch (...) {
        ui::SetDriver(nullptr);
        throw;
    }
    ui::SetDriver(nullptr);
    return driver.text.empty() ? "(no dialog)\n" : driver.text;
}

}  // namespace apps
