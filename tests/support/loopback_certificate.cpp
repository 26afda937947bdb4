#include "support/loopback_certificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

struct KeyFree { void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); } };
struct CertificateFree { void operator()(X509* certificate) const { X509_free(certificate); } };
struct FileClose { void operator()(FILE* file) const { std::fclose(file); } };

// Files written by this process, removed at exit so repeated runs leave no litter.
std::mutex& CleanupMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<std::string>& FilesToRemove() {
  static std::vector<std::string> files;
  return files;
}

void RemoveWrittenFiles() {
  std::lock_guard lock(CleanupMutex());
  // Files first, then the folder, which comes first in the list.
  auto& files = FilesToRemove();
  for (auto it = files.rbegin(); it != files.rend(); ++it) {
    if (std::remove(it->c_str()) != 0) rmdir(it->c_str());
  }
  files.clear();
}

const std::string& TemporaryFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/parcora-loopback-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    {
      std::lock_guard lock(CleanupMutex());
      FilesToRemove().push_back(pattern);
    }
    std::atexit(RemoveWrittenFiles);
    return std::string(pattern);
  }();
  return folder;
}

void AddExtension(X509* certificate, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
  if (extension == nullptr) throw std::runtime_error("bad certificate extension");
  X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
}

template <typename Write>
void WritePem(const std::string& path, Write write) {
  std::unique_ptr<FILE, FileClose> file(std::fopen(path.c_str(), "w"));
  if (!file || !write(file.get())) throw std::runtime_error("cannot write " + path);
  std::lock_guard lock(CleanupMutex());
  FilesToRemove().push_back(path);
}

CertificateFiles MakeLoopbackCertificate(const std::string& fileStem) {
  // An EC key: made in microseconds, where RSA would cost the test run a noticeable pause.
  std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_EC_gen("P-256"));
  std::unique_ptr<X509, CertificateFree> certificate(X509_new());
  if (!key || !certificate) throw std::runtime_error("cannot make a certificate");

  X509_set_version(certificate.get(), 2);
  unsigned char serial[8];
  RAND_bytes(serial, sizeof serial);
  serial[0] &= 0x7f;
  BIGNUM* serialNumber = BN_bin2bn(serial, sizeof serial, nullptr);
  BN_to_ASN1_INTEGER(serialNumber, X509_get_serialNumber(certificate.get()));
  BN_free(serialNumber);
  X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 30L * 24 * 3600);
  X509_set_pubkey(certificate.get(), key.get());

  X509_NAME* name = X509_get_subject_name(certificate.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
  X509_set_issuer_name(certificate.get(), name);
  // Its own trust anchor: the client is told to trust exactly this file.
  AddExtension(certificate.get(), NID_basic_constraints, "critical,CA:TRUE");
  AddExtension(certificate.get(), NID_subject_key_identifier, "hash");
  AddExtension(certificate.get(), NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
  if (X509_sign(certificate.get(), key.get(), EVP_sha256()) == 0) {
    throw std::runtime_error("cannot sign the certificate");
  }

  CertificateFiles files{TemporaryFolder() + "/" + fileStem + ".crt",
                         TemporaryFolder() + "/" + fileStem + ".key"};
  WritePem(files.certificate,
           [&](FILE* file) { return PEM_write_X509(file, certificate.get()) == 1; });
  WritePem(files.privateKey, [&](FILE* file) {
    return PEM_write_PrivateKey(file, key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1;
  });
  return files;
}

}  // namespace

const CertificateFiles& LoopbackCertificate() {
  static const CertificateFiles files = MakeLoopbackCertificate("loopback");
  return files;
}
