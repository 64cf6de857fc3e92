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
    EXPECT_EQ(out,
              "First scenario during install process:\n"
              "Add the application to the exception (aka authorized) list.\n"
              "Note: change the source in this sample to match your game executable name.\n"
              "Success!\n"
              "\nSecond scenario when launching multiplayer:\n"
              "Check Firewall state to ensure the app is still ready to go.\n"
              "Success!\n"
              "\nLast scenario during uninstall process:\n"
              "Remove the application from the exception list.\n"
              "Success!\n");
}

TEST(FirewallException, CheckFailsForAPathNotOnTheList) {
    sys::firewallClearHistory();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(firewallIsAuthorised("/nowhere/plimzor"));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Application is not enabled in the Firewall.", 0), 0u);
}

TEST(FirewallException, RemoveWithoutAddReportsFailureAndStillAnswersZero) {
    sys::firewallClearHistory();
    testing::internal::CaptureStdout();
    EXPECT_EQ(firewallRemoveApplication(), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Failed to remove app from to the exception list. \n"), std::string::npos);
}

TEST(FirewallException, WideFriendlyNameIsRecordedAsUtf8) {
    sys::firewallClearHistory();
    testing::internal::CaptureStdout();
    firewallAddApplication(L"Pl\u00efmzor \u0416");
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(sys::firewallHistory().size(), 1u);
    EXPECT_EQ(sys::firewallHistory()[0].name, "Pl\xc3\xafmzor \xd0\x96");
}
