#include "platform/foundation/XmlParser.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <memory>
#include <utility>

namespace foundation {

namespace {

struct ParserDeleter {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

struct ParseState {
    XML_Parser parser = nullptr;
    const XmlParser::ElementStartHandler* handler = nullptr;
    std::string failure;  // set by a callback that stopped the parse
};

void stopWith(ParseState& state, std::string reason) {
    if (state.failure.empty()) state.failure = std::move(reason);
    XML_StopParser(state.parser, XML_FALSE);
}

void XMLCALL startElement(void* context, const XML_Char* name, const XML_Char** attributes) {
    auto& state = *static_cast<ParseState*>(context);
    if (state.handler == nullptr || !*state.handler) return;
    try {
        XmlParser::Attributes map;
        for (const XML_Char** attribute = attributes; attribute[0] != nullptr; attribute += 2)
            map.emplace(attribute[0], attribute[1]);
        (*state.handler)(name, map);
    } catch (const std::exception& exception) {
        stopWith(state, std::string("element handler failed: ") + exception.what());
    } catch (...) {
        stopWith(state, "element handler failed");
    }
}

void XMLCALL entityDeclaration(void* context, const XML_Char* name, int, const XML_Char*, int, const XML_Char*,
                               const XML_Char*, const XML_Char*, const XML_Char*) {
    auto& state = *static_cast<ParseState*>(context);
    stopWith(state, std::string("the document declares the entity \"") + name + "\"; entity declarations are refused");
}

void XMLCALL skippedEntity(void* context, const XML_Char* name, int) {
    auto& state = *static_cast<ParseState*>(context);
    stopWith(state, std::string("the entity \"") + name + "\" is not defined in the document");
}

int XMLCALL externalEntityReference(XML_Parser, const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
    return XML_STATUS_ERROR;  // never loaded
}

}  // namespace

XmlParser::XmlParser(std::vector<std::uint8_t> data) : data_(std::move(data)) {}

void XmlParser::setElementStartHandler(ElementStartHandler handler) { handler_ = std::move(handler); }

bool XmlParser::parse() {
    errorDescription_.clear();
    std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate(nullptr));
    if (!parser) {
        errorDescription_ = "the XML parser could not be created";
        return false;
    }
    ParseState state;
    state.parser = parser.get();
    state.handler = &handler_;
    XML_SetUserData(parser.get(), &state);
    XML_SetStartElementHandler(parser.get(), startElement);
    XML_SetEntityDeclHandler(parser.get(), entityDeclaration);
    XML_SetSkippedEntityHandler(parser.get(), skippedEntity);
    XML_SetExternalEntityRefHandler(parser.get(), externalEntityReference);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);

    const char* bytes = reinterpret_cast<const char*>(data_.data());
    std::size_t left = data_.size();
    XML_Status status = XML_STATUS_OK;
    do {
        const int chunk = static_cast<int>(std::min<std::size_t>(left, INT_MAX / 2));
        left -= static_cast<std::size_t>(chunk);
        status = XML_Parse(parser.get(), bytes, chunk, left == 0 ? XML_TRUE : XML_FALSE);
        bytes += chunk;
    } while (status == XML_STATUS_OK && left > 0);

    if (status == XML_STATUS_OK && state.failure.empty()) return true;
    std::string reason = !state.failure.empty() ? state.failure : XML_ErrorString(XML_GetErrorCode(parser.get()));
    errorDescription_ = reason + " at line " + std::to_string(XML_GetCurrentLineNumber(parser.get())) + ", column " +
                        std::to_string(XML_GetCurrentColumnNumber(parser.get()));
    return false;
}

}  // namespace foundation
