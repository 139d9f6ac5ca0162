// Listeners of the registry store's diagnostic lines, beside its diagnostic
// output (Registry.h): the component's debug log is one.
#pragma once
#include <functional>
#include <string>

namespace reg {

// Also tells each diagnostic line to a listener, after the call that found
// the fault has let go of the store, so that the listener may use the
// registry; the answer removes it again.
int AddDiagnosticListener(std::function<void(const std::string&)> listener);
void RemoveDiagnosticListener(int token);

}  // namespace reg
