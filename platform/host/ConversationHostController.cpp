#include "platform/host/ConversationHostController.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/HostTextField.h"
#include "platform/host/WrappingTextView.h"
#include "platform/uikit/Application.h"

#include <cmath>

namespace host {

namespace {

constexpr double barHeight = 44;
constexpr double margin = 8;
constexpr double fieldHeight = 40;
constexpr double reopenHeight = 44;
constexpr double reopenWidth = 120;
constexpr double toggleWidth = 110;

bool compact(int style) { return style == uikit::MessagesAppPresentationStyleCompact; }

// The texts one to a line: the earlier ones, then this window's.
std::string joined(const std::vector<std::string>& earlier, const std::vector<std::string>& texts) {
    std::string all;
    bool first = true;
    for (const auto* list : {&earlier, &texts}) {
        for (const std::string& text : *list) {
            if (!first) all += '\n';
            all += text;
            first = false;
        }
    }
    return all;
}

}  // namespace

ConversationHostController::ConversationHostController(Factory makeExtension, std::filesystem::path transcriptFile)
    : makeExtension_(std::move(makeExtension)),
      transcriptFile_(std::move(transcriptFile)),
      conversation_(std::make_shared<uikit::Conversation>([this](const std::string& text) { record(text); }, alive())) {}

ConversationHostController::~ConversationHostController() = default;

void ConversationHostController::viewDidLoad() {
    HostController::viewDidLoad();
    auto palette = HostPalette::forStyle(view()->traitCollection().userInterfaceStyle);
    bar_ = view()->add(std::make_unique<uikit::View>());
    transcriptView_ = view()->add(std::make_unique<WrappingTextView>());
    // A window started again shows what the earlier ones inserted.
    earlierTexts_ = transcriptFile_.lastTexts(earlierTextsShown);
    transcriptView_->setText(joined(earlierTexts_, transcript_));
    inputField_ = view()->add(std::make_unique<HostTextField>());
    toggle_ = view()->add(palette.makeButton("Expand"));
    toggle_->addTarget(this, [this](uikit::Control&) { toggleStyle(); }, uikit::ControlEventTouchUpInside, alive());
    reopen_ = view()->add(palette.makeButton("Ostrelo"));
    reopen_->addTarget(this, [this](uikit::Control&) { reopen(); }, uikit::ControlEventTouchUpInside, alive());
    applyPalette();
    openExtension(false);
}

void ConversationHostController::viewWillAppear(bool animated) {
    if (extension_ != nullptr) extension_->viewWillAppear(animated);
}

void ConversationHostController::viewDidAppear(bool animated) {
    if (extension_ != nullptr) extension_->viewDidAppear(animated);
}

void ConversationHostController::openExtension(bool appear) {
    auto made = makeExtension_ ? makeExtension_() : nullptr;
    if (!made) {
        foundation::Log::error("conversation: there is no extension to show");
        return;
    }
    style_ = uikit::MessagesAppPresentationStyleCompact;
    made->setHost(this, alive());
    made->setPresentationStyle(style_);
    made->setActiveConversation(conversation_);
    extension_ = static_cast<uikit::MessagesAppViewController*>(addChildViewController(std::move(made)));
    view()->setNeedsLayout();
    if (appear) showChild(*extension_, *view());
    else extension_->moveViewInto(view());
    if (extension_ != nullptr) extension_->didMoveToParentViewController(this);
}

void ConversationHostController::closeExtension() {
    if (extension_ == nullptr) return;
    if (active_) {
        active_ = false;
        extension_->didResignActiveWithConversation(conversation_);
    }
    hideChild(*extension_);
    extension_->willMoveToParentViewController(nullptr);
    auto gone = extension_->removeFromParentViewController();
    extension_ = nullptr;
    style_ = uikit::MessagesAppPresentationStyleCompact;
    gone.reset();
    view()->setNeedsLayout();
    view()->layoutIfNeeded();
}

void ConversationHostController::activateExtension() {
    if (extension_ == nullptr || active_) return;
    active_ = true;
    extension_->willBecomeActiveWithConversation(conversation_);
}

void ConversationHostController::reopen() {
    if (extension_ != nullptr) return;
    openExtension(true);
    if (uikit::Application::shared().applicationState == uikit::ApplicationState::active) activateExtension();
}

void ConversationHostController::toggleStyle() {
    transition(compact(style_) ? uikit::MessagesAppPresentationStyleExpanded : uikit::MessagesAppPresentationStyleCompact);
}

void ConversationHostController::transition(int style) {
    if (extension_ == nullptr || transitioning_ || style == style_) return;
    transitioning_ = true;
    uikit::MessagesAppViewController& extension = *extension_;
    extension.willTransitionToPresentationStyle(style);
    style_ = style;
    uikit::Rect target = areaFrame(style, view()->bounds().size);
    uikit::TransitionCoordinator coordinator(target.size);
    extension.viewWillTransitionToSize(target.size, coordinator);
    coordinator.runAlongside();
    view()->setNeedsLayout();
    view()->layoutIfNeeded();
    coordinator.runCompletions();
    extension.setPresentationStyle(style);
    if (noConversationAtNextTransition_) extension.setActiveConversation(nullptr);
    noConversationAtNextTransition_ = false;
    extension.didTransitionToPresentationStyle(style);
    extension.setActiveConversation(conversation_);
    transitioning_ = false;
}

void ConversationHostController::dismissExtension() {
    if (extension_ == nullptr || dismissPending_) return;
    dismissPending_ = true;
    foundation::RunLoop::main().perform(this, alive(), 0, [this] {
        dismissPending_ = false;
        closeExtension();
    });
}

void ConversationHostController::requestPresentationStyle(int style) {
    if (extension_ == nullptr) return;
    foundation::RunLoop::main().perform(this, alive(), 0, [this, style] { transition(style); });
}

void ConversationHostController::hostDidBecomeActive() { activateExtension(); }

void ConversationHostController::hostWillResignActive() {
    if (extension_ == nullptr || !active_) return;
    active_ = false;
    extension_->didResignActiveWithConversation(conversation_);
}

void ConversationHostController::record(const std::string& text) {
    transcript_.push_back(text);
    transcriptView_->setText(joined(earlierTexts_, transcript_));
    inputField_->setText(text);
    transcriptFile_.append(text);
}

void ConversationHostController::viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) {
    if (extension_ != nullptr) extension_->viewWillTransitionToSize(areaFrame(style_, size).size, coordinator);
}

