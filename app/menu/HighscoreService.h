#pragma once
#include <cstdint>
#include <string>

// Where the online high scores are kept and the secret the game signs its
// entries with, so that a player or a test can point the game at another
// server. Each value comes from the settings file under the game's key
// ("HighscoreServer", "HighscorePort", "HighscoreSalt", "HighscoreTimeout"),
// else its default.
struct HighscoreService {
    static constexpr const char* DEFAULT_HOST = "highscores.plimzor.example";
    static constexpr uint16_t DEFAULT_PORT = 80;
    static constexpr const char* DEFAULT_SALT = "Kq7vTz2mWb9XhR4nLp6cYd3sFg8jNa5e";
    static constexpr size_t SALT_LENGTH = 32;
    // Seconds for the whole request; connecting may take at most CONNECT_TIMEOUT of them.
    static constexpr uint32_t DEFAULT_TIMEOUT = 15;
    static constexpr uint32_t MAX_TIMEOUT = 300;
    static constexpr uint32_t CONNECT_TIMEOUT = 5;

    // A value the game cannot use (no port, a salt not of 32 letters and
    // digits, no time or more than MAX_TIMEOUT) keeps its default, logged.
    static HighscoreService fromSettings();

    std::string host = DEFAULT_HOST;
    uint16_t port = DEFAULT_PORT;
    std::string salt = DEFAULT_SALT;
    uint32_t timeoutSeconds = DEFAULT_TIMEOUT;
};
