#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace uikit {

class GestureRecognizer;
class View;
class ViewController;

// Makes views, gesture recognisers and controllers by class name for scenes. The toolkit's own
// classes (View, Label, Button, ScrollView, Switch, PickerView; TapGestureRecognizer,
// LongPressGestureRecognizer; ViewController) are registered from the start; higher layers
// register theirs before loading scenes.
class ClassRegistry {
public:
    using ViewFactory = std::function<std::unique_ptr<View>()>;
    using ControllerFactory = std::function<std::unique_ptr<ViewController>()>;
    using RecognizerFactory = std::function<std::unique_ptr<GestureRecognizer>()>;

    static ClassRegistry& shared();

    void registerView(const std::string& name, ViewFactory factory);
    void registerController(const std::string& name, ControllerFactory factory);
    void registerRecognizer(const std::string& name, RecognizerFactory factory);
    template <class T>
    void registerView(const std::string& name) {
        registerView(name, [] { return std::make_unique<T>(); });
    }
    template <class T>
    void registerController(const std::string& name) {
        registerController(name, [] { return std::make_unique<T>(); });
    }

    template <class T>
    void registerRecognizer(const std::string& name) {
        registerRecognizer(name, [] { return std::make_unique<T>(); });
    }

    // Null for an unknown name.
    std::unique_ptr<View> makeView(const std::string& name) const;
    std::unique_ptr<ViewController> makeController(const std::string& name) const;
    std::unique_ptr<GestureRecognizer> makeRecognizer(const std::string& name) const;

private:
    ClassRegistry();
    std::map<std::string, ViewFactory> views_;
    std::map<std::string, ControllerFactory> controllers_;
    std::map<std::string, RecognizerFactory> recognizers_;
};

}  // namespace uikit
