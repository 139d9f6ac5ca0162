#include "web/Operators.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include <sodium.h>

namespace web {

namespace {

bool g_leastCost = false;

unsigned long long OpsLimit() { return g_leastCost ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE; }
std::size_t MemLimit() { return g_leastCost ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE; }

std::string Hash(const std::string& password) {
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), OpsLimit(), MemLimit()) != 0) return {};
    return out;
}

}  // namespace

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

void Operators::UseLeastCost(bool on) { g_leastCost = on; }

Operators::Operators(std::string path) : m_path(std::move(path)) {}

bool Operators::ValidUserName(const std::string& user) {
    if (user.empty() || user.size() > 32) return false;
    for (char ch : user)
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '.' && ch != '_' && ch != '-') return false;
    return true;
}

std::vector<std::string> Operators::Users() const {
    std::vector<std::string> out;
    for (const auto& [user, hash] : m_hashes) out.push_back(user);
    return out;
}

std::string Operators::Load() {
    if (!SodiumReady()) return "libsodium cannot start";
    m_hashes.clear();
    if (m_dummy.empty()) {
        unsigned char random[16];
        randombytes_buf(random, sizeof random);
        m_dummy = Hash(std::string(reinterpret_cast<char*>(random), sizeof random));
    }
    struct stat st {};
    if (::stat(m_path.c_str(), &st) != 0) {
        if (errno == ENOENT) return {};
        return m_path + ": " + std::strerror(errno);
    }
    if (st.st_mode & 077)
        return m_path + ": others may read or change it (mode " + [&] {
            char b[8];
            std::snprintf(b, sizeof b, "%04o", static_cast<unsigned>(st.st_mode & 07777));
            return std::string(b);
        }() + "); make it readable by this user only: chmod 600 " + m_path;
    std::ifstream in(m_path);
    if (!in) return m_path + ": cannot be read";
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        const auto colon = line.find(':');
        const std::string user = line.substr(0, colon);
        if (colon == std::string::npos || !ValidUserName(user) || line.size() - colon - 1 >= crypto_pwhash_STRBYTES ||
            line.compare(colon + 1, 10, "$argon2id$") != 0)
            return m_path + ":" + std::to_string(number) + ": not \"user:argon2id hash\"";
        m_hashes[user] = line.substr(colon + 1);
    }
    return {};
}

bool Operators::Verify(const std::string& user, const std::string& password) const {
    if (!SodiumReady()) return false;
    auto it = m_hashes.find(user);
    const std::string& hash = it == m_hashes.end() ? m_dummy : it->second;
    const bool match = crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
    return match && it != m_hashes.end();
}

std::string Operators::SetPassword(const std::string& user, const std::string& password) {
    if (!SodiumReady()) return "libsodium cannot start";
    if (!ValidUserName(user)) return "user names are 1 to 32 letters, digits, '.', '_' or '-'";
    if (password.empty()) return "the password is empty";
    const std::string hash = Hash(password);
    if (hash.empty()) return "not enough memory to hash the password";
    m_hashes[user] = hash;
    return Save();
}

std::string Operators::Remove(const std::string& user) {
    if (!m_hashes.erase(user)) return "no operator " + user;
    return Save();
}

std::string Operators::Save() const {
    std::ostringstream text;
    for (const auto& [user, hash] : m_hashes) text << user << ':' << hash << '\n';
    const std::string data = text.str();
    const std::string tmp = m_path + ".new";
    ::unlink(tmp.c_str());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return tmp + ": " + std::strerror(errno);
    const bool written = ::write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(tmp.c_str(), m_path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(tmp.c_str());
        return m_path + ": " + why;
    }
    return {};
}

}  // namespace web
