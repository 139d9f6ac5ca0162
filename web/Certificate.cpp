#include "web/Certificate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace web {

namespace {

template <typename T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using Cert = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using Bio = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;

// Writes text to a new file that only this user can read.
std::string WritePrivate(const std::string& path, const std::string& text) {
    const std::string tmp = path + ".new";
    ::unlink(tmp.c_str());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return tmp + ": " + std::strerror(errno);
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(tmp.c_str());
        return path + ": " + why;
    }
    return {};
}

std::string BioText(BIO* bio) {
    char* data = nullptr;
    const long n = BIO_get_mem_data(bio, &data);
    return n > 0 ? std::string(data, static_cast<std::size_t>(n)) : std::string();
}

bool AddExtension(X509* cert, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    if (!ext) return false;
    const bool ok = X509_add_ext(cert, ext, -1) == 1;
    X509_EXTENSION_free(ext);
    return ok;
}

}  // namespace

std::string EnsureSelfSigned(const std::string& stateDir, CertificateFiles& files) {
    namespace fs = std::filesystem;
    files.cert = (fs::path(stateDir) / "console-cert.pem").string();
    files.key = (fs::path(stateDir) / "console-key.pem").string();
    std::error_code ec;
    if (fs::exists(files.cert, ec) && fs::exists(files.key, ec)) return {};
    fs::create_directories(stateDir, ec);
    if (ec) return stateDir + ": " + ec.message();
    ::chmod(stateDir.c_str(), 0700);

    Key key(EVP_EC_gen("P-256"));
    Cert cert(X509_new());
    if (!key || !cert) return "cannot make a key";
    X509_set_version(cert.get(), 2);
    unsigned char serial[16];
    std::FILE* random = std::fopen("/dev/urandom", "rb");
    const bool haveSerial = random && std::fread(serial, 1, sizeof serial, random) == sizeof serial;
    if (random) std::fclose(random);
    if (!haveSerial) return "cannot read random bytes";
    serial[0] &= 0x7F;
    BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
    BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert.get()));
    BN_free(bn);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 825L * 24 * 3600);
    X509_set_pubkey(cert.get(), key.get());
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Mirelle console"), -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);
    if (!AddExtension(cert.get(), NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1,IP:::1") ||
        !AddExtension(cert.get(), NID_basic_constraints, "critical,CA:FALSE") ||
        !AddExtension(cert.get(), NID_ext_key_usage, "serverAuth"))
        return "cannot make the certificate's extensions";
    if (X509_sign(cert.get(), key.get(), EVP_sha256()) <= 0) return "cannot sign the certificate";

    Bio keyText(BIO_new(BIO_s_mem())), certText(BIO_new(BIO_s_mem()));
    if (!PEM_write_bio_PrivateKey(keyText.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) ||
        !PEM_write_bio_X509(certText.get(), cert.get()))
        return "cannot write the certificate";
    if (std::string e = WritePrivate(files.key, BioText(keyText.get())); !e.empty()) return e;
    return WritePrivate(files.cert, BioText(certText.get()));
}

std::string Fingerprint(const std::string& certFile) {
    std::FILE* f = std::fopen(certFile.c_str(), "rb");
    if (!f) return {};
    Cert cert(PEM_read_X509(f, nullptr, nullptr, nullptr));
    std::fclose(f);
    if (!cert) return {};
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    if (X509_digest(cert.get(), EVP_sha256(), md, &n) != 1) return {};
    std::string out;
    char hex[4];
    for (unsigned int i = 0; i < n; ++i) {
        std::snprintf(hex, sizeof hex, i ? ":%02X" : "%02X", md[i]);
        out += hex;
    }
    return out;
}

}  // namespace web
