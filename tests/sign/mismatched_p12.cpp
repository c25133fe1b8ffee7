// mismatched_p12 KEY.pem CERT.pem CA.pem PASSWORD OUT.p12: a PKCS#12 file
// whose private key is not its certificate's, both bags under one local key
// id, as a tampered or mistakenly packed file would be. `openssl pkcs12
// -export` refuses to make one.
#include <openssl/pem.h>
#include <openssl/pkcs12.h>

#include <cstdio>

namespace {

// A key or a certificate read from a PEM file; null when it cannot be.
template<typename T>
T *readPem(const char *path, T *(*read)(FILE *, T **, pem_password_cb *, void *))
{
    FILE *f = std::fopen(path, "r");
    T *it = f ? read(f, nullptr, nullptr, nullptr) : nullptr;
    if (f)
        std::fclose(f);
    return it;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 6)
        return 2;
    EVP_PKEY *key = readPem(argv[1], PEM_read_PrivateKey);
    X509 *certificate = readPem(argv[2], PEM_read_X509);
    X509 *ca = readPem(argv[3], PEM_read_X509);
    const char *password = argv[4];
    if (!key || !certificate || !ca)
        return 1;
    unsigned char id[] = "qvanto-test";
    STACK_OF(PKCS12_SAFEBAG) *certificates = nullptr;
    STACK_OF(PKCS12_SAFEBAG) *keys = nullptr;
    PKCS12_SAFEBAG *bag = PKCS12_add_cert(&certificates, certificate);
    if (!bag || !PKCS12_add_localkeyid(bag, id, sizeof id) || !PKCS12_add_cert(&certificates, ca))
        return 1;
    bag = PKCS12_add_key(&keys, key, 0, PKCS12_DEFAULT_ITER, NID_aes_256_cbc, password);
    if (!bag || !PKCS12_add_localkeyid(bag, id, sizeof id))
        return 1;
    STACK_OF(PKCS7) *safes = nullptr;
    if (!PKCS12_add_safe(&safes, certificates, NID_aes_256_cbc, PKCS12_DEFAULT_ITER, password)
        || !PKCS12_add_safe(&safes, keys, -1, 0, nullptr))
        return 1;
    PKCS12 *file = PKCS12_add_safes(safes, 0);
    if (!file || !PKCS12_set_mac(file, password, -1, nullptr, 0, PKCS12_DEFAULT_ITER, EVP_sha256()))
        return 1;
    FILE *out = std::fopen(argv[5], "wb");
    const bool written = out && i2d_PKCS12_fp(out, file) && std::fclose(out) == 0;
    PKCS12_free(file);
    sk_PKCS7_pop_free(safes, PKCS7_free);
    sk_PKCS12_SAFEBAG_pop_free(certificates, PKCS12_SAFEBAG_free);
    sk_PKCS12_SAFEBAG_pop_free(keys, PKCS12_SAFEBAG_free);
    EVP_PKEY_free(key);
    X509_free(certificate);
    X509_free(ca);
    return written ? 0 : 1;
}
