#pragma once

#include <string>
#include <vector>

namespace korvane::test {

// A key pair and its certificate, both PEM.
struct TestCertificate {
  std::string CertificatePem;
  std::string KeyPem;
};

// What a server certificate says.
struct CertificateRequest {
  // DNS names and IPv4 addresses of the subject alternative name.
  std::vector<std::string> Names = {"localhost", "127.0.0.1"};
  // Validity in days around now: from -1 to +1 by default; {-3, -1} is an expired one.
  int ValidFromDays = -1;
  int ValidUntilDays = 1;
};

// A throwaway certificate authority made at test time (P-256 keys), so no key or certificate
// is ever kept in the repository. Not thread-safe; make one per test.
class TestCertificateAuthority {
 public:
  TestCertificateAuthority();

  // The authority's own certificate, for a CA file.
  const std::string& CertificatePem() const { return authority_.CertificatePem; }

  // A server certificate signed by this authority.
  TestCertificate Issue(const CertificateRequest& request = {}) const;

  // A server certificate that signs itself (trusted by nobody).
  static TestCertificate SelfSigned(const CertificateRequest& request = {});

 private:
  TestCertificate authority_;
};

// Writes text to a file (for CA, certificate and key files in a test's temporary folder).
void WriteTextFile(const std::string& path, const std::string& text);

}  // namespace korvane::test
