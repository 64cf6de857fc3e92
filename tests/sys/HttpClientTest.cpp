#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "sys/http/HttpClient.h"
#include "tests/support/LoopbackHttpServer.h"

TEST(HttpClientGet, SendsTheTargetAsGivenAndReturnsStatusAndBody) {
    LoopbackHttpServer server;
    server.reply(404, "nope|1");
    const sys::HttpClient client(2000, 4000);
    const sys::HttpClient::Response response = client.get("127.0.0.1", server.port(), "a/b.php?n=x%20y|12&lang=EN");
    ASSERT_TRUE(response.received) << response.error;
    EXPECT_EQ(response.status, 404);
    EXPECT_EQ(response.body, "nope|1");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], "GET /a/b.php?n=x%20y|12&lang=EN HTTP/1.1");
}

TEST(HttpClientGet, SilentRefusingAndOversizedServersGiveNoResponse) {
    const sys::HttpClient client(500, 1000);
    auto server = std::make_unique<LoopbackHttpServer>();
    server->keepSilent();
    const auto start = std::chrono::steady_clock::now();
    sys::HttpClient::Response response = client.get("127.0.0.1", server->port(), "");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(response.received);
    EXPECT_FALSE(response.error.empty());
    EXPECT_GE(seconds, 0.9);
    EXPECT_LT(seconds, 3.0);

    server->reply(200, std::string(sys::HttpClient::MAX_BODY + 1, 'x'));
    response = client.get("127.0.0.1", server->port(), "");
    EXPECT_FALSE(response.received);
    EXPECT_TRUE(response.body.empty());

    const uint16_t closedPort = server->port();
    server.reset();
    EXPECT_FALSE(client.get("127.0.0.1", closedPort, "").received);
}

TEST(HttpClientGet, PercentEncodingKeepsOnlyUnreservedCharacters) {
    EXPECT_EQ(sys::HttpClient::percentEncode("aZ09-._~ +|/&=\xC3\xA4"), "aZ09-._~%20%2B%7C%2F%26%3D%C3%A4");
}
