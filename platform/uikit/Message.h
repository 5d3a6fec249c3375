#pragma once

namespace uikit {

// A message of a conversation. The host here only takes inserted text: it neither sends nor
// receives messages, so the message calls of an extension's controller never come.
struct Message {};

}  // namespace uikit
