#include "net/trust_store.h"

#include <arpa/inet.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include "net/net_config.h"
#include "platform/diagnostics.h"

namespace {

X509_STORE* g_store = nullptr;
std::string g_store_ca_file;
int g_loads = 0;

bool IsAddressLiteral(const std::string& host) {
  unsigned char buf[16];
  return inet_pton(AF_INET, host.c_str(), buf) == 1 || inet_pton(AF_INET6, host.c_str(), buf) == 1;
}

}  // namespace

X509_STORE* SharedTrustStore() {
  const std::string& ca_file = CurrentNetConfig().ca_file;
  if (g_store && ca_file == g_store_ca_file) return g_store;
  if (g_store) X509_STORE_free(g_store);
  g_store = X509_STORE_new();
  g_store_ca_file = ca_file;
  ++g_loads;
  if (!g_store) return nullptr;
  if (ca_file.empty()) {
    if (X509_STORE_set_default_paths(g_store) != 1) PRT("system trust store not found\n");
  } else if (X509_STORE_load_file(g_store, ca_file.c_str()) != 1) {
    PRT("CA file cannot be read: %s\n", ca_file.c_str());
  }
  return g_store;
}

void UseSharedTrustStore(SSL_CTX* ctx) {
  if (X509_STORE* store = SharedTrustStore()) SSL_CTX_set1_cert_store(ctx, store);
  SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
}

bool SetVerifiedHost(SSL* ssl, const std::string& host) {
  SSL_set_verify(ssl, SSL_VERIFY_PEER, nullptr);
  if (IsAddressLiteral(host)) return X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), host.c_str()) == 1;
  SSL_set_hostflags(ssl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  return SSL_set_tlsext_host_name(ssl, host.c_str()) == 1 && SSL_set1_host(ssl, host.c_str()) == 1;
}

int TrustStoreLoads() { return g_loads; }
