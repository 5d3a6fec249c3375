#pragma once

#include <memory>

namespace foundation {

// Held by an object that can be the target of delayed work (performs, timers, observers,
// animation completions) or of a link (delegates, data sources, action targets: see WeakLink).
// Pending work and links keep only a weak token and are dropped once the owner, and with it
// this member, is gone.
class Lifetime {
public:
    Lifetime() : token_(std::make_shared<char>(0)) {}
    Lifetime(const Lifetime&) : token_(std::make_shared<char>(0)) {}
    Lifetime& operator=(const Lifetime&) { return *this; }
    std::weak_ptr<void> weak() const { return token_; }

private:
    std::shared_ptr<char> token_;
};

}  // namespace foundation
