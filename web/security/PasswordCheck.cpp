#include "web/security/PasswordCheck.h"

#include <charconv>
#include <stdexcept>

#include <sodium.h>

namespace web::security {

namespace {

// The numeric value after "KEY=" in the parameter field, or -1.
long long Param(std::string_view params, std::string_view key) {
    std::size_t at = 0;
    while (at <= params.size()) {
        std::size_t end = params.find(',', at);
        if (end == std::string_view::npos) end = params.size();
        std::string_view part = params.substr(at, end - at);
        if (part.size() > key.size() && part.substr(0, key.size()) == key && part[key.size()] == '=') {
            long long v = -1;
            auto digits = part.substr(key.size() + 1);
            auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
            if (ec != std::errc() || p != digits.data() + digits.size() || v <= 0) return -1;
            return v;
        }
        at = end + 1;
    }
    return -1;
}

}  // namespace

std::optional<HashCost> CostOf(std::string_view hash) {
    constexpr std::string_view prefix = "$argon2id$v=19$";
    if (hash.substr(0, prefix.size()) != prefix) return std::nullopt;
    std::string_view rest = hash.substr(prefix.size());
    std::string_view params = rest.substr(0, rest.find('$'));
    long long m = Param(params, "m"), t = Param(params, "t");
    if (m <= 0 || t <= 0 || m > (1LL << 32)) return std::nullopt;
    return HashCost{static_cast<unsigned long long>(t), static_cast<std::size_t>(m) * 1024};
}

PasswordCheck::PasswordCheck(HashCost cost) : m_cost(cost) {
    if (sodium_init() < 0) throw std::runtime_error("libsodium could not be initialised");
    MakeDummy();
}

HashCost PasswordCheck::InteractiveCost() {
    return {crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
}

void PasswordCheck::MakeDummy() {
    // The dummy's password is random and thrown away: nothing can match it.
    unsigned char secret[32];
    randombytes_buf(secret, sizeof secret);
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, reinterpret_cast<const char*>(secret), sizeof secret, m_cost.opslimit,
                          m_cost.memlimit) != 0)
        throw std::runtime_error("could not make a password hash (out of memory?)");
    sodium_memzero(secret, sizeof secret);
    m_dummy = out;
}

void PasswordCheck::Adopt(std::string_view storedHash) {
    auto cost = CostOf(storedHash);
    if (!cost || (cost->opslimit == m_cost.opslimit && cost->memlimit == m_cost.memlimit)) return;
    m_cost = *cost;
    MakeDummy();
}

bool PasswordCheck::Verify(const std::optional<std::string>& storedHash, std::string_view password) const {
    const std::string& hash = storedHash ? *storedHash : m_dummy;
    // crypto_pwhash_str_verify needs a NUL-terminated hash; the password is counted.
    bool match = crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
    return storedHash.has_value() && match;
}

}  // namespace web::security
