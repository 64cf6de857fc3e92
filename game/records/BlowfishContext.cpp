#include "game/records/BlowfishContext.h"

#include <cstring>
#include <utility>

#include "game/records/BlowfishInitialState.h"

namespace {

constexpr uint32_t ROUNDS = 16;
constexpr uint32_t MAX_KEY_LENGTH = 56;

uint32_t feistel(uint32_t x, const BlowfishContext& c) {
    return ((c.S[0][x >> 24] + c.S[1][(x >> 16) & 0xFF]) ^ c.S[2][(x >> 8) & 0xFF]) + c.S[3][x & 0xFF];
}

uint32_t loadBigEndian(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void storeBigEndian(uint32_t v, uint8_t* p) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

void encryptBytes(const uint8_t in[8], uint8_t out[8], const BlowfishContext& c) {
    uint32_t left = loadBigEndian(in), right = loadBigEndian(in + 4);
    blowfishEncryptBlock(left, right, c);
    storeBigEndian(left, out);
    storeBigEndian(right, out + 4);
}

void decryptBytes(const uint8_t in[8], uint8_t out[8], const BlowfishContext& c) {
    uint32_t left = loadBigEndian(in), right = loadBigEndian(in + 4);
    blowfishDecryptBlock(left, right, c);
    storeBigEndian(left, out);
    storeBigEndian(right, out + 4);
}

void xorBlock(uint8_t* target, const uint8_t* with) {
    for (int i = 0; i < 8; ++i) target[i] ^= with[i];
}

} // namespace

void blowfishEncryptBlock(uint32_t& left, uint32_t& right, const BlowfishContext& c) {
    uint32_t l = left, r = right;
    for (uint32_t i = 0; i < ROUNDS; ++i) {
        l ^= c.P[i];
        r ^= feistel(l, c);
        std::swap(l, r);
    }
    std::swap(l, r);
    right = r ^ c.P[ROUNDS];
    left = l ^ c.P[ROUNDS + 1];
}

void blowfishDecryptBlock(uint32_t& left, uint32_t& right, const BlowfishContext& c) {
    uint32_t l = left, r = right;
    for (uint32_t i = ROUNDS + 1; i > 1; --i) {
        l ^= c.P[i];
        r ^= feistel(l, c);
        std::swap(l, r);
    }
    std::swap(l, r);
    right = r ^ c.P[1];
    left = l ^ c.P[0];
}

void blowfishSetKey(const uint8_t iv[8], uint32_t keyLength, BlowfishContext& c, const uint8_t* key) {
    std::memcpy(c.iv, iv, 8);
    std::memcpy(c.chain, iv, 8);
    std::memcpy(c.P, BLOWFISH_INITIAL_P, sizeof c.P);
    std::memcpy(c.S, BLOWFISH_INITIAL_S, sizeof c.S);
    if (keyLength > MAX_KEY_LENGTH) keyLength = MAX_KEY_LENGTH;
    if (keyLength > 0 && key) {
        uint32_t at = 0;
        for (uint32_t i = 0; i < ROUNDS + 2; ++i) {
            uint32_t word = 0;
            for (int b = 0; b < 4; ++b) {
                word = (word << 8) | key[at];
                at = (at + 1) % keyLength;
            }
            c.P[i] ^= word;
        }
    }
    uint32_t left = 0, right = 0;
    for (uint32_t i = 0; i < ROUNDS + 2; i += 2) {
        blowfishEncryptBlock(left, right, c);
        c.P[i] = left;
        c.P[i + 1] = right;
    }
    for (auto& box : c.S) {
        for (uint32_t i = 0; i < 256; i += 2) {
            blowfishEncryptBlock(left, right, c);
            box[i] = left;
            box[i + 1] = right;
        }
    }
}

void blowfishEncryptBuffer(int mode, uint8_t* data, uint32_t length, const BlowfishContext& c) {
    uint8_t chain[8];
    std::memcpy(chain, c.chain, 8);
    for (uint32_t at = 0; at + 8 <= length; at += 8) {
        uint8_t* block = data + at;
        if (mode == BLOWFISH_CBC) {
            xorBlock(block, chain);
            encryptBytes(block, block, c);
            std::memcpy(chain, block, 8);
        } else if (mode == BLOWFISH_CFB64) {
            uint8_t keystream[8];
            encryptBytes(chain, keystream, c);
            xorBlock(block, keystream);
            std::memcpy(chain, block, 8);
        } else {
            encryptBytes(block, block, c);
        }
    }
}

void blowfishDecryptBuffer(int mode, uint8_t* data, uint32_t length, const BlowfishContext& c) {
    uint8_t chain[8];
    std::memcpy(chain, c.chain, 8);
    for (uint32_t at = 0; at + 8 <= length; at += 8) {
        uint8_t* block = data + at;
        uint8_t cipher[8];
        std::memcpy(cipher, block, 8);
        if (mode == BLOWFISH_CBC) {
            decryptBytes(block, block, c);
            xorBlock(block, chain);
        } else if (mode == BLOWFISH_CFB64) {
            uint8_t keystream[8];
            encryptBytes(chain, keystream, c);
            xorBlock(block, keystream);
        } else {
            decryptBytes(block, block, c);
        }
        std::memcpy(chain, cipher, 8);
    }
}
