#pragma once

#include "platform/uikit/TextDocumentProxy.h"

namespace uikit {

// What the host of a keyboard offers it: the document it types into and the switch to the next
// input mode.
class InputViewHost {
public:
    virtual ~InputViewHost() = default;
    virtual TextDocumentProxy& textDocumentProxy() = 0;
    virtual void advanceToNextInputMode() = 0;
};

}  // namespace uikit
