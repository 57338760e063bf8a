#include "support/CertificateFiles.h"

#include "platform/FileSystem.h"

namespace korvane::test {

CertificateFiles::CertificateFiles() {
  const TestCertificate server = authority_.Issue();
  WriteFileBytes(CaFile(), authority_.CertificatePem());
  WriteFileBytes(CertificateFile(), server.CertificatePem);
  WriteFileBytes(KeyFile(), server.KeyPem);
}

}  // namespace korvane::test
