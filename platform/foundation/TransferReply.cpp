#include "platform/foundation/TransferReply.h"

#include <charconv>

namespace foundation {

namespace {

constexpr int lastCode = static_cast<int>(UrlError::Code::other);

// A text on one line: line breaks become spaces.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

// The text up to the next line break, which is consumed; none without one.
std::optional<std::string_view> takeLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return line;
}

// The next number of the line and the space after it, which are consumed.
template <class Number>
bool takeNumber(std::string_view& line, Number& value) {
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error != std::errc() || end == line.data()) return false;
    line.remove_prefix(static_cast<std::size_t>(end - line.data()));
    if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    return true;
}

}  // namespace

std::string TransferReply::encoded() const {
    const int code = error ? static_cast<int>(error->code) : -1;
    std::string text = std::to_string(code) + ' ' + std::to_string(response.statusCode) + ' ' +
                       std::to_string(error ? 0 : body.size()) + '\n' + oneLine(response.url) + '\n' +
                       oneLine(error ? error->description : std::string()) + '\n';
    if (!error) text.append(body.begin(), body.end());
    return text;
}

std::optional<TransferReply> TransferReply::decoded(std::string_view text) {
    auto head = takeLine(text);
    const auto url = takeLine(text);
    const auto description = takeLine(text);
    if (!head || !url || !description) return std::nullopt;
    int code = 0;
    std::size_t size = 0;
    TransferReply reply;
    if (!takeNumber(*head, code) || !takeNumber(*head, reply.response.statusCode) || !takeNumber(*head, size) ||
        !head->empty() || code < -1 || code > lastCode || size != text.size() || (code >= 0 && size != 0))
        return std::nullopt;
    reply.response.url = std::string(*url);
    if (code >= 0) reply.error = UrlError{static_cast<UrlError::Code>(code), std::string(*description)};
    reply.body.assign(text.begin(), text.end());
    return reply;
}

}  // namespace foundation
