#include "app/settings/SettingsPageViewController.h"

#include "engine/SharedSettings.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/LayoutConstraint.h"
#include "ui/Theme.h"

namespace ostrelo {

namespace {

constexpr double margin = 20;
constexpr double rowHeight = 34;
constexpr double fieldWidth = 110;
constexpr double switchWidth = 51;
constexpr double switchHeight = 31;

uikit::Font themeFont(double size) {
    return uikit::Font::named(themeFontName(), size).value_or(uikit::Font::systemFont(size));
}

}  // namespace

void SettingsPageViewController::viewDidLoad() {
    // Kept for the page's life: the store's version on its connection tells others' writes.
    suite_ = SharedSettings::open();
    seenVersion_ = suite_->dataVersion();
    auto& suite = suite_;
    const bool dark = suite->boolForKey(SharedSettings::darkTheme);
    applyTheme(dark ? themeNames[0] : themeNames[1]);
    view()->setBackgroundColor(standardBackgroundColor());

    auto* ownCurrencyLabel = addCaption("Own currency", 17);
    ownCurrencyField_ = view()->add(std::make_unique<uikit::TextField>());
    ownCurrencyField_->setText(suite->stringForKey(SharedSettings::ownCurrencyRequest).value_or(""));
    ownCurrencyField_->setPlaceholder("e.g. XAU");
    ownCurrencyField_->setFont(themeFont(17));
    ownCurrencyField_->setTextColor(labelTextColor());
    ownCurrencyField_->setBackgroundColor(dark ? digitBackgroundColor() : uikit::Color::white());
    ownCurrencyField_->layer().cornerRadius = 6;
    ownCurrencyField_->layer().borderWidth = 1;
    ownCurrencyField_->layer().borderColor = dark ? digitBackgroundColor() : functionBackgroundColor();
    ownCurrencyField_->setDelegate(this, screenLifetime_.weak());

    auto* colorLabel = addCaption("Coloured display", 17);
    colorSwitch_ = view()->add(std::make_unique<uikit::Switch>());
    colorSwitch_->setOn(suite->boolForKey(SharedSettings::coloredDisplay));
    colorSwitch_->onTintColor = equalBackgroundColor();
    colorSwitch_->addTarget(this, [this](uikit::Control&) { colorSwitchChanged(); }, uikit::ControlEventValueChanged,
                            screenLifetime_.weak());

    auto* note = addCaption("Ostrelo picks the changes up when its window next gets the focus.", 13);
    note->numberOfLines = 2;
    note->lineBreakMode = uikit::LineBreakByWordWrapping;
    layOut(*ownCurrencyLabel, *colorLabel, *note);
    activation_ = foundation::NotificationCenter::defaultCenter().addObserver(
        uikit::Application::didBecomeActiveNotification, nullptr,
        [this](const foundation::Notification&) { takeUpChanges(nullptr); });
}

void SettingsPageViewController::takeUpChanges(const uikit::View* writing) {
    const auto version = suite_->dataVersion();
    if (version == seenVersion_) return;
    seenVersion_ = version;
    if (writing != ownCurrencyField_ && !ownCurrencyField_->isEditing())
        ownCurrencyField_->setText(suite_->stringForKey(SharedSettings::ownCurrencyRequest).value_or(""));
    if (writing != colorSwitch_) colorSwitch_->setOn(suite_->boolForKey(SharedSettings::coloredDisplay));
}

void SettingsPageViewController::write(const std::string& key, const foundation::PropertyListValue& value,
                                       const uikit::View& control) {
    takeUpChanges(&control);
    suite_->set(key, value);
    suite_->synchronize();
}

uikit::Label* SettingsPageViewController::addCaption(const std::string& text, double size) {
    auto* label = view()->add(std::make_unique<uikit::Label>());
    label->setText(text);
    label->setFont(themeFont(size));
    label->setTextColor(labelTextColor());
    return label;
}

// Two rows, caption on the left and control on the right, then the note across the page. Every
// view is placed against the page alone.
void SettingsPageViewController::layOut(uikit::Label& ownCurrencyLabel, uikit::Label& colorLabel, uikit::Label& note) {
    uikit::View& page = *view();
    auto place = [&page](uikit::View& v, double top, double left, double right, std::optional<double> width,
                         double height) {
        v.translatesAutoresizingMaskIntoConstraints = false;
        uikit::LayoutConstraint::activateConstraints({
            v.topAnchor().constraintEqualToAnchor(page.topAnchor(), top),
            v.rightAnchor().constraintEqualToAnchor(page.rightAnchor(), -right),
            width ? v.widthAnchor().constraintEqualToConstant(*width)
                  : v.leftAnchor().constraintEqualToAnchor(page.leftAnchor(), left),
            v.heightAnchor().constraintEqualToConstant(height),
        });
    };
    const double secondRow = margin + rowHeight + margin;
    place(*ownCurrencyField_, margin, 0, margin, fieldWidth, rowHeight);
    place(ownCurrencyLabel, margin, margin, margin + fieldWidth + margin / 2, std::nullopt, rowHeight);
    place(*colorSwitch_, secondRow + (rowHeight - switchHeight) / 2, 0, margin, switchWidth, switchHeight);
    place(colorLabel, secondRow, margin, margin + switchWidth + margin / 2, std::nullopt, rowHeight);
    place(note, secondRow + rowHeight + margin, margin, margin, std::nullopt, 2 * rowHeight);
}

void SettingsPageViewController::textFieldDidEndEditing(uikit::TextField& textField) {
    write(SharedSettings::ownCurrencyRequest, textField.text(), textField);
}

void SettingsPageViewController::colorSwitchChanged() {
    write(SharedSettings::coloredDisplay, colorSwitch_->isOn(), *colorSwitch_);
}

}  // namespace ostrelo
