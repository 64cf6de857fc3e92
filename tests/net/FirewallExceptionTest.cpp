#include <gtest/gtest.h>

#include "net/FirewallException.h"
#include "sys/firewall/Firewall.h"

TEST(FirewallException, AddAtStartAndRemoveAtExitAreRecordedInOrder) {
    sys::firewallClearHistory();
    testing::internal::CaptureStdout();
    EXPECT_EQ(firewallAddApplication(L"Plimzor 2"), 0);
    EXPECT_TRUE(firewallIsAuthorised(sys::executablePath()));
    EXPECT_EQ(firewallRemoveApplication(), 0);
    std::string out = testing::internal::GetCapturedStdout();
    std::vector<sys::FirewallEntry> history = sys::firewallHistory();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].kind, sys::FirewallEntry::ADD);
    EXPECT_EQ(history[0].name, "Plimzor 2");
    EXPECT_EQ(history[0].path, sys::executablePath());
    EXPECT_EQ(history[1].kind, sys::FirewallEntry::REMOVE);
    EXPECT_EQ(history[1].path, history[0].path);
    EXPECT_FALSE(sys::firewallIsEnabled(history[0].path));
    EXPECT_EQ(out, "") << "the stand-in says nothing on standard output";
}

TEST(FirewallException, CheckFailsForAPathNotOnTheList) {
    sys::firewallClearHistory();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(firewallIsAuthorised("/nowhere/plimzor"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(FirewallException, RemoveWithoutAddReportsFailureAndStillAnswersZero) {
    sys::firewallClearHistory();
    testing::internal::CaptureStdout();
    EXPECT_EQ(firewallRemoveApplication(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(FirewallException, WideFriendlyNameIsRecordedAsUtf8) {
    sys::firewallClearHistory();
    testing::internal::CaptureStdout();
    firewallAddApplication(L"Pl\u00efmzor \u0416");
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(sys::firewallHistory().size(), 1u);
    EXPECT_EQ(sys::firewallHistory()[0].name, "Pl\xc3\xafmzor \xd0\x96");
}
