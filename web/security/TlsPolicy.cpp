#include "web/security/TlsPolicy.h"

namespace web::security {

bool StrongCipherName(std::string_view name) {
    auto has = [&](std::string_view part) { return name.find(part) != std::string_view::npos; };
    for (std::string_view weak : {"NULL", "RC4", "DES", "MD5", "EXP", "anon", "PSK", "SRP", "CCM"})
        if (has(weak)) return false;
    if (name.substr(0, 4) == "TLS_")  // TLS 1.3: the key exchange is always ephemeral
        return name == "TLS_AES_128_GCM_SHA256" || name == "TLS_AES_256_GCM_SHA384" ||
               name == "TLS_CHACHA20_POLY1305_SHA256";
    // TLS 1.2 suites name their CBC ciphers without saying so: only AEAD ones pass.
    if (name.substr(0, 6) != "ECDHE-") return false;
    return has("-AES128-GCM-") || has("-AES256-GCM-") || has("-CHACHA20-POLY1305");
}

}  // namespace web::security
