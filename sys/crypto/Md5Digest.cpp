#include "sys/crypto/Md5Digest.h"

#include <openssl/evp.h>

namespace sys {

Md5Digest::Md5Digest() : m_context(nullptr) {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    if (ctx && EVP_DigestInit_ex(ctx, EVP_md5(), nullptr) != 1) {
        EVP_MD_CTX_free(ctx);
        ctx = nullptr;
    }
    m_context = ctx;
}

Md5Digest::~Md5Digest() { EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(m_context)); }

bool Md5Digest::compute(const void* data, size_t length, uint8_t out[16]) {
    auto* ctx = static_cast<EVP_MD_CTX*>(m_context);
    if (!ctx || m_done) return false;
    m_done = true;
    unsigned int written = 0;
    uint8_t digest[EVP_MAX_MD_SIZE];
    if (EVP_DigestUpdate(ctx, data, length) != 1) return false;
    if (EVP_DigestFinal_ex(ctx, digest, &written) != 1 || written != 16) return false;
    for (int i = 0; i < 16; ++i) out[i] = digest[i];
    return true;
}

} // namespace sys
