#include <gtest/gtest.h>

#include "net/BrowserHeaders.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

TEST(BrowserHeaders, SetsRefererAgentAndConnection) {
  test::TempProgramFolder folder;
  folder.WriteConfig("[Service]\r\nHomePage=http://maps.example.test/\r\n");
  HttpClient client;
  SetBrowserHeaders(client);
  EXPECT_EQ(client.Request.Referer, "http://maps.example.test/");
  EXPECT_EQ(client.Request.UserAgent, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)");
  EXPECT_EQ(client.Request.Connection, "Keep_Alive");
  EXPECT_EQ(client.Request.Accept, "text/html, */*");
}

TEST(BrowserHeaders, TodaysServiceGetsACurrentBrowsersHeadersAndNoReferer) {
  test::TempProgramFolder folder;
  folder.WriteConfig("[Service]\r\nHomePage=http://maps.example.test/\r\nCAFile=/ca.pem\r\n");
  HttpClient client;
  SetBrowserHeaders(client);
  SetCurrentBrowserHeaders(client);
  EXPECT_EQ(client.Request.Referer, "");
  EXPECT_EQ(client.Request.UserAgent.rfind("Mozilla/5.0 (Windows NT 10.0; Win64; x64)", 0), 0u);
  EXPECT_EQ(client.Request.Connection, "keep-alive");
  EXPECT_EQ(client.Request.Accept, "*/*");
  EXPECT_EQ(client.Request.CAFile, "/ca.pem");
  EXPECT_TRUE(client.Request.ExtraHeaders.empty());
}

}  // namespace
}  // namespace korvane
