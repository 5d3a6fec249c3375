#include "tools/script/main/AppScreen.h"

#include "app/AppStartup.h"
#include "app/HandoffCalculation.h"
#include "engine/ExchangeRateFeed.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/UrlSession.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/LaunchRequest.h"
#include "platform/uikit/Storyboard.h"
#include "screens/AppIdentity.h"
#include "tools/script/ScriptSession.h"

#include <cstdlib>

namespace script {

namespace {

// A closed port on this machine: a rate check that is due fails at once, and nothing is stored.
constexpr const char* unreachableFeed = "http://127.0.0.1:0/";

bool start(host::HeadlessHost& host, const std::vector<std::string>& arguments, ScreenDefinition::KeepAlive&,
           std::string& error) {
    // Any quick action's name: the scripts also start the app with one it does not know.
    host::AppDescription commandLine;
    commandLine.name = "ostrelo";
    commandLine.bundleIdentifier = ostrelo::AppIdentity::bundleIdentifier;
    auto request = host::LaunchRequest::fromArguments(arguments, commandLine);
    if (!request) {
        error = host::LaunchRequest::usage(commandLine);
        return false;
    }
    if (!uikit::Storyboard::named("Main", error)) return false;
    ::setenv(ostrelo::ExchangeRateFeed::feedUrlVariable, unreachableFeed, 1);
    host.launch(ostrelo::AppStartup::description(), *request);
    // The rate check the screen started (and its download, when one was due), then the picker
    // restore it queues on the main queue.
    foundation::DispatchQueue::global().waitUntilIdle();
    foundation::UrlSession::shared().waitUntilIdle();
    host.runUntilIdle();
    return true;
}

// shortcut NAME: before start, the app is launched with this quick action (`ostrelo --shortcut
// NAME`); after it, a later start hands it to the running app.
bool shortcut(ScriptSession& s, const ScriptLine& line) {
    const std::string& name = line.words[0].text;
    if (!s.started()) {
        s.setUp.arguments = {"--shortcut", name};
        return true;
    }
    s.host().handle({host::LaunchRequest::Kind::shortcut, std::string(ostrelo::AppIdentity::bundleIdentifier) + "." + name});
    return true;
}

// expect answers [yes|no...]: what the app answered to every quick action handed to it while it ran.
bool answers(ScriptSession& s, const ScriptLine& line) {
    std::string expected, got;
    for (const auto& word : line.words) expected += (expected.empty() ? "" : " ") + word.text;
    for (bool answer : s.host().quickActionAnswers()) got += (got.empty() ? "" : " ") + std::string(answer ? "yes" : "no");
    if (expected != got) s.fail(line, "expected answers [" + expected + "] got [" + got + "]");
    return true;
}

}  // namespace

ScreenDefinition AppScreen::definition() {
    ScreenDefinition screen;
    screen.name = "app";
    screen.start = start;
    screen.lines = {{"primary", "primaryCalculatorLine"}, {"secondary", "secondaryCalculatorLine"}};
    screen.activity = ScreenDefinition::Activity{ostrelo::HandoffCalculation::activityType(),
                                                 ostrelo::HandoffCalculation::title,
                                                 ostrelo::HandoffCalculation::userInfoKey};
    screen.commands = {
        {"shortcut", Phase::any, 1, 1, "shortcut NAME", shortcut},
    };
    screen.expectations = {
        {"answers", Phase::running, 0, ScriptCommand::manyWords, "expect answers [yes|no...]", answers},
    };
    return screen;
}

}  // namespace script
