#pragma once
#include <cstdint>
#include <memory>

namespace sys {
class Md5Digest;
}

// MD5 of one buffer, as the online score submission signs its request.
class Md5Hash {
public:
    Md5Hash(); // reports "CryptoAPI error" when the provider cannot be set up
    ~Md5Hash();
    Md5Hash(const Md5Hash&) = delete;
    Md5Hash& operator=(const Md5Hash&) = delete;

    // One buffer per object. False, with `out` untouched, when set-up failed
    // or hashing did not complete.
    bool compute(const void* buffer, uint32_t length, uint8_t out[16]);

private:
    std::unique_ptr<sys::Md5Digest> m_hash;
};
