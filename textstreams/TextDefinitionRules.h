// The rules of text exception and receipt definitions that do not depend on
// the dialogs: the identifier pool, the builder's amounts and its choices.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace textstreams {

// Identifiers 0 to 127.  Next hands out the first free identifier after the
// last one given, wrapping from 127 to 0; with every identifier in use it
// gives -1.
class IdentifierPool {
public:
    static constexpr int kCapacity = 128;
    void Clear();
    // Marks a loaded identifier as used (out-of-range identifiers are ignored).
    void MarkUsed(std::int32_t id);
    void Release(std::int32_t id);
    bool InUse(std::int32_t id) const;
    // Every identifier in use: Next would give -1.
    bool Full() const;
    // After loading: the next identifier follows the largest one loaded.
    void SetLastGiven(std::int32_t id) { m_last = id; }
    std::int32_t LastGiven() const { return m_last; }
    std::int32_t Next();

private:
    std::array<bool, kCapacity> m_used{};
    std::int32_t m_last = -1;
};

// "And Value is" positions, as listed by the builder.
enum eValueOperator : int { eLessThan = 0, eGreaterThan, eEqualTo, eBetween, eFound, eAString };

// The amount the operator typed: every "$" is removed and the rest is read
// as a number up to the first character that cannot continue it (so
// "$1,234.5" reads 1); text that does not start with a number reads 0.
double ReadAmount(const std::string& text);
// "%0.2f".
std::string FormatAmount(double value);

// "Jump N Results" entries for a direction: "0" to "3" (values 0 to 3) and,
// searching forward only, the last-entry choice (value 4).
inline constexpr int kToLastEntry = 4;
std::vector<int> JumpChoices(bool forward);

// Which value fields an operator choice enables.
struct ValueFields {
    bool value1 = false, value2 = false;
};
ValueFields FieldsFor(int operatorChoice);

// What the builder stores for its fields, in the order the definition is
// filled.
struct ExceptionFields {
    std::string name, match, value1Text, value2Text;
    bool forward = true;
    int jumpChoice = 0;      // 0..3 or kToLastEntry
    int operatorChoice = eFound;
};
struct ExceptionValues {
    std::string name, match, stringValue;
    std::int32_t toLastEntry = 0;
    std::int16_t jumpCount = 0;
    std::int32_t forward = 1;
    std::int16_t op = eFound;
    std::int32_t isString = 0;
    double value1 = 0.0, value2 = 0.0;
    // The value texts as the fields show them after the amounts are read.
    std::string shownValue1, shownValue2;
};
ExceptionValues ValuesFromFields(const ExceptionFields& f);

// The builder's first check that fails (the message's string number), or 0
// when every check passes.  nothingEntered is set when name, match and both
// values are all empty: then the builder does nothing at all.
int CheckExceptionFields(const ExceptionFields& f, bool& nothingEntered);
// The receipt editor's check: 133 for an empty name, 117 for an empty begin
// marker (both trimmed), else 0.
int CheckReceiptFields(const std::string& name, const std::string& beginMarker);

std::string TrimBlanks(const std::string& s);

}  // namespace textstreams