void ConversationHostController::traitCollectionDidChange(const uikit::TraitCollection*) { applyPalette(); }

void ConversationHostController::applyPalette() {
    auto palette = HostPalette::forStyle(view()->traitCollection().userInterfaceStyle);
    view()->setBackgroundColor(palette.background);
    bar_->setBackgroundColor(palette.bar);
    transcriptView_->setTextColor(palette.text);
    inputField_->setColors(palette.field, palette.text);
    palette.applyTo(*toggle_);
    palette.applyTo(*reopen_);
}

uikit::Rect ConversationHostController::areaFrame(int style, uikit::Size size) {
    double top = view()->safeAreaInsets().top + barHeight;
    if (!compact(style)) return uikit::Rect(0, top, size.width, std::max(size.height - top, 0.0));
    double height = std::round(size.height / 3);
    return uikit::Rect(0, size.height - height, size.width, height);
}

void ConversationHostController::layoutHostViews() {
    uikit::Rect bounds = view()->bounds();
    uikit::EdgeInsets safe = view()->safeAreaInsets();
    double width = bounds.width();
    bar_->setFrame(uikit::Rect(0, 0, width, safe.top + barHeight));
    toggle_->setFrame(uikit::Rect(width - margin - toggleWidth, safe.top + 4, toggleWidth, barHeight - 8));
    toggle_->setTitle(compact(style_) ? "Expand" : "Collapse", uikit::ControlStateNormal);
    toggle_->setHidden(extension_ == nullptr);
    reopen_->setHidden(extension_ != nullptr);
    bool expanded = extension_ != nullptr && !compact(style_);
    transcriptView_->setHidden(expanded);
    inputField_->setHidden(expanded);

    double below;  // the top of what lies under the input field
    if (extension_ != nullptr) {
        uikit::Rect area = areaFrame(style_, bounds.size);
        extension_->view()->setFrame(area);
        below = area.minY();
    } else {
        below = bounds.height() - safe.bottom - margin - reopenHeight;
        reopen_->setFrame(uikit::Rect(margin, below, reopenWidth, reopenHeight));
    }
    double fieldTop = below - margin - fieldHeight;
    inputField_->setFrame(uikit::Rect(margin, fieldTop, width - 2 * margin, fieldHeight));
    double transcriptTop = safe.top + barHeight + margin;
    transcriptView_->setFrame(
        uikit::Rect(margin, transcriptTop, width - 2 * margin, std::max(fieldTop - margin - transcriptTop, 0.0)));
}

}  // namespace host
