#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/uikit/AffineTransform.h"
#include "platform/uikit/AnimationValue.h"
#include "platform/uikit/BasicAnimation.h"
#include "platform/uikit/Color.h"
#include "platform/uikit/Rect.h"
#include "platform/uikit/Transaction.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace uikit {

class View;

// A node of the drawn tree. Geometry: `bounds` is the layer's own coordinate space, `position`
// is where the centre of the bounds sits in the superlayer, `transform` applies about that
// centre. Sublayers are owned (shared, since the layer of a view is also held by its view) and
// drawn in order of z-position, then of the list. The superlayer link does not own.
// Model values are what was set; presented values include running animations.
class Layer : public std::enable_shared_from_this<Layer> {
public:
    Layer() = default;
    virtual ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    static std::shared_ptr<Layer> make() { return std::make_shared<Layer>(); }

    // Tree
    void addSublayer(std::shared_ptr<Layer> layer);
    void insertSublayer(std::shared_ptr<Layer> layer, std::size_t index);
    void removeFromSuperlayer();
    Layer* superlayer() const { return superlayer_; }
    const std::vector<std::shared_ptr<Layer>>& sublayers() const { return sublayers_; }
    // The last sublayer with this name, or null.
    Layer* sublayerNamed(const std::string& name) const;
    std::string name;

    // Geometry
    Rect frame() const;
    void setFrame(const Rect& frame);
    Rect bounds() const { return bounds_; }
    void setBounds(const Rect& bounds) { bounds_ = bounds; }
    Point position() const { return position_; }
    void setPosition(Point position) { position_ = position; }
    AffineTransform transform() const { return transform_; }
    void setTransform(const AffineTransform& transform) { transform_ = transform; }
    double zPosition = 0;
    // Maps a point of this layer's space into its superlayer's (model or presented values).
    AffineTransform transformToSuperlayer(bool presented = false) const;

    // Appearance
    std::optional<Color> backgroundColor;
    double opacity() const { return opacity_; }
    void setOpacity(double opacity) { opacity_ = opacity; }
    double cornerRadius = 0;
    double borderWidth = 0;
    Color borderColor = Color::black();
    bool hidden = false;
    bool masksToBounds = false;
    std::shared_ptr<Layer> mask;

    // The view whose layer this is (not owned), or null.
    View* view() const { return view_; }
    void setView(View* view) { view_ = view; }

    // Animations
    void addAnimation(BasicAnimation animation, const std::string& key);
    void removeAnimation(const std::string& key);
    const BasicAnimation* animationForKey(const std::string& key) const;
    std::vector<std::string> animationKeys() const;
    bool hasAnimations() const { return !animations_.empty(); }

    virtual std::optional<AnimationValue> modelValue(const std::string& keyPath) const;
    AnimationValue presentedValue(const std::string& keyPath, const AnimationValue& model) const;
    double presentedOpacity() const;
    AffineTransform presentedTransform() const;
    Point presentedPosition() const;
    Rect presentedBounds() const;
    std::optional<Color> presentedBackgroundColor() const;

protected:
    foundation::Lifetime lifetime_;

private:
    struct Running {
        std::string key;
        std::uint64_t serial;
        BasicAnimation animation;
        double start;
        std::shared_ptr<Transaction::Group> group;
    };
    void finish(std::uint64_t serial);
    void stop(std::vector<Running>::iterator it);
    void detachChild(Layer* child);
    // The presented value of `keyPath` when it holds a T, else the model value.
    template <typename T>
    T presentedAs(const std::string& keyPath, const T& model) const;

    std::vector<std::shared_ptr<Layer>> sublayers_;
    Layer* superlayer_ = nullptr;
    View* view_ = nullptr;
    Rect bounds_;
    Point position_;
    AffineTransform transform_;
    double opacity_ = 1;
    std::vector<Running> animations_;
    std::uint64_t nextSerial_ = 1;
};

}  // namespace uikit
