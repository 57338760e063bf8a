#include "support/TestCertificates.h"

#include <arpa/inet.h>
#include <openssl/bio.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <fstream>
#include <memory>
#include <stdexcept>

namespace korvane::test {
namespace {

constexpr long SecondsPerDay = 24 * 60 * 60;

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertificatePtr = std::unique_ptr<X509, decltype(&X509_free)>;

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test certificate: ") + what);
}

KeyPtr NewKey() {
  KeyPtr key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
  Check(key != nullptr, "key generation failed");
  return key;
}

std::string ToPem(int (*write)(BIO*, void*), void* object) {
  std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), &BIO_free);
  Check(write(bio.get(), object) == 1, "PEM encoding failed");
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<std::size_t>(size));
}

std::string CertificateToPem(X509* certificate) {
  return ToPem([](BIO* bio, void* x) { return PEM_write_bio_X509(bio, static_cast<X509*>(x)); },
               certificate);
}

std::string KeyToPem(EVP_PKEY* key) {
  return ToPem(
      [](BIO* bio, void* k) {
        return PEM_write_bio_PrivateKey(bio, static_cast<EVP_PKEY*>(k), nullptr, nullptr, 0,
                                        nullptr, nullptr);
      },
      key);
}

void AddExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
  Check(extension != nullptr, "extension");
  X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
}

std::string AlternativeNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    in_addr address{};
    if (!text.empty()) text += ",";
    text += (inet_pton(AF_INET, name.c_str(), &address) == 1 ? "IP:" : "DNS:") + name;
  }
  return text;
}

// A certificate for subjectKey named commonName, signed by issuerKey as issuer (itself when
// issuer is null).
CertificatePtr MakeCertificate(EVP_PKEY* subjectKey, const std::string& commonName, X509* issuer,
                               EVP_PKEY* issuerKey, bool authority,
                               const CertificateRequest& request) {
  static long serial = 1;
  CertificatePtr certificate(X509_new(), &X509_free);
  X509_set_version(certificate.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), ++serial);
  X509_gmtime_adj(X509_getm_notBefore(certificate.get()), request.ValidFromDays * SecondsPerDay);
  X509_gmtime_adj(X509_getm_notAfter(certificate.get()), request.ValidUntilDays * SecondsPerDay);
  X509_set_pubkey(certificate.get(), subjectKey);
  X509_NAME* name = X509_get_subject_name(certificate.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);
  X509* signer = issuer != nullptr ? issuer : certificate.get();
  X509_set_issuer_name(certificate.get(), X509_get_subject_name(signer));
  if (authority) {
    AddExtension(certificate.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(certificate.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    AddExtension(certificate.get(), signer, NID_basic_constraints, "CA:FALSE");
    AddExtension(certificate.get(), signer, NID_subject_alt_name, AlternativeNames(request.Names));
    AddExtension(certificate.get(), signer, NID_ext_key_usage, "serverAuth");
  }
  AddExtension(certificate.get(), signer, NID_subject_key_identifier, "hash");
  Check(X509_sign(certificate.get(), issuerKey, EVP_sha256()) > 0, "signing failed");
  return certificate;
}

}  // namespace

TestCertificateAuthority::TestCertificateAuthority() {
  KeyPtr key = NewKey();
  CertificateRequest validity;
  validity.ValidFromDays = -2;
  validity.ValidUntilDays = 30;
  CertificatePtr certificate =
      MakeCertificate(key.get(), "Korvane test authority", nullptr, key.get(), true, validity);
  authority_.CertificatePem = CertificateToPem(certificate.get());
  authority_.KeyPem = KeyToPem(key.get());
}

TestCertificate TestCertificateAuthority::Issue(const CertificateRequest& request) const {
  std::unique_ptr<BIO, decltype(&BIO_free)> certificateBio(
      BIO_new_mem_buf(authority_.CertificatePem.data(),
                      static_cast<int>(authority_.CertificatePem.size())),
      &BIO_free);
  std::unique_ptr<BIO, decltype(&BIO_free)> keyBio(
      BIO_new_mem_buf(authority_.KeyPem.data(), static_cast<int>(authority_.KeyPem.size())),
      &BIO_free);
  CertificatePtr issuer(PEM_read_bio_X509(certificateBio.get(), nullptr, nullptr, nullptr),
                        &X509_free);
  KeyPtr issuerKey(PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr),
                   &EVP_PKEY_free);
  Check(issuer && issuerKey, "authority unreadable");
  KeyPtr key = NewKey();
  CertificatePtr certificate = MakeCertificate(key.get(), request.Names.at(0), issuer.get(),
                                               issuerKey.get(), false, request);
  return {CertificateToPem(certificate.get()), KeyToPem(key.get())};
}

TestCertificate TestCertificateAuthority::SelfSigned(const CertificateRequest& request) {
  KeyPtr key = NewKey();
  CertificatePtr certificate =
      MakeCertificate(key.get(), request.Names.at(0), nullptr, key.get(), false, request);
  return {CertificateToPem(certificate.get()), KeyToPem(key.get())};
}

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  if (!file.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace korvane::test
