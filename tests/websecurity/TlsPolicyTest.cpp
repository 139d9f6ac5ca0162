#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "web/security/TlsPolicy.h"

using web::security::StrongCipherName;

TEST(TlsPolicy, CipherSuites) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"TLS_AES_256_GCM_SHA384", true},
        {"TLS_AES_128_GCM_SHA256", true},
        {"TLS_CHACHA20_POLY1305_SHA256", true},
        {"TLS_AES_128_CCM_8_SHA256", false},
        {"ECDHE-ECDSA-AES256-GCM-SHA384", true},
        {"ECDHE-RSA-AES128-GCM-SHA256", true},
        {"ECDHE-ECDSA-CHACHA20-POLY1305", true},
        {"ECDHE-ECDSA-AES128-SHA256", false},     // CBC
        {"ECDHE-RSA-AES256-SHA", false},          // CBC, SHA-1
        {"ECDHE-ECDSA-AES128-CCM8", false},
        {"ECDHE-ECDSA-ARIA128-GCM-SHA256", false},
        {"DHE-RSA-AES256-GCM-SHA384", false},     // finite-field DH: slow, weak groups in the wild
        {"AES128-GCM-SHA256", false},             // RSA key exchange: no forward secrecy
        {"ECDHE-PSK-CHACHA20-POLY1305", false},
        {"AECDH-AES256-SHA", false},
        {"ECDHE-RSA-DES-CBC3-SHA", false},
        {"ECDHE-RSA-RC4-SHA", false},
        {"ECDHE-ECDSA-NULL-SHA", false},
        {"EXP-RC4-MD5", false},
        {"", false},
    };
    for (const auto& [name, strong] : cases) EXPECT_EQ(StrongCipherName(name), strong) << name;
}
