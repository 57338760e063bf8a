#include <gtest/gtest.h>

#include "dialogs/ConverterWindow.h"
#include "dialogs/LayoutCheck.h"
#include "ui/TScriptedDialogs.h"

namespace korvane::test {
namespace {

class ConverterWindowTest : public ::testing::Test {
 protected:
  TScriptedDialogs dialogs;
  TApplication app{dialogs};
  TForm main{app, "mainWindow"};
  ConverterWindow convert{app};

  std::string Convert(const std::string& d, const std::string& m, const std::string& s) {
    convert.degreesEdit.UserType(d);
    convert.minutesEdit.UserType(m);
    convert.secondsEdit.UserType(s);
    convert.UserPressEnter();
    return convert.resultEdit.Text();
  }
};

TEST_F(ConverterWindowTest, IsAStayOnTopDialogWithEveryControlInside) {
  EXPECT_EQ(convert.Caption(), "Convert \"Degrees,Minutes,Seconds\" to \"Degrees\"");
  EXPECT_EQ(convert.ClientWidth(), 466);
  EXPECT_EQ(convert.ClientHeight(), 99);
  EXPECT_EQ(convert.FormStyle(), fsStayOnTop);
  EXPECT_EQ(convert.BorderStyle(), bsDialog);
  EXPECT_EQ(convert.DefaultButton(), &convert.convertButton);
  EXPECT_EQ(convert.convertButton.Caption(), "convert");
  EXPECT_EQ(convert.inputGroup.Caption(), "Degrees, Minutes, Seconds:");
  EXPECT_EQ(convert.resultGroup.Caption(), "Degrees:");
  EXPECT_EQ(LayoutFaults(convert), "");
}

TEST_F(ConverterWindowTest, ConvertsTheExamplesThroughTheWindow) {
  convert.Show();
  EXPECT_EQ(Convert("40", "42", "46"), "40.712776184082");
  EXPECT_EQ(Convert("-73", "30", "0"), "-72.5");
  EXPECT_EQ(Convert("121", "0", "0"), "121");
  EXPECT_EQ(Convert("0", "0", "1"), "0.000277777784503996");
  EXPECT_EQ(Convert("0", "90", "12,5"), "1.50333333015442");  // seconds stop at the comma
  EXPECT_TRUE(dialogs.Events().empty());
}

TEST_F(ConverterWindowTest, InputErrorKeepsTheOldResultAndTheUserCannotTypeIntoIt) {
  convert.Show();
  EXPECT_EQ(Convert("121", "0", "0"), "121");
  EXPECT_EQ(Convert("40.5", "0", "0"), "121");
  EXPECT_EQ(Convert("40", "", "0"), "121");
  EXPECT_EQ(dialogs.Messages(), (std::vector<std::string>{"Input Error.", "Input Error."}));
  EXPECT_FALSE(convert.resultEdit.UserType("1"));
  EXPECT_EQ(convert.resultEdit.Text(), "121");
}

TEST_F(ConverterWindowTest, ClosingOnlyHidesAndTheContentStays) {
  convert.Show();
  Convert("-73", "30", "0");
  EXPECT_TRUE(convert.UserClose());
  EXPECT_FALSE(app.Terminated());
  convert.Show();
  EXPECT_EQ(convert.degreesEdit.Text(), "-73");
  EXPECT_EQ(convert.resultEdit.Text(), "-72.5");
}

}  // namespace
}  // namespace korvane::test
