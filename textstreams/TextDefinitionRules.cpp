#include "textstreams/TextDefinitionRules.h"

#include <cstdio>
#include <cstdlib>

namespace textstreams {

void IdentifierPool::Clear() {
    m_used.fill(false);
    m_last = -1;
}

void IdentifierPool::MarkUsed(std::int32_t id) {
    if (id >= 0 && id < kCapacity) m_used[static_cast<std::size_t>(id)] = true;
}

void IdentifierPool::Release(std::int32_t id) {
    if (id >= 0 && id < kCapacity) m_used[static_cast<std::size_t>(id)] = false;
}

bool IdentifierPool::InUse(std::int32_t id) const {
    return id >= 0 && id < kCapacity && m_used[static_cast<std::size_t>(id)];
}

bool IdentifierPool::Full() const {
    for (bool used : m_used)
        if (!used) return false;
    return true;
}

std::int32_t IdentifierPool::Next() {
    std::int32_t start = (m_last < 0 || m_last >= kCapacity) ? 0 : m_last + 1;
    for (int i = 0; i < kCapacity; ++i) {
        std::int32_t id = (start + i) % kCapacity;
        if (!m_used[static_cast<std::size_t>(id)]) {
            m_used[static_cast<std::size_t>(id)] = true;
            m_last = id;
            return id;
        }
    }
    return -1;
}

std::string TrimBlanks(const std::string& s) {
    auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

double ReadAmount(const std::string& text) {
    std::string t;
    for (char c : text)
        if (c != '$') t += c;
    return std::strtod(t.c_str(), nullptr);
}

std::string FormatAmount(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%0.2f", value);
    return buf;
}

std::vector<int> JumpChoices(bool forward) {
    std::vector<int> v{0, 1, 2, 3};
    if (forward) v.push_back(kToLastEntry);
    return v;
}

ValueFields FieldsFor(int operatorChoice) {
    if (operatorChoice == eFound) return {false, false};
    if (operatorChoice == eBetween) return {true, true};
    return {true, false};
}

ExceptionValues ValuesFromFields(const ExceptionFields& f) {
    ExceptionValues v;
    v.name = TrimBlanks(f.name);
    v.match = TrimBlanks(f.match);
    bool toLast = f.forward && f.jumpChoice == kToLastEntry;
    v.toLastEntry = toLast ? 1 : 0;
    v.jumpCount = static_cast<std::int16_t>(toLast ? 0 : (f.jumpChoice >= 0 && f.jumpChoice <= 3 ? f.jumpChoice : 0));
    v.forward = f.forward ? 1 : 0;
    if (f.operatorChoice == eAString) {
        v.op = eEqualTo;
        v.isString = 1;
        v.stringValue = f.value1Text;
        v.shownValue1 = f.value1Text;
    } else {
        v.op = static_cast<std::int16_t>(f.operatorChoice);
        ValueFields en = FieldsFor(f.operatorChoice);
        if (en.value1) {
            v.value1 = ReadAmount(f.value1Text);
            v.shownValue1 = FormatAmount(v.value1);
        }
        if (en.value2) {
            v.value2 = ReadAmount(f.value2Text);
            v.shownValue2 = FormatAmount(v.value2);
        }
    }
    return v;
}

int CheckExceptionFields(const ExceptionFields& f, bool& nothingEntered) {
    nothingEntered = f.name.empty() && f.match.empty() && f.value1Text.empty() && f.value2Text.empty();
    if (nothingEntered) return 0;
    if (TrimBlanks(f.name).empty()) return 134;
    if (TrimBlanks(f.match).empty()) return 106;
    ValueFields en = FieldsFor(f.operatorChoice);
    if (en.value1 && f.value1Text.empty()) return 123;
    if (en.value2 && f.value2Text.empty()) return 124;
    return 0;
}

int CheckReceiptFields(const std::string& name, const std::string& beginMarker) {
    if (TrimBlanks(name).empty()) return 133;
    if (TrimBlanks(beginMarker).empty()) return 117;
    return 0;
}

}  // namespace textstreams
