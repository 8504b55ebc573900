// Certificates for the loopback HTTPS server, made when a test program first needs them:
// a test CA, a leaf it signs for the test host names, a leaf for another name, and a leaf
// for the test names signed by a second CA that nobody trusts.
#pragma once

#include <string>

typedef struct evp_pkey_st EVP_PKEY;
typedef struct x509_st X509;

// The host names the trusted leaf carries.
inline constexpr const char* kTestHosts[] = {"portal.test", "chart.test", "info.test", "company.test"};

struct TestKeyPair {
  EVP_PKEY* key = nullptr;
  X509* cert = nullptr;
};

struct TestPki {
  TestKeyPair ca;          // trusted test CA
  TestKeyPair leaf;        // signed by ca, names kTestHosts
  TestKeyPair wrong_host;  // signed by ca, names only "other.test"
  TestKeyPair rogue_ca;    // a CA that is not trusted
  TestKeyPair untrusted;   // signed by rogue_ca, names kTestHosts
  std::string ca_file;     // PEM of ca, in a temporary folder removed at exit
};

// Made once per test program (EC P-256 keys, SHA-256 signatures).
const TestPki& TestCertificates();
