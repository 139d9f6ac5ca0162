#include "foundation/Controls.h"

void CWWListCtrl::SetColumns(const std::string& text) {
    std::vector<std::string> cols;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t comma = text.find(',', pos);
        cols.push_back(text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    Ctl().columns = cols;
    m_dialog->Changed(m_id);
}
