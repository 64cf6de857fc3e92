#include <gtest/gtest.h>

#include <chrono>

#include "tests/app/menu/HighscoreFixture.h"
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
