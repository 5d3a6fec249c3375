#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace foundation {

// Event-driven XML parsing over expat. Element names come as written, prefixes
// included ("gesmes:Envelope"): there is no namespace processing. Nothing outside the
// bytes is ever read: external entities and external DTD parts are never loaded, and
// a document that declares entities of its own, or refers to one it does not define, is
// refused (parse() gives false).
class XmlParser {
public:
    using Attributes = std::map<std::string, std::string>;
    using ElementStartHandler = std::function<void(const std::string& elementName, const Attributes& attributes)>;

    explicit XmlParser(std::vector<std::uint8_t> data);
    XmlParser(const XmlParser&) = delete;
    XmlParser& operator=(const XmlParser&) = delete;

    void setElementStartHandler(ElementStartHandler handler);

    // Parses the whole document, calling the handler for each element start in document
    // order. True when the document was well formed to its end; false otherwise (the
    // handler may have seen the elements before the error). A handler that throws ends
    // the parse with false.
    bool parse();

    // Why the last parse failed ("" after a successful one): message, line and column.
    const std::string& errorDescription() const { return errorDescription_; }

private:
    std::vector<std::uint8_t> data_;
    ElementStartHandler handler_;
    std::string errorDescription_;
};

}  // namespace foundation
