// The User-Defined Handlers page's pending work, kept in the order of the
// operator's actions and replayed on the host at apply.  Pure logic.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace cameras {

enum eActionPending : std::int32_t { eActionAdd = 0, eActionUpdate = 1, eActionRemove = 2 };

struct PendingHandlerChange {
    std::string ProgramID;    // update and remove; empty for add
    std::string DisplayName;
    std::string Definition;   // full text of the definition file (add, update)
    std::int32_t HandlerIndex = -1;
    std::int32_t Action = eActionAdd;
};

using PendingChanges = std::vector<PendingHandlerChange>;

constexpr const char* kUserHandlerPrefix = "QllnXmlCameraHandler.";

// Exact, case-sensitive prefix test of a ProgID.
bool IsUserDefinedProgId(const std::string& progId);

struct HandlerRow {
    std::string DisplayName;
    std::int32_t HandlerIndex = -1;
    bool operator==(const HandlerRow&) const = default;
};

// The rows the list shows: the host's user-defined handlers with the pending
// changes replayed on top (add appends, remove deletes the first row of that
// name, update changes nothing; other actions are logged and skipped).
std::vector<HandlerRow> ReplayPending(std::vector<HandlerRow> rows, const PendingChanges& pending);

// Whether a host handler of that display name still counts as installed:
// the pending entries for the name (case-sensitive), looked at in order,
// set it with an add and clear it with a remove.
bool StillInstalled(const std::string& displayName, const PendingChanges& pending);

}  // namespace cameras
