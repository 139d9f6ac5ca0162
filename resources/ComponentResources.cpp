// Strings, dialog templates and registration scripts of the component surface:
// the frame dialog, the record mode and printer interface dialogs.
#include "platform/ui/TemplateBuilders.h"
#include "resources/Ids.h"
#include "resources/Resources.h"

namespace res {

namespace {
const StringEntry kStrings[] = {
    {122, "Please select at least one option."},
    {1000, "Notify when %d%% full"},
    {1020, "Quellan Camera Setup"},
    {1021, "Quellan Display Setup"},
    {1022, "Quellan Record Mode Setup"},
    {1042, "Quellan Text Stream Setup"},
    {1052, "Quellan Audio Setup"},
    {1072, "Quellan IP Source Setup"},
    {1079, "Close"},
    {kStrNotAvailable, "%s is not available in this version of the setup."},
};

// Registration script of one class of the module: its ProgIDs (versioned and
// version-independent) and its CLSID key with the in-process server, threading
// model and type library.  NAME is the class name, CLSID the token that the
// registrar replaces by the class identifier.
std::string ClassScript(const std::string& name, const std::string& clsidToken) {
    std::string script = R"(HKCR
{
    Mirelle.NAME.1 = s 'NAME Class'
    {
        CLSID = s '%CLSID%'
    }
    Mirelle.NAME = s 'NAME Class'
    {
        CLSID = s '%CLSID%'
        CurVer = s 'Mirelle.NAME.1'
    }
    NoRemove CLSID
    {
        ForceRemove %CLSID% = s 'NAME Class'
        {
            ProgID = s 'Mirelle.NAME.1'
            VersionIndependentProgID = s 'Mirelle.NAME'
            ForceRemove 'Programmable'
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Both'
            }
            'TypeLib' = s '%LIBID%'
        }
    }
}
)";
    auto replaceAll = [&](const std::string& from, const std::string& to) {
        for (auto pos = script.find(from); pos != std::string::npos; pos = script.find(from, pos + to.size()))
            script.replace(pos, from.size(), to);
    };
    replaceAll("NAME", name);
    replaceAll("%CLSID%", "%" + clsidToken + "%");
    return script;
}
}  // namespace

std::span<const StringEntry> ComponentStrings() { return kStrings; }

std::string RegistryScript(int id) {
    switch (id) {
        case 103: return ClassScript("SetupUI", "CLSID_SetupUI");
        case 104: return ClassScript("StorageUISupportCallbackImp", "CLSID_StorageUISupportCallbackImp");
        default: return {};
    }
}

void AddComponentTemplates(std::map<int, ui::DialogTemplate>& out) {
    using namespace ui::tpl;
    // Frame of the property-sheet setups; the sheet is placed at run time.
    out[147] = Dlg(147, "", 300, 200,
                   {Panel(1088, 8, 4, 280, 160), Static(1089, "Static Title", 8, 4, 200),
                    Button(2, "Cancel", 180, 176), Button(1, "OK", 120, 176), Button(4, "Help", 240, 176),
                    Keyboard(1002, "ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./:=?_0123456789")});
    out[150] = Dlg(150, "Record Mode", 220, 130,
                   {Panel(1017, 6, 6, 208, 92), Static(1077, "Record Mode", 14, 12, 100),
                    Radio(1014, "Linear", 20, 28, 1, 60), Radio(1019, "Circular", 20, 76, 1, 60),
                    Slider(1016, 30, 44, 170, 0, 10), Static(1018, "", 30, 62, 170),
                    Button(1, "OK", 48, 106), Button(2, "Cancel", 104, 106), Button(4, "Help", 160, 106),
                    Keyboard(1084, "ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./:=?_0123456789$~")});
    out[238] = Dlg(238, "Printer Interface Options", 230, 110,
                   {Panel(1060, 6, 6, 218, 70), Static(218, "Setup Harwen Video printer interface options", 14, 12, 200),
                    Check(320, "Show customer entries", 24, 32, 150), Check(321, "Show journal entries", 24, 50, 150),
                    DefaultButton(Button(227, "OK", 58, 86)), Button(225, "Cancel", 114, 86), Button(15, "Help", 170, 86),
                    Keyboard(1002, "ABCDEFGHIJKLMNOPQRSTUVWXYZ +-./:=?_0123456789$~")});
    // Shown by operations whose setup this build does not contain.
    out[kDlgNotAvailable] = Dlg(kDlgNotAvailable, "Quellan Setup", 220, 70,
                                {Static(kIdcNotAvailableText, "", 10, 12, 200, 24), Button(2, "Close", 85, 46)});
}

}  // namespace res
