#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  test::TempFolder folder;
  std::string path = folder.Path() + "config.ini";
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Proxy", "ProxyServer", "none"), "none");
  EXPECT_EQ(ini.ReadInteger("Proxy", "UseProxy", 0), 0);
  WriteFileBytes(path, "[Proxy]\r\nProxyServer=host\r\n");
  EXPECT_EQ(ini.ReadString("Other", "ProxyServer", "d"), "d");
  EXPECT_EQ(ini.ReadString("Proxy", "ProxyPort", "d"), "d");
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToCase) {
  WriteFileBytes(path, "[proxy]\nproxyserver=host\n");
  EXPECT_EQ(TIniFile(path).ReadString("PROXY", "ProxyServer", ""), "host");
}

TEST_F(IniFileTest, OnlyTheFirstEqualsSignSplits) {
  TIniFile ini(path);
  ini.WriteString("Proxy", "ProxyPassword", "a=b==c");
  EXPECT_EQ(ini.ReadString("Proxy", "ProxyPassword", ""), "a=b==c");
}

TEST_F(IniFileTest, IntegersFollowTheHexRuleAndFallBackToTheDefault) {
  WriteFileBytes(path, "[P]\nA=0x1\nB=2\nC=word\nD=\nE=0x\nF=-3\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("P", "A", 0), 1);
  EXPECT_EQ(ini.ReadInteger("P", "B", 0), 2);
  EXPECT_EQ(ini.ReadInteger("P", "C", 9), 9);
  EXPECT_EQ(ini.ReadInteger("P", "D", 9), 9);
  EXPECT_EQ(ini.ReadInteger("P", "E", 9), 9);
  EXPECT_EQ(ini.ReadInteger("P", "F", 9), -3);
}

TEST_F(IniFileTest, TextValuesAreCutAt2047Characters) {
  TIniFile ini(path);
  ini.WriteString("S", "K", std::string(3000, 'v'));
  EXPECT_EQ(ini.ReadString("S", "K", "").size(), 2047u);
}

TEST_F(IniFileTest, WritesCreateTheFileThenAddSectionsAndKeys) {
  TIniFile ini(path);
  ini.WriteString("IniParas", "DefaultPath", "/data");
  ini.WriteInteger("Proxy", "UseProxy", 1);
  ini.WriteString("IniParas", "Second", "2");
  EXPECT_EQ(ReadFileBytes(path),
            "[IniParas]\r\nDefaultPath=/data\r\nSecond=2\r\n[Proxy]\r\nUseProxy=1\r\n");
}

TEST_F(IniFileTest, AWriteLeavesEveryOtherLineAsItWas) {
  const std::string before =
      "; kept comment\n[Unknown]\nweird line\nKey = spaced \n\n[IniParas]\r\nDefaultPath=/old\r\n"
      "\r\n[Tail]\nX=1";
  WriteFileBytes(path, before);
  TIniFile ini(path);
  ini.WriteString("iniparas", "defaultpath", "/new");
  EXPECT_EQ(ReadFileBytes(path),
            "; kept comment\n[Unknown]\nweird line\nKey = spaced \n\n[IniParas]\r\n"
            "defaultpath=/new\r\n\r\n[Tail]\nX=1");
  ini.WriteString("Tail", "Y", "2");
  EXPECT_EQ(ini.ReadString("Tail", "X", ""), "1");
  EXPECT_EQ(ini.ReadString("Tail", "Y", ""), "2");
  EXPECT_EQ(ini.ReadString("Unknown", "Key", ""), "spaced");
}

TEST_F(IniFileTest, ANewKeyGoesAfterTheLastLineOfItsSectionNotAfterBlankLines) {
  WriteFileBytes(path, "[A]\r\nK1=1\r\n\r\n[B]\r\nK=2\r\n");
  TIniFile(path).WriteString("A", "K2", "x");
  EXPECT_EQ(ReadFileBytes(path), "[A]\r\nK1=1\r\nK2=x\r\n\r\n[B]\r\nK=2\r\n");
}

TEST_F(IniFileTest, AFailedWriteRaisesUnableToWrite) {
  TIniFile ini(folder.Path() + "missing-folder/config.ini");
  try {
    ini.WriteString("S", "K", "v");
    FAIL() << "no error";
  } catch (const IniFileError& error) {
    EXPECT_EQ(error.Message(), "Unable to write to " + folder.Path() + "missing-folder/config.ini");
  }
}

}  // namespace
}  // namespace korvane
