#include "app/AppStartup.h"
#include "engine/Calculator.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/UserActivity.h"
#include "platform/host/HeadlessHost.h"
#include "tests/app/AppTest.h"

#include <fstream>
#include <sstream>

namespace {

class KeptTextsTest : public apptest::AppTest {
protected:
    void TearDown() override {
        foundation::Locale::setCurrent("en_US");
        apptest::AppTest::TearDown();
    }

    // The activity file as another process reads it: its bytes, with nothing of this process
    // saved first.
    std::string activityFile() {
        foundation::UserActivity::waitUntilWritten();
        std::ifstream in(groupDirectory() / foundation::UserActivity::fileName);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

// The display keeps the texts of the lines before the last from key to key; a new locale or
// notation shows every line anew, as a calculator made afresh on the same store shows it.
TEST_F(KeptTextsTest, KeptLinesAreShownAnewInANewLocaleAndNotation) {
    foundation::Locale::setCurrent("en_US");
    ostrelo::Calculator calculator;
    for (const char* digit : {"1", "2", "3", "4"}) calculator.enterDigit(digit);
    calculator.enterDecimalSeparator();
    calculator.enterDigit("5");
    calculator.inputOperator("+");
    calculator.enterDigit("2");
    EXPECT_EQ(calculator.primaryString(), "1,234.5+2");

    auto fresh = [](bool scientific) {
        ostrelo::Calculator other;
        other.setScientificNotation(scientific);
        other.updatePrimaryString();
        return other.primaryString();
    };
    foundation::Locale::setCurrent("de_DE");
    calculator.updatePrimaryString();
    EXPECT_EQ(calculator.primaryString(), "1.234,5+2");
    EXPECT_EQ(calculator.primaryString(), fresh(false));

    calculator.setScientificNotation(true);
    calculator.updatePrimaryString();
    EXPECT_EQ(calculator.primaryString(), fresh(true));
    EXPECT_NE(calculator.primaryString(), "1.234,5+2");
}

// Keys do not write the activity each; it is written once the keys pause, and a later start's
// request finds it current even right after a key.
TEST_F(KeptTextsTest, TheActivityIsCurrentWhenTheKeysPauseAndWhenALaterStartAsks) {
    host::HeadlessHost host;
    host.launch(ostrelo::AppStartup::description());
    for (const char* key : {"1", "+", "2"}) host.pressKey(key);
    host.advance(foundation::UserActivity::saveDelay + 0.1);
    EXPECT_NE(activityFile().find("1#N;+#O;2#N;"), std::string::npos) << activityFile();

    host.pressKey("*");
    host.pressKey("3");
    EXPECT_EQ(activityFile().find("3#N;"), std::string::npos) << "a key wrote the activity at once";
    EXPECT_EQ(host.handle({host::LaunchRequest::Kind::activate, ""}), std::nullopt);
    EXPECT_NE(activityFile().find("1#N;+#O;2#N;×#O;3#N;"), std::string::npos) << activityFile();
}

}  // namespace
