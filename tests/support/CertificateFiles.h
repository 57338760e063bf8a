#pragma once

#include <string>

#include "support/TempFolder.h"
#include "support/TestCertificates.h"

namespace korvane::test {

// The files of a stand-in over TLS: an authority made for the test (which the program trusts
// through CAFile), a certificate it issued for 127.0.0.1 and localhost, and its key.
class CertificateFiles {
 public:
  CertificateFiles();
  std::string CaFile() const { return folder_.Path() + "ca.pem"; }
  std::string CertificateFile() const { return folder_.Path() + "server.pem"; }
  std::string KeyFile() const { return folder_.Path() + "server.key"; }

 private:
  TempFolder folder_;
  TestCertificateAuthority authority_;
};

}  // namespace korvane::test
