#pragma once

#include "platform/uikit/Storyboard.h"

#include <memory>
#include <optional>
#include <string>

namespace uikit {

class View;
class ViewController;

// A view tree loaded for an owner that already exists: the file <Name>.nib, found where
// storyboards are (Storyboard::searchDirectories), in the scene format with one scene, whose
// identifier is the nib's name and whose controller class names the owner's class.
class Nib {
public:
    static std::optional<Nib> named(const std::string& name, std::string& error);
    static std::optional<Nib> parse(const std::string& text, const std::string& name, std::string& error);

    // The nib's top-level view, with the owner's outlets bound and its actions connected; null
    // (and nothing of the owner bound) on failure.
    std::unique_ptr<View> instantiateWithOwner(ViewController& owner, std::string& error) const;
    const std::string& name() const { return name_; }

private:
    Nib(std::string name, Storyboard scenes) : name_(std::move(name)), scenes_(std::move(scenes)) {}
    static std::optional<Nib> check(std::optional<Storyboard> scenes, const std::string& name, std::string& error);

    std::string name_;
    Storyboard scenes_;
};

}  // namespace uikit
