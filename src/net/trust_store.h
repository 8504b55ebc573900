// The certificates both fetch paths trust: the system trust store, or the CA file named in
// the configuration. Loaded once per program run (again only when the CA-file setting
// changes) and shared by every TLS context.
#pragma once

#include <string>

typedef struct x509_store_st X509_STORE;
typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;

// The shared store for the current configuration. A CA file that cannot be read leaves an
// empty store (and a diagnostic line): nothing is trusted rather than everything.
X509_STORE* SharedTrustStore();
// Makes ctx verify servers against the shared store.
void UseSharedTrustStore(SSL_CTX* ctx);
// Asks ssl to send host as the server name and to check the certificate against it
// (an address literal is checked as an address and sent no server name).
bool SetVerifiedHost(SSL* ssl, const std::string& host);
// How often a store was loaded in this run (tests).
int TrustStoreLoads();
