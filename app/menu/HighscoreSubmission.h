#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "sys/http/HttpClient.h"

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

// The championship's best time on its way to the online high scores under
// a name, signed with the password and the service's salt. The request goes
// out on a thread of its own, so the menu keeps drawing while a slow server
// answers; the reply is handled on the menu's thread by `poll`. On
// acceptance the table remembers the time; its owner saves the tables.
// Destroying a submission still under way abandons it.
class HighscoreSubmission {
public:
    HighscoreSubmission(HighscoreTables& tables, int32_t language, const std::string& name,
                        const std::string& password);
    ~HighscoreSubmission();
    HighscoreSubmission(const HighscoreSubmission&) = delete;
    HighscoreSubmission& operator=(const HighscoreSubmission&) = delete;

    // True once the reply came and was handled (at once when there was nothing to send).
    bool poll();
    // SUBMISSION_ACCEPTED, the service's refusal code, or SUBMISSION_FAILED, once `poll` said so.
    int result() const { return m_result; }

private:
    int handleReply();

    HighscoreTables& m_tables;
    float m_time;
    std::string m_host;
    std::thread m_thread;
    std::atomic<bool> m_abandon{false};
    std::atomic<bool> m_replied{false};
    sys::HttpClient::Response m_response; // written by the thread until m_replied
    bool m_finished = false;
    int m_result = SUBMISSION_FAILED;
};
