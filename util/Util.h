// The product utility library: registry helpers, the data classes shared with
// the host by address, date formatting, list parsing and message boxes.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace ui {
class Dialog;
class Window;
}  // namespace ui

constexpr const char* kProductKey = "SOFTWARE\\Marvessa-KDM\\Quellan";
constexpr const char* kControlsKey = "SOFTWARE\\Marvessa-KDM\\KdmObjects\\WWControls";
constexpr const char* kInternationalKey = "Control Panel\\International";

class CWWRegistry {
public:
    // Three-letter system language ("ENG", "DEU", ...): the REG_SZ value
    // "SystemLanguage" under HKLM\SOFTWARE\Marvessa-KDM\Quellan, "ENG" when unset.
    static std::string GetSystemLanguage();
    // File name of the localised module of a base name: base + language + ".json".
    static std::string GetLocalResDLLName(const std::string& baseName);
    // 1 when the custom control look is in force: REG_DWORD "WWMode" under the
    // WWControls key non-zero; 0 otherwise.
    static int GetControlsWWMode();
    // The Alarms and Receipt Definitions pages' style flag: 0 when the
    // REG_DWORD "WindowsStyle" under the WWControls key exists and is non-zero.
    static int GetWindowsStyleFlag();
};

// The folders a localised resource module is looked for in before the
// module's own folder: those listed in MIRELLE_RESOURCE_PATH (separated by
// ':'), then the current folder.
std::vector<std::string> LocalResourceFolders();

// Record mode of the unit.
class CRecordInfo {
public:
    void CopyFrom(const CRecordInfo& other) { *this = other; }
    int m_nFillThreshold = 90;  // percent full at which the operator is notified
    int m_bCircular = 0;        // 1 = circular recording, 0 = linear
};

class CDateTime {
public:
    explicit CDateTime(std::time_t t) : m_time(t) {}
    // Local time, 24-hour clock: "YYYY-MM-DD HH:MM:SS".
    std::string FormatLocal24HourDateTime() const;

private:
    std::time_t m_time;
};

class CWWUtility {
public:
    // Reads the next number of a comma-separated text starting at pos and
    // moves pos past the following comma (to the end when there is none).
    // A field without a leading number gives 0.  Answers false at the end.
    static bool First_stol(const std::string& text, size_t& pos, long& value);
};

// Message boxes of the product (through the dialog model's service).
int WWMessageBox(ui::Window* owner, const std::string& text, const std::string& caption, unsigned style);
int WWAfxMessageBox(int stringId, unsigned style);
// Where WWAfxMessageBox finds its texts: the module that uses the library
// sets its own string table when it starts and clears it when it stops.
using StringSource = std::string (*)(int stringId);
void SetStringSource(StringSource source);

// On-screen keyboard preparation of a dialog opened with the keyboard flag:
// switch on the keyboard control, put the local currency symbol in place of
// every "~" of its key set ("$" itself becomes ""), and centre on the parent.
void PrepareOnScreenKeyboard(ui::Dialog& dialog, int keyboardControlId);
std::string LocalCurrencyForKeyboard();
