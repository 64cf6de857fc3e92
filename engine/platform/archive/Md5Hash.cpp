#include "engine/platform/archive/Md5Hash.h"

#include "engine/platform/Report.h"
#include "sys/crypto/Md5Digest.h"

Md5Hash::Md5Hash() : m_hash(std::make_unique<sys::Md5Digest>()) {
    if (!m_hash->valid()) reportError("CryptoAPI error");
}

Md5Hash::~Md5Hash() = default;

bool Md5Hash::compute(const void* buffer, uint32_t length, uint8_t out[16]) {
    if (!m_hash->valid()) return false;
    uint8_t digest[16];
    if (!m_hash->compute(buffer, length, digest)) return false;
    for (int i = 0; i < 16; ++i) out[i] = digest[i];
    return true;
}
