#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/app/menu/HighscoreFixture.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/LoopbackHttpServer.h"

namespace {

using Screen = HighscoresScreen;

// A championship won in 200 s, worth 180000 - 20000 points, never sent.
void championshipOf200Seconds(HighscoreTables& tables) {
    tables.getChampionship().setEntry(0, 0, HighscoreEntry(200.0f, 7, "Bo", 1, 2));
}

} // namespace

TEST_F(HighscoreTest, AcceptedSubmissionSendsTheSignedRequestAndIsNotOfferedAgain) {
    LoopbackHttpServer server;
    server.reply(200, "0|welcome");
    useService(server.port(), 2);
    writeTables(championshipOf200Seconds);
    setUp(1);
    openAsRaceAsks(Screen::CHAMPIONSHIP, -1);
    ASSERT_FALSE(widget(Screen::SUBMIT)->isDisabled());

    click(widget(Screen::SUBMIT));
    EXPECT_TRUE(widget(Screen::SUBMIT_DIALOG)->isVisible());
    EXPECT_TRUE(widget(Screen::NAME_BOX)->isActive());
    enter(Screen::NAME_BOX, "Jo Jo+1");
    EXPECT_TRUE(widget(Screen::PASSWORD_BOX)->isActive());
    enter(Screen::PASSWORD_BOX, "pw");
    // Typed but not accepted with Enter: not sent.
    widget(Screen::NAME_BOX)->setText("Someone");
    click(widget(Screen::SUBMIT_OK));
    ASSERT_TRUE(finishSending());

    // The signature is the MD5 of "Jo Jo+1", "160000", "pw" and the salt.
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], "GET /game/score_register.php?n=Jo%20Jo%2B1|160000|"
                                    "fd8e7ce89e33ae8a2fa49ff5d8a92ed8&lang=EN HTTP/1.1");
    EXPECT_FALSE(widget(Screen::SUBMIT_DIALOG)->isVisible());
    EXPECT_TRUE(widget(Screen::MESSAGE)->isVisible());
    EXPECT_EQ(text(widget(Screen::MESSAGE_TEXT)), words(10100));
    EXPECT_EQ(savedTables()->getChampionship().m_submittedTime, 200.0f);
    EXPECT_TRUE(widget(Screen::SUBMIT)->isDisabled());
    click(widget(Screen::MESSAGE_OK));
    EXPECT_FALSE(widget(Screen::MESSAGE)->isVisible());
    menuTeardown(m_menu);
}

TEST_F(HighscoreTest, EveryOtherOutcomeShowsTheFailureAndKeepsTheTables) {
    LoopbackHttpServer server;
    useService(server.port(), 1);
    writeTables(championshipOf200Seconds);
    setUp(1);
    openAsRaceAsks(Screen::CHAMPIONSHIP, -1);
    const struct {
        int status;
        const char* body;
    } replies[] = {{200, "0"}, {200, "42|x"}, {200, "101|refused"}, {503, "0|busy"}, {0, nullptr}};
    for (const auto& r : replies) {
        if (r.body)
            server.reply(r.status, r.body);
        else
            server.keepSilent();
        const auto start = std::chrono::steady_clock::now();
        click(widget(Screen::SUBMIT));
        click(widget(Screen::SUBMIT_OK));
        EXPECT_TRUE(finishSending()) << (r.body ? r.body : "silence");
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const std::string reply = r.body ? r.body : "silence";
        EXPECT_LT(seconds, 2.5) << reply;
        EXPECT_TRUE(widget(Screen::MESSAGE)->isVisible()) << reply;
        EXPECT_EQ(text(widget(Screen::MESSAGE_TEXT)), words(10101)) << reply;
        EXPECT_EQ(savedTables()->getChampionship().m_submittedTime, HighscoreChampionship::NEVER_SUBMITTED) << reply;
        EXPECT_FALSE(widget(Screen::SUBMIT)->isDisabled()) << reply;
        click(widget(Screen::MESSAGE_OK));
    }
    EXPECT_EQ(server.requests().size(), std::size(replies));
    menuTeardown(m_menu);
}

TEST_F(HighscoreTest, ASlowServerLeavesTheMenuDrawingAndBackAbandonsTheSubmission) {
    LoopbackHttpServer server;
    server.keepSilent();
    useService(server.port(), 60);
    writeTables(championshipOf200Seconds);
    setUp(1);
    openAsRaceAsks(Screen::CHAMPIONSHIP, -1);
    LogCapture log;
    click(widget(Screen::SUBMIT));
    enter(Screen::NAME_BOX, "Jo");
    enter(Screen::PASSWORD_BOX, "pw");
    const auto start = std::chrono::steady_clock::now();
    click(widget(Screen::SUBMIT_OK));
    // The menu goes on drawing frames while the server says nothing.
    for (int frame = 0; frame < 30; ++frame) {
        EXPECT_TRUE(menuFrame(m_menu));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
    EXPECT_TRUE(screen().sending());
    EXPECT_TRUE(widget(Screen::MESSAGE)->isVisible());
    EXPECT_EQ(text(widget(Screen::MESSAGE_TEXT)), words(1011) + " ...");
    EXPECT_EQ(text(widget(Screen::MESSAGE_OK)), words(1004)) << "the button abandons the submission";
    for (int wait = 0; wait < 200 && server.requests().empty(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(server.requests().size(), 1u);

    const auto abandon = std::chrono::steady_clock::now();
    click(widget(Screen::MESSAGE_OK));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - abandon).count(), 3.0);
    EXPECT_FALSE(screen().sending());
    EXPECT_FALSE(widget(Screen::MESSAGE)->isVisible());
    EXPECT_NE(log.text().find("high-score submission abandoned"), std::string::npos) << log.text();
    EXPECT_EQ(savedTables()->getChampionship().m_submittedTime, HighscoreChampionship::NEVER_SUBMITTED);
    menuTeardown(m_menu);
}

TEST_F(HighscoreTest, TheLogKeepsTheReplysCodeAndAShortPrintableExcerpt) {
    LoopbackHttpServer server;
    server.reply(503, std::string(5000, 'x') + "\n\x1b[2Jend");
    useService(server.port(), 2);
    writeTables(championshipOf200Seconds);
    setUp(1);
    openAsRaceAsks(Screen::CHAMPIONSHIP, -1);
    LogCapture log;
    click(widget(Screen::SUBMIT));
    click(widget(Screen::SUBMIT_OK));
    ASSERT_TRUE(finishSending());
    const std::string written = log.text();
    const size_t line = written.find("high-score server answered HTTP 503: \"");
    ASSERT_NE(line, std::string::npos) << written;
    const std::string rest = written.substr(line);
    EXPECT_LT(rest.size(), 300u) << rest;
    EXPECT_EQ(rest.find('\x1b'), std::string::npos);
    menuTeardown(m_menu);
}
