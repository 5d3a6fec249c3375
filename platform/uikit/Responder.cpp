#include "platform/uikit/Responder.h"

namespace uikit {

void Responder::touchesBegan(const TouchSet& t, const Event* e) {
    if (auto* next = nextResponder()) next->touchesBegan(t, e);
}
void Responder::touchesMoved(const TouchSet& t, const Event* e) {
    if (auto* next = nextResponder()) next->touchesMoved(t, e);
}
void Responder::touchesEnded(const TouchSet& t, const Event* e) {
    if (auto* next = nextResponder()) next->touchesEnded(t, e);
}
void Responder::touchesCancelled(const TouchSet& t, const Event* e) {
    if (auto* next = nextResponder()) next->touchesCancelled(t, e);
}
void Responder::pressesBegan(const PressSet& p, const Event* e) {
    if (auto* next = nextResponder()) next->pressesBegan(p, e);
}
void Responder::pressesEnded(const PressSet& p, const Event* e) {
    if (auto* next = nextResponder()) next->pressesEnded(p, e);
}

}  // namespace uikit
