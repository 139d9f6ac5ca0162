// The console's operators: user names with Argon2id password hashes
// (libsodium's crypto_pwhash_str), one "user:hash" a line in a file only
// the console's own user may read (mode 0600).  No default account: a file
// that is missing or empty holds no operator.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace web {

class Operators {
public:
    explicit Operators(std::string path);

    // Reads the file.  Answers "" or why it cannot be used (unreadable, a
    // mode that lets others read it, a malformed line).  A missing file is
    // no operator, not an error.
    std::string Load();
    bool Empty() const { return m_hashes.empty(); }
    std::vector<std::string> Users() const;
    const std::string& Path() const { return m_path; }

    // True when user exists and password is theirs.  An unknown user costs
    // the same hash check as a known one.
    bool Verify(const std::string& user, const std::string& password) const;
    // Sets (or adds) user's password and writes the file (mode 0600,
    // replaced atomically).  Answers "" or the error.
    std::string SetPassword(const std::string& user, const std::string& password);
    // Removes user and writes the file; an error when there is none.
    std::string Remove(const std::string& user);

    // 1 to 32 of letters, digits, '.', '_', '-'.
    static bool ValidUserName(const std::string& user);
    // The hash cost: the interactive limits by default; tests take the least.
    static void UseLeastCost(bool on);

private:
    std::string Save() const;
    std::string m_path;
    std::map<std::string, std::string> m_hashes;
    std::string m_dummy;  // checked for unknown users
};

// libsodium ready for use (once per process); false when it cannot start.
bool SodiumReady();

}  // namespace web
