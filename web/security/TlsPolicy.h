// Which TLS cipher suites the console offers: TLS 1.3's suites, and of TLS
// 1.2 only the ones with forward secrecy (ECDHE) and an AEAD cipher (AES-GCM
// or ChaCha20-Poly1305).  Nothing with CBC, RC4, 3DES, NULL, export grade,
// anonymous or pre-shared key exchange, nor plain RSA key exchange.
#pragma once
#include <string_view>

namespace web::security {

// name: an OpenSSL suite name ("ECDHE-ECDSA-AES128-GCM-SHA256",
// "TLS_AES_256_GCM_SHA384").
bool StrongCipherName(std::string_view name);

}  // namespace web::security
