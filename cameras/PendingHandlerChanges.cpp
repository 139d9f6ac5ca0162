#include "cameras/PendingHandlerChanges.h"

#include "foundation/DebugLog.h"

namespace cameras {

bool IsUserDefinedProgId(const std::string& progId) { return progId.rfind(kUserHandlerPrefix, 0) == 0; }

std::vector<HandlerRow> ReplayPending(std::vector<HandlerRow> rows, const PendingChanges& pending) {
    for (const auto& p : pending) {
        switch (p.Action) {
            case eActionAdd: rows.push_back({p.DisplayName, p.HandlerIndex}); break;
            case eActionUpdate: break;
            case eActionRemove:
                for (auto it = rows.begin(); it != rows.end(); ++it)
                    if (it->DisplayName == p.DisplayName) {
                        rows.erase(it);
                        break;
                    }
                break;
            default:
                LogMirelle("m_arrayPendingChanges contains bad eActionPending = " + std::to_string(p.Action) + ".");
        }
    }
    return rows;
}

bool StillInstalled(const std::string& displayName, const PendingChanges& pending) {
    bool installed = true;
    for (const auto& p : pending) {
        if (p.DisplayName != displayName) continue;
        if (p.Action == eActionAdd) installed = true;
        if (p.Action == eActionRemove) installed = false;
    }
    return installed;
}

}  // namespace cameras
