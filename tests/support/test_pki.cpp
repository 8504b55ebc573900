#include "support/test_pki.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "test certificates: %s failed\n", what);
  std::abort();
}

void AddExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
  Check(ext != nullptr, "extension");
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

// A certificate for key, signed by issuer (itself when issuer is null). names: the
// subject alternative names of a leaf; empty for a CA.
TestKeyPair Make(const char* common_name, const TestKeyPair* issuer, const std::string& names, long serial) {
  TestKeyPair pair;
  pair.key = EVP_EC_gen("P-256");
  Check(pair.key != nullptr, "key");
  X509* cert = X509_new();
  pair.cert = cert;
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
  // Valid over every date a test sets a program's clock to, whenever the suite runs.
  ASN1_TIME_set_string(X509_getm_notBefore(cert), "20000101000000Z");
  ASN1_TIME_set_string(X509_getm_notAfter(cert), "20991231235959Z");
  X509_set_pubkey(cert, pair.key);
  X509_NAME* subject = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(subject, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Kivora tests"),
                             -1, -1, 0);
  X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(common_name), -1,
                             -1, 0);
  X509* issuer_cert = issuer ? issuer->cert : cert;
  X509_set_issuer_name(cert, X509_get_subject_name(issuer_cert));
  const bool is_ca = names.empty();
  AddExtension(cert, issuer_cert, NID_basic_constraints, is_ca ? "critical,CA:TRUE" : "critical,CA:FALSE");
  AddExtension(cert, issuer_cert, NID_key_usage, is_ca ? "critical,keyCertSign,cRLSign" : "critical,digitalSignature");
  AddExtension(cert, issuer_cert, NID_subject_key_identifier, "hash");
  if (issuer) AddExtension(cert, issuer_cert, NID_authority_key_identifier, "keyid:always");
  if (!is_ca) {
    AddExtension(cert, issuer_cert, NID_ext_key_usage, "serverAuth");
    AddExtension(cert, issuer_cert, NID_subject_alt_name, names);
  }
  Check(X509_sign(cert, issuer ? issuer->key : pair.key, EVP_sha256()) > 0, "sign");
  return pair;
}

std::string g_pki_dir;

void RemovePkiDir() {
  std::error_code ec;
  if (!g_pki_dir.empty()) std::filesystem::remove_all(g_pki_dir, ec);
}

TestPki* Build() {
  auto* pki = new TestPki;
  std::string names;
  for (const char* h : kTestHosts) names += (names.empty() ? "DNS:" : ",DNS:") + std::string(h);
  pki->ca = Make("Kivora Test CA", nullptr, "", 1);
  pki->leaf = Make("portal.test", &pki->ca, names, 2);
  pki->wrong_host = Make("other.test", &pki->ca, "DNS:other.test", 3);
  pki->rogue_ca = Make("Unknown CA", nullptr, "", 4);
  pki->untrusted = Make("portal.test", &pki->rogue_ca, names, 5);

  std::string tmpl = (std::filesystem::temp_directory_path() / "vurn-pki-XXXXXX").string();
  Check(mkdtemp(tmpl.data()) != nullptr, "folder");
  g_pki_dir = tmpl;
  std::atexit(RemovePkiDir);
  pki->ca_file = tmpl + "/ca.pem";
  std::FILE* f = std::fopen(pki->ca_file.c_str(), "w");
  Check(f != nullptr, "ca file");
  PEM_write_X509(f, pki->ca.cert);
  std::fclose(f);
  return pki;
}

}  // namespace

const TestPki& TestCertificates() {
  static TestPki* pki = Build();
  return *pki;
}
