// Checking a login's password in the same time whether or not the operator
// exists.
//
// A stored password is an Argon2id string made by crypto_pwhash_str.  For a
// name with no stored hash the password is checked against a dummy hash made
// once, with the same memory and time cost as the real ones, so an unknown
// name costs what a wrong password costs and the answer's timing does not
// tell which names exist.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace web::security {

struct HashCost {
    unsigned long long opslimit = 0;
    std::size_t memlimit = 0;  // bytes
};

// The cost an Argon2id string was made with ("$argon2id$v=19$m=KIB,t=T,p=1$..."),
// or nothing when the text is no such string.
std::optional<HashCost> CostOf(std::string_view hash);

class PasswordCheck {
public:
    // cost: the cost the stored hashes are made with.
    explicit PasswordCheck(HashCost cost);
    // The cost of libsodium's interactive preset, what the operators file uses.
    static HashCost InteractiveCost();

    // True only when storedHash is present and the password matches it.  When
    // it is absent the dummy hash is checked instead and the answer is false.
    // A stored hash of a different cost is checked at its own cost; call
    // Adopt() with it to move the dummy to that cost.
    bool Verify(const std::optional<std::string>& storedHash, std::string_view password) const;
    // Remake the dummy at the cost of a stored hash when it differs.
    void Adopt(std::string_view storedHash);
    HashCost Cost() const { return m_cost; }

private:
    void MakeDummy();
    HashCost m_cost;
    std::string m_dummy;
};

}  // namespace web::security
