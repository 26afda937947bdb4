#pragma once
// A self-signed certificate for 127.0.0.1, made on first use with OpenSSL and
// written into a private temporary folder that is removed when the process ends.

#include <string>

struct CertificateFiles {
  std::string certificate;  // PEM path
  std::string privateKey;   // PEM path
};

// The one certificate of the test process; every HTTPS loopback server presents it.
const CertificateFiles& LoopbackCertificate();
