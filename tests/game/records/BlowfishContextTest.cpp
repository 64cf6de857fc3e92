#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/records/BlowfishContext.h"

namespace {

std::vector<uint8_t> fromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string toHex(const uint8_t* bytes, size_t count) {
    static const char* digits = "0123456789ABCDEF";
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

const uint8_t ZERO_IV[8] = {};

BlowfishContext keyed(const std::string& keyHex, const uint8_t* iv = ZERO_IV) {
    BlowfishContext context;
    std::vector<uint8_t> key = fromHex(keyHex);
    blowfishSetKey(iv, uint32_t(key.size()), context, key.data());
    return context;
}

std::string ecb(const std::string& keyHex, const std::string& plainHex) {
    BlowfishContext context = keyed(keyHex);
    std::vector<uint8_t> block = fromHex(plainHex);
    blowfishEncryptBuffer(BLOWFISH_ECB, block.data(), 8, context);
    return toHex(block.data(), 8);
}

struct Vector {
    const char* key;
    const char* plain;
    const char* cipher;
};

} // namespace

TEST(BlowfishContext, MeetsThePublishedBlockVectors) {
    const Vector vectors[] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
        {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
        {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
        {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
        {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    };
    for (const Vector& v : vectors) EXPECT_EQ(ecb(v.key, v.plain), v.cipher) << v.key;
}

TEST(BlowfishContext, MeetsThePublishedKeyLengthVectors) {
    const std::string key = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677";
    const char* expected[] = {"F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05",
                              "B39E44481BDB1E6E", "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82",
                              "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6", "9409DA87A90F6BF2",
                              "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F", "93142887EE3BE15C",
                              "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
                              "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080"};
    for (size_t n = 1; n <= 24; ++n) EXPECT_EQ(ecb(key.substr(0, 2 * n), "FEDCBA9876543210"), expected[n - 1]) << n;
}

TEST(BlowfishContext, MeetsThePublishedChainingVectorsOnWholeBlocks) {
    std::vector<uint8_t> iv = fromHex("FEDCBA9876543210");
    BlowfishContext context = keyed("0123456789ABCDEFF0E1D2C3B4A59687", iv.data());
    uint8_t text[32] = {};
    std::memcpy(text, "7654321 Now is the time for ", 28);

    uint8_t cbc[32];
    std::memcpy(cbc, text, 32);
    blowfishEncryptBuffer(BLOWFISH_CBC, cbc, 32, context);
    EXPECT_EQ(toHex(cbc, 32), "6B77B4D63006DEE605B156E27403979358DEB9E7154616D959F1652BD5FF92CC");

    uint8_t cfb[29];
    std::memcpy(cfb, text, 29);
    blowfishEncryptBuffer(BLOWFISH_CFB64, cfb, 29, context);
    EXPECT_EQ(toHex(cfb, 24), "E73214A2822139CAF26ECF6D2EB9E76E3DA3DE04D1517200");
    EXPECT_EQ(std::memcmp(cfb + 24, text + 24, 5), 0) << "the tail beyond whole blocks stays plain";
}

TEST(BlowfishContext, EveryModeDecryptsWhatItEncrypted) {
    BlowfishContext context = keyed("00112233445566778899AABBCCDDEEFF");
    uint8_t original[40];
    for (int i = 0; i < 40; ++i) original[i] = uint8_t(i * 37 + 5);
    for (int mode : {int(BLOWFISH_ECB), int(BLOWFISH_CBC), int(BLOWFISH_CFB64), 7}) {
        uint8_t data[40];
        std::memcpy(data, original, 40);
        blowfishEncryptBuffer(mode, data, 40, context);
        EXPECT_NE(std::memcmp(data, original, 40), 0) << mode;
        blowfishDecryptBuffer(mode, data, 40, context);
        EXPECT_EQ(std::memcmp(data, original, 40), 0) << mode;
    }
}

TEST(BlowfishContext, BufferCallsLeaveTheContextUnchanged) {
    BlowfishContext context = keyed("0123456789ABCDEF");
    BlowfishContext before = context;
    uint8_t first[16] = {1, 2, 3}, second[16] = {1, 2, 3};
    blowfishEncryptBuffer(BLOWFISH_CFB64, first, 16, context);
    blowfishEncryptBuffer(BLOWFISH_CFB64, second, 16, context);
    EXPECT_EQ(std::memcmp(first, second, 16), 0);
    EXPECT_EQ(std::memcmp(&before, &context, sizeof context), 0);
}

TEST(BlowfishContext, CutsKeysAfterFiftySixBytes) {
    std::vector<uint8_t> key(72);
    for (size_t i = 0; i < key.size(); ++i) key[i] = uint8_t(i + 1);
    BlowfishContext cut, full;
    blowfishSetKey(ZERO_IV, 56, cut, key.data());
    blowfishSetKey(ZERO_IV, 72, full, key.data());
    EXPECT_EQ(std::memcmp(cut.P, full.P, sizeof cut.P), 0);
    EXPECT_EQ(std::memcmp(cut.S, full.S, sizeof cut.S), 0);
}

TEST(BlowfishContext, BlockFunctionsAreInverse) {
    BlowfishContext context = keyed("A1B2C3D4");
    uint32_t left = 0x01234567, right = 0x89ABCDEF;
    blowfishEncryptBlock(left, right, context);
    EXPECT_FALSE(left == 0x01234567 && right == 0x89ABCDEF);
    blowfishDecryptBlock(left, right, context);
    EXPECT_EQ(left, 0x01234567u);
    EXPECT_EQ(right, 0x89ABCDEFu);
}
