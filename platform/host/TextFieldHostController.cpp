#include "platform/host/TextFieldHostController.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/HostPalette.h"
#include "platform/host/HostTextField.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/Pasteboard.h"

#include <algorithm>

namespace host {

namespace {

constexpr double barHeight = 44;
constexpr double margin = 8;
constexpr double buttonWidth = 64;

// Characters a physical key types into the field: none for control characters.
bool printable(const std::string& characters) {
    return !characters.empty() && std::none_of(characters.begin(), characters.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

}  // namespace

TextFieldHostController::TextFieldHostController(Factory makeKeyboard) : makeKeyboard_(std::move(makeKeyboard)) {}

TextFieldHostController::~TextFieldHostController() = default;

void TextFieldHostController::viewDidLoad() {
    HostController::viewDidLoad();
    auto palette = HostPalette::forStyle(view()->traitCollection().userInterfaceStyle);
    field_ = view()->add(std::make_unique<HostTextField>());
    bar_ = view()->add(std::make_unique<uikit::View>());
    copy_ = bar_->add(palette.makeButton("Copy"));
    copy_->addTarget(this, [this](uikit::Control&) { uikit::Pasteboard::general().setString(fieldText()); },
                     uikit::ControlEventTouchUpInside, alive());
    globe_ = bar_->add(palette.makeButton("🌐"));
    globe_->addTarget(this, [this](uikit::Control&) { tapGlobe(); }, uikit::ControlEventTouchUpInside, alive());
    applyPalette();

    auto made = makeKeyboard_ ? makeKeyboard_() : nullptr;
    if (!made) {
        foundation::Log::error("text field: there is no keyboard to show");
        mode_ = InputMode::system;
        return;
    }
    made->setHost(this, alive());
    keyboard_ = static_cast<uikit::InputViewController*>(addChildViewController(std::move(made)));
    keyboard_->moveViewInto(view());
    keyboard_->didMoveToParentViewController(this);
    uikit::View* input = keyboard_->inputView();
    input->translatesAutoresizingMaskIntoConstraints = false;
    uikit::LayoutConstraint::activateConstraints({
        input->leftAnchor().constraintEqualToAnchor(view()->leftAnchor()),
        input->rightAnchor().constraintEqualToAnchor(view()->rightAnchor()),
        input->bottomAnchor().constraintEqualToAnchor(view()->safeAreaLayoutGuide().bottomAnchor()),
    });
}

void TextFieldHostController::viewWillAppear(bool animated) {
    if (keyboardShown()) keyboard_->viewWillAppear(animated);
}

void TextFieldHostController::viewDidAppear(bool animated) {
    if (keyboardShown()) keyboard_->viewDidAppear(animated);
}

bool TextFieldHostController::keyboardShown() const { return keyboard_ != nullptr && mode_ == InputMode::keyboard; }

const std::string& TextFieldHostController::fieldText() const { return field_->text(); }

void TextFieldHostController::setFieldText(const std::string& text) {
    if (keyboard_ != nullptr) keyboard_->textWillChange();
    field_->setText(text);
    if (keyboard_ != nullptr) keyboard_->textDidChange();
}

uikit::TextDocumentProxy& TextFieldHostController::textDocumentProxy() { return *field_; }

void TextFieldHostController::advanceToNextInputMode() {
    foundation::RunLoop::main().perform(this, alive(), 0, [this] { switchInputMode(); });
}

void TextFieldHostController::tapGlobe() { switchInputMode(); }

void TextFieldHostController::switchInputMode() {
    if (keyboard_ == nullptr) return;
    if (mode_ == InputMode::keyboard) {
        mode_ = InputMode::system;
        hideChild(*keyboard_);
    } else {
        mode_ = InputMode::keyboard;
        showChild(*keyboard_, *view());
    }
    switches_.push_back(mode_);
    view()->setNeedsLayout();
    view()->layoutIfNeeded();
}

void TextFieldHostController::pressesBegan(const uikit::PressSet& presses, const uikit::Event* event) {
    if (mode_ != InputMode::system) {
        HostController::pressesBegan(presses, event);
        return;
    }
    for (const uikit::Press* press : presses)
        if (press->key) type(press->key->characters);
}

void TextFieldHostController::type(const std::string& characters) {
    if (characters == "\b") field_->deleteBackward();
    else if (characters == "\r" || characters == "\n") field_->insertText("\n");
    else if (printable(characters)) field_->insertText(characters);
}

// The keyboard may ask for its height while it lays out, after the host placed it: the host
// then places everything again once.
void TextFieldHostController::viewDidLayoutSubviews() {
    if (!keyboardShown() || settling_) return;
    auto frame = uikit::LayoutConstraint::solveFrame(*keyboard_->inputView());
    if (!frame || *frame == keyboard_->inputView()->frame()) return;
    settling_ = true;
    view()->setNeedsLayout();
    view()->layoutIfNeeded();
    settling_ = false;
}

void TextFieldHostController::layoutHostViews() {
    uikit::Rect bounds = view()->bounds();
    uikit::EdgeInsets safe = view()->safeAreaInsets();
    double width = bounds.width();
    double barTop = keyboardShown() ? keyboard_->inputView()->frame().minY() - barHeight
                                    : bounds.height() - safe.bottom - barHeight;
    bar_->setFrame(uikit::Rect(0, barTop, width, barHeight));
    copy_->setFrame(uikit::Rect(margin, 0, buttonWidth, barHeight));
    globe_->setFrame(uikit::Rect(width - margin - buttonWidth, 0, buttonWidth, barHeight));
    double fieldTop = safe.top + margin;
    field_->setFrame(uikit::Rect(margin, fieldTop, width - 2 * margin, std::max(barTop - margin - fieldTop, 0.0)));
}

void TextFieldHostController::traitCollectionDidChange(const uikit::TraitCollection*) { applyPalette(); }

void TextFieldHostController::applyPalette() {
    auto palette = HostPalette::forStyle(view()->traitCollection().userInterfaceStyle);
    view()->setBackgroundColor(palette.background);
    bar_->setBackgroundColor(palette.bar);
    field_->setColors(palette.field, palette.text);
    palette.applyTo(*copy_);
    palette.applyTo(*globe_);
}

}  // namespace host
