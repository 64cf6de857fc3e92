#include "app/menu/HighscoreSubmission.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "app/menu/HighscoreService.h"
#include "engine/platform/Report.h"
#include "engine/platform/archive/Md5Hash.h"
#include "game/records/HighscoreTables.h"
#include "sys/http/HttpClient.h"

namespace {

const char* const REGISTER_PATH = "game/score_register.php?n=";
// By language index.
const char* const LANGUAGE_CODES[] = {"DE", "EN", "FR", "SP", "IT", "RU"};
// The codes the service refuses an entry with; any other reply means nothing to the game.
const char* const REFUSALS[] = {"1",   "100", "101", "200", "201", "202", "203", "204", "300", "400", "401",
                                "500", "501", "502", "503", "504", "505", "506", "507", "508", "509", "600"};
// How much of a reply the log keeps: the server's text is another party's.
constexpr size_t REPLY_EXCERPT = 200;

// Hundredths of 30 minutes: the quicker the championship, the higher the score.
constexpr float SCORE_BASE = 180000.0f;
constexpr float SCORE_MAX = 999999.0f;

uint32_t scoreOf(float time) {
    const float score = SCORE_BASE - std::trunc(time * 100.0f);
    // Compared before converting: a huge time must not overflow the integer.
    if (!(score > 0.0f)) return 0;
    return uint32_t(std::min(score, SCORE_MAX));
}

std::string md5Hex(const std::string& text) {
    // A failed digest still goes out, as zeros: the service then refuses it.
    uint8_t digest[16] = {};
    Md5Hash().compute(text.data(), uint32_t(text.size()), digest);
    char hex[33];
    for (int i = 0; i < 16; ++i) std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
    return hex;
}

const char* languageCode(int32_t language) {
    return language >= 0 && language < int32_t(std::size(LANGUAGE_CODES)) ? LANGUAGE_CODES[language] : "";
}

int replyCode(const std::string& body) {
    const size_t bar = body.find('|');
    if (bar == std::string::npos) return SUBMISSION_FAILED;
    const std::string code = body.substr(0, bar);
    if (code == "0") return SUBMISSION_ACCEPTED;
    for (const char* refusal : REFUSALS)
        if (code == refusal) return std::stoi(code);
    g_logStream << "high-score server replied with an unknown code: \"" << printableExcerpt(body, REPLY_EXCERPT) << "\""
                << std::endl;
    return SUBMISSION_FAILED;
}

} // namespace

bool isDrivenTime(float time) { return time != HighscoreEntry::EMPTY_TIME && time != HighscoreBase::RESET_TIME; }

bool hasUnsubmittedResult(HighscoreChampionship& table) {
    const float best = table.getEntry(0, 0)->m_time;
    return isDrivenTime(best) && table.m_submittedTime > best;
}

HighscoreSubmission::HighscoreSubmission(HighscoreTables& tables, int32_t language, const std::string& name,
                                         const std::string& password)
    : m_tables(tables), m_time(tables.getChampionship().getEntry(0, 0)->m_time) {
    if (!isDrivenTime(m_time)) {
        m_finished = true;
        return;
    }
    const HighscoreService service = HighscoreService::fromSettings();
    m_host = service.host;
    const std::string score = std::to_string(scoreOf(m_time));
    const std::string signature = md5Hex(name + score + password + service.salt);
    // Only the name is the player's text; the signature covers it unencoded.
    const std::string target = REGISTER_PATH + sys::HttpClient::percentEncode(name) + "|" + score + "|" +
                               signature + "&lang=" + languageCode(language);
    const uint32_t connectSeconds = std::min(service.timeoutSeconds, HighscoreService::CONNECT_TIMEOUT);
    const sys::HttpClient client(long(connectSeconds) * 1000, long(service.timeoutSeconds) * 1000);
    m_thread = std::thread([this, client, port = service.port, target] {
        m_response = client.get(m_host, port, target, &m_abandon);
        m_replied = true;
    });
}

HighscoreSubmission::~HighscoreSubmission() {
    m_abandon = true;
    if (m_thread.joinable()) m_thread.join();
    if (!m_finished) g_logStream << "high-score submission abandoned" << std::endl;
}

bool HighscoreSubmission::poll() {
    if (m_finished) return true;
    if (!m_replied) return false;
    m_thread.join();
    m_finished = true;
    m_result = handleReply();
    return true;
}

int HighscoreSubmission::handleReply() {
    if (!m_response.received) {
        g_logStream << "high-score server " << m_host << " not reached: " << m_response.error << std::endl;
        return SUBMISSION_FAILED;
    }
    if (m_response.status < 200 || m_response.status > 299) {
        g_logStream << "high-score server answered HTTP " << m_response.status << ": \""
                    << printableExcerpt(m_response.body, REPLY_EXCERPT) << "\"" << std::endl;
        return SUBMISSION_FAILED;
    }
    const int code = replyCode(m_response.body);
    g_logStream << "high-score server replied with code " << code << std::endl;
    if (code != SUBMISSION_ACCEPTED) return code;
    m_tables.getChampionship().m_submittedTime = m_time;
    return code;
}
