#pragma once
#include <cstdint>

// One keyed Blowfish cipher. Every buffer call starts from `chain`, so the
// same context encrypts each record independently of the ones before it.
struct BlowfishContext {
    uint8_t iv[8];
    uint8_t chain[8];
    uint32_t P[18];
    uint32_t S[4][256];
};

enum BlowfishMode { BLOWFISH_ECB = 0, BLOWFISH_CBC = 1, BLOWFISH_CFB64 = 2 };

// Keys longer than 56 bytes are cut to 56; an empty key leaves the pi state.
void blowfishSetKey(const uint8_t iv[8], uint32_t keyLength, BlowfishContext& context, const uint8_t* key);

// In place, whole 8-byte blocks only: a tail of length % 8 bytes stays as it is.
// Mode 1 is CBC, 2 CFB-64, anything else ECB. The context is left unchanged.
void blowfishEncryptBuffer(int mode, uint8_t* data, uint32_t length, const BlowfishContext& context);
void blowfishDecryptBuffer(int mode, uint8_t* data, uint32_t length, const BlowfishContext& context);

void blowfishEncryptBlock(uint32_t& left, uint32_t& right, const BlowfishContext& context);
void blowfishDecryptBlock(uint32_t& left, uint32_t& right, const BlowfishContext& context);
