#include "tools/script/messages/MessagesScreens.h"

#include "OstreloMessage/MessagesExtension.h"
#include "engine/ExchangeRateFeed.h"
#include "platform/host/ConversationHost.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/TranscriptFile.h"
#include "platform/uikit/Button.h"
#include "tools/script/ScriptSession.h"
#include "tools/script/ScriptText.h"

#include <fstream>
#include <sstream>

namespace script {

namespace {

using Session = ScriptSession;
constexpr auto many = ScriptCommand::manyWords;

host::ConversationHostController* conversationWindow(Session& s) {
    return host::ConversationHost::controller(s.host().window());
}

// Launches the extension in its window on the headless host, with no network.
bool launch(host::HeadlessHost& host, bool expanded, std::string& error) {
    ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
    auto* window = host::ConversationHost::launch(host, ostrelo::MessagesExtension::makeRoot);
    if (window == nullptr || !window->isOpen()) {
        error = "the conversation window shows no extension";
        return false;
    }
    if (expanded) host.tap(host::HeadlessHost::centerOf(window->toggleButton()));
    return true;
}

// style compact|expanded: the window's toggle, tapped when the extension shows the other style.
bool style(Session& s, const ScriptLine& line) {
    const std::string& wanted = line.words[0].text;
    if (wanted != "compact" && wanted != "expanded") return s.stop(line, "usage: style compact|expanded");
    auto* window = conversationWindow(s);
    if (window == nullptr || !window->isOpen()) return s.stop(line, "the extension is closed");
    const bool compact = window->presentationStyle() == uikit::MessagesAppPresentationStyleCompact;
    if (compact != (wanted == "compact")) s.host().tap(host::HeadlessHost::centerOf(window->toggleButton()));
    return true;
}

// conversation none: the host reports no active conversation at the next change of style.
bool conversation(Session& s, const ScriptLine& line) {
    if (line.words[0].text != "none") return s.stop(line, "usage: conversation none");
    auto* window = conversationWindow(s);
    if (window == nullptr) return s.stop(line, "no conversation window");
    window->reportNoActiveConversationAtNextTransition();
    return true;
}

// refocus: the window loses the focus and gets it back.
bool refocus(Session& s, const ScriptLine&) {
    s.host().resignActive();
    s.host().becomeActive();
    return true;
}

std::string listed(const std::vector<std::string>& texts) {
    std::string all;
    for (const auto& text : texts) all += (all.empty() ? "" : " ") + inQuotes(text);
    return "[" + all + "]";
}

// expect transcript "TEXT"...: every text inserted since start, in the window's record and, one
// line each, in the transcript file.
bool transcript(Session& s, const ScriptLine& line) {
    auto* window = conversationWindow(s);
    if (window == nullptr) return s.stop(line, "no conversation window");
    std::vector<std::string> expected;
    std::string expectedFile;
    for (const auto& word : line.words) {
        expected.push_back(word.text);
        expectedFile += host::TranscriptFile::line(word.text);
    }
    if (window->transcript() != expected)
        s.fail(line, "expected transcript " + listed(expected) + " got " + listed(window->transcript()));
    std::ifstream file(host::ConversationHost::transcriptPath(), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    if (content.str() != expectedFile)
        s.fail(line, "expected the transcript file " + inQuotes(expectedFile) + " got " + inQuotes(content.str()));
    return true;
}

bool dismissed(Session& s, const ScriptLine& line) {
    auto* window = conversationWindow(s);
    if (window == nullptr) return s.stop(line, "no conversation window");
    if (window->isOpen()) s.fail(line, "expected the extension dismissed got it open");
    return true;
}

ScreenDefinition messagesScreen(const std::string& name, bool expanded) {
    ScreenDefinition screen;
    screen.name = name;
    screen.lines = {{"primary", "primaryCalculatorLine"}, {"secondary", "secondaryCalculatorLine"}, {"memory", "labelMemory"}};
    screen.start = [expanded](host::HeadlessHost& host, const std::vector<std::string>&, ScreenDefinition::KeepAlive&,
                              std::string& error) { return launch(host, expanded, error); };
    screen.commands = {
        {"style", Phase::running, 1, 1, "style compact|expanded", style},
        {"conversation", Phase::running, 1, 1, "conversation none", conversation},
        {"refocus", Phase::running, 0, 0, "refocus", refocus},
    };
    screen.expectations = {
        {"transcript", Phase::running, 0, many, "expect transcript [\"TEXT\"...]", transcript},
        {"dismissed", Phase::running, 0, 0, "expect dismissed", dismissed},
    };
    return screen;
}

}  // namespace

ScreenDefinition messagesCompactScreen() { return messagesScreen("messages-compact", false); }

ScreenDefinition messagesExpandedScreen() { return messagesScreen("messages-expanded", true); }

}  // namespace script
