#include "foundation/FileDlg.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "foundation/HostStrings.h"
#include "util/Util.h"
#include "interfaces/HostInterfaces.h"
#include "platform/com/ClassTable.h"
#include "platform/ui/MessageBox.h"
#include "resources/CameraIds.h"
#include "resources/Resources.h"

namespace mirelle {

namespace {
std::function<int(char, int)>& FloppyCheck() {
    static std::function<int(char, int)> check;
    return check;
}
}  // namespace

CFileDlg::CFileDlg(bool open, const std::string& defaultExtension, const std::string& fileName, unsigned flags,
                   const std::string& filter, ui::Window* owner)
    : ui::Dialog(res::cam::kDlgFileOpen, owner),
      m_open(open),
      m_defaultExtension(defaultExtension),
      m_fileName(fileName),
      m_flags(flags),
      m_filter(filter) {}

bool CFileDlg::OnInitDialog() {
    SetItemText(res::cam::kFilePath, m_fileName);
    return true;
}

void CFileDlg::OnOK() {
    std::string path = GetItemText(res::cam::kFilePath);
    // A pattern is no file: the dialog stays open as a real one would.
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return;
    if ((m_flags & OFN_FILEMUSTEXIST) && !std::filesystem::is_regular_file(path)) return;
    m_path = path;
    EndDialog(1);
}

namespace {

std::string LastChars(const std::string& s, size_t n) { return s.size() > n ? s.substr(s.size() - n) : s; }

std::string ChooseWithHostBrowser(bool open, const std::string& pattern) {
    const auto& iid = host::IHostFileBrowser::IID_;
    auto browser = com::CreateRunningObject<host::IHostFileBrowser>(host::CLSID_HostFileBrowser, "HostFileBrowser");
    com::Bstr ext = HostString(LastChars(pattern, 4));
    com::Bstr name = HostString(pattern);
    com::ThrowIfFailed(browser->SetFileDefaults(open ? 1 : 0, 0, ext.get(), name.get()), iid);
    com::ThrowIfFailed(browser->SetFileMustExist(open ? 1 : 0), iid);
    com::BSTR path = nullptr;
    const com::HRESULT hr = browser->BrowseForFile(open ? 1 : 0, 0, 1, &path);
    const std::string chosen = TakeHostString(path);
    com::ThrowIfFailed(hr, iid);
    return hr == com::S_OK ? chosen : std::string{};
}

}  // namespace

std::string ChooseFile(ui::Window* owner, bool localDialog, bool open, const std::string& pattern,
                       unsigned extraFlags) {
    std::string path;
    if (localDialog) {
        const std::string tail = LastChars(pattern, 4);
        std::string filter = res::LoadString(1070);
        // The filter text holds two %s: both get the extension.
        for (int k = 0; k < 2; ++k)
            if (size_t at = filter.find("%s"); at != std::string::npos) filter.replace(at, 2, tail);
        const unsigned flags = OFN_HIDEREADONLY | (open ? 0u : OFN_OVERWRITEPROMPT) | extraFlags;
        CFileDlg dlg(open, res::LoadString(1071), pattern, flags, filter, owner);
        if (dlg.DoModal() == 1) path = dlg.GetPathName();
    } else {
        path = ChooseWithHostBrowser(open, pattern);
    }
    if (path.size() >= 2 && CheckFloppyDisk(path[0], 0) < 1) {
        WWMessageBox(owner, res::FormatString(1033, path.substr(0, 2)), "", ui::MB_OK | ui::MB_ICONINFORMATION);
        return {};
    }
    return path;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::stringstream content;
    content << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return content.str();
}

int CheckFloppyDisk(char drive, int flags) {
    if (FloppyCheck()) return FloppyCheck()(drive, flags);
    (void)drive;
    (void)flags;
    return 1;
}

void SetFloppyDiskCheck(std::function<int(char, int)> check) { FloppyCheck() = std::move(check); }

}  // namespace mirelle
