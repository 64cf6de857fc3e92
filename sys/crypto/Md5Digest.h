#pragma once
#include <cstddef>
#include <cstdint>

namespace sys {

// One MD5 computation through the system's crypto library.
class Md5Digest {
public:
    Md5Digest();
    ~Md5Digest();
    Md5Digest(const Md5Digest&) = delete;
    Md5Digest& operator=(const Md5Digest&) = delete;

    // False when the provider could not be set up; then nothing can be hashed.
    bool valid() const { return m_context != nullptr; }

    // Hashes the buffer and writes the 16 digest bytes; false on any failure
    // and on a second call, since the digest is final after the first.
    bool compute(const void* data, size_t length, uint8_t out[16]);

private:
    void* m_context;
    bool m_done = false;
};

} // namespace sys
