#include "cameras/FileDlg.h"

#include <cctype>
#include <filesystem>

#include "resources/CameraIds.h"
#include "resources/Resources.h"

namespace cameras {

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

int CheckFloppyDisk(char drive, int flags) {
    if (FloppyCheck()) return FloppyCheck()(drive, flags);
    (void)drive;
    (void)flags;
    return 1;
}

void SetFloppyDiskCheck(std::function<int(char, int)> check) { FloppyCheck() = std::move(check); }

}  // namespace cameras
