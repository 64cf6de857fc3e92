#pragma once
#include <cstdint>

class HighscoreChampionship;
class HighscoreTables;

// What `submitHighscore` returns when the service accepted the time, and when
// the game could not get an answer it understands (no connection, no reply in
// time, an HTTP error, a reply without a code or with a code it does not know).
constexpr int SUBMISSION_ACCEPTED = 0;
constexpr int SUBMISSION_FAILED = 300;

// A table's time that was really driven: neither an empty slot's nor a fresh table's placeholder.
bool isDrivenTime(float time);

// True when the championship's best entry is a time really driven and better
// than the last one the service accepted: only then is there something to send.
bool hasUnsubmittedResult(HighscoreChampionship& table);

// Sends the championship's best time to the online high scores under `name`,
// signed with the password and the service's salt, and waits for the reply.
// On acceptance the table remembers the time and "highscore.dat" is saved.
// Returns SUBMISSION_ACCEPTED, the service's refusal code, or SUBMISSION_FAILED.
int submitHighscore(HighscoreTables& tables, int32_t language, const char* name, const char* password);
