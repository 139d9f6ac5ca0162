// The console's TLS certificate: the installer's (--cert/--key), or one made
// here at first start (ECDSA P-256, self-signed) and kept in the state folder
// with mode 0600 for the following starts.
#pragma once
#include <string>

namespace web {

struct CertificateFiles {
    std::string cert, key;
};

// Makes state/console-cert.pem and state/console-key.pem unless both exist
// (the folder is made with mode 0700).  Answers "" or the error.
std::string EnsureSelfSigned(const std::string& stateDir, CertificateFiles& files);

// The SHA-256 fingerprint of the PEM certificate in file, as AB:CD:...; ""
// when the file holds no certificate.
std::string Fingerprint(const std::string& certFile);

}  // namespace web
