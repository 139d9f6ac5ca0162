// Headless stand-ins of the utility library's file dialog and floppy check.
//
// CFileDlg shows the file-open dialog kDlgFileOpen: a "File name:" field
// (control kFilePath) with OK and Cancel.  The operator, a script
// ("set 9302 /path/to/file.xml" then "click 1") or a test types the path and
// confirms; OK gives that path.  The default file name and extension, the
// flags and the filter are kept as given so callers can be checked.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "platform/ui/Dialog.h"

namespace mirelle {

constexpr unsigned OFN_HIDEREADONLY = 0x00000004;
constexpr unsigned OFN_FILEMUSTEXIST = 0x00001000;

class CFileDlg : public ui::Dialog {
public:
    CFileDlg(bool open, const std::string& defaultExtension, const std::string& fileName, unsigned flags,
             const std::string& filter, ui::Window* owner);

    std::string GetPathName() const { return m_path; }
    bool IsOpen() const { return m_open; }
    const std::string& DefaultExtension() const { return m_defaultExtension; }
    const std::string& FileName() const { return m_fileName; }
    unsigned Flags() const { return m_flags; }
    const std::string& Filter() const { return m_filter; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    bool m_open;
    std::string m_defaultExtension;
    std::string m_fileName;
    unsigned m_flags;
    std::string m_filter;
    std::string m_path;
};

constexpr unsigned OFN_OVERWRITEPROMPT = 0x00000002;

// Lets the operator choose a file starting from pattern (a default name such
// as "TextCriteria.tec" or "*.*"; its last four characters are the extension).
// With localDialog the file dialog above is used, with the default extension
// string 1071 and the filter string 1070; otherwise the host's file browser.
// A chosen path whose drive cannot be used is refused with string 1033.
// Answers the path, or empty when nothing was chosen.  Raises ComError when
// the host's browser cannot be had or fails.
std::string ChooseFile(ui::Window* owner, bool localDialog, bool open, const std::string& pattern,
                       unsigned extraFlags = 0);

// The whole content of a file, or nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Whether the medium of a drive can be used: 1 yes, below 1 no.  The
// simulated unit's paths have no removable drives, so every drive answers 1;
// tests replace the answer to see a volume that cannot be used.
int CheckFloppyDisk(char drive, int flags);
void SetFloppyDiskCheck(std::function<int(char, int)> check);  // null restores the default

}  // namespace mirelle
