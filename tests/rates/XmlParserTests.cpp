#include "platform/foundation/XmlParser.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using foundation::XmlParser;

namespace {

struct Seen {
    std::vector<std::pair<std::string, XmlParser::Attributes>> elements;
    bool wellFormed = false;
    std::string error;
};

Seen parse(const std::string& text) {
    XmlParser parser(std::vector<std::uint8_t>(text.begin(), text.end()));
    Seen seen;
    parser.setElementStartHandler([&seen](const std::string& name, const XmlParser::Attributes& attributes) {
        seen.elements.emplace_back(name, attributes);
    });
    seen.wellFormed = parser.parse();
    seen.error = parser.errorDescription();
    return seen;
}

}  // namespace

TEST(XmlParser, ReportsElementsAsWrittenWithTheirAttributesInDocumentOrder) {
    const Seen seen = parse("<?xml version='1.0'?>\n<a:Envelope xmlns:a='urn:x' xmlns='urn:y'>"
                            "<Cube><CUBE time='2026-07-06'/><cube currency=\"USD\" rate='1.0850' extra='&amp;'/>"
                            "</Cube>text<![CDATA[<Cube/>]]><!-- <Cube/> --></a:Envelope>");
    EXPECT_TRUE(seen.wellFormed);
    EXPECT_EQ(seen.error, "");
    ASSERT_EQ(seen.elements.size(), 4u);
    EXPECT_EQ(seen.elements[0].first, "a:Envelope");  // no namespace processing
    EXPECT_EQ(seen.elements[0].second.at("xmlns:a"), "urn:x");
    EXPECT_EQ(seen.elements[1].first, "Cube");
    EXPECT_TRUE(seen.elements[1].second.empty());
    EXPECT_EQ(seen.elements[2].first, "CUBE");
    EXPECT_EQ(seen.elements[2].second, (XmlParser::Attributes{{"time", "2026-07-06"}}));
    EXPECT_EQ(seen.elements[3].second,
              (XmlParser::Attributes{{"currency", "USD"}, {"rate", "1.0850"}, {"extra", "&"}}));
}

TEST(XmlParser, DocumentsThatAreNotWellFormedAreReportedWithTheElementsSeenBeforeTheError) {
    const Seen cut = parse("<a><b x='1'/><c y='2'/><d");
    EXPECT_FALSE(cut.wellFormed);
    EXPECT_EQ(cut.elements.size(), 3u);
    EXPECT_NE(cut.error.find("line 1"), std::string::npos) << cut.error;

    EXPECT_FALSE(parse("").wellFormed);
    EXPECT_FALSE(parse("<a>").wellFormed);                      // never closed
    EXPECT_FALSE(parse("<a></b>").wellFormed);                  // mismatched
    EXPECT_FALSE(parse("<a/><b/>").wellFormed);                 // two roots
    EXPECT_FALSE(parse("<html><body><hr></body></html>").wellFormed);
    EXPECT_FALSE(parse("<a x='1' x='2'/>").wellFormed);         // duplicate attribute
    EXPECT_FALSE(parse("<a>\xff\xfe</a>").wellFormed);          // not UTF-8
    EXPECT_FALSE(parse(std::string("<a>\0</a>", 8)).wellFormed);
    EXPECT_TRUE(parse("<a/>").wellFormed);
}

TEST(XmlParser, NeverLoadsEntitiesAndRefusesEntityDeclarations) {
    // External entities: never read, whatever they point at.
    const Seen external = parse("<?xml version='1.0'?><!DOCTYPE a [<!ENTITY e SYSTEM 'file:///etc/passwd'>]>"
                                "<a>&e;</a>");
    EXPECT_FALSE(external.wellFormed);
    EXPECT_NE(external.error.find("entity"), std::string::npos) << external.error;

    // Exponential internal entities.
    std::string laughs = "<?xml version='1.0'?><!DOCTYPE a [<!ENTITY l0 'ha'>";
    for (int i = 1; i < 10; ++i) {
        std::string body;
        for (int k = 0; k < 10; ++k) body += "&l" + std::to_string(i - 1) + ";";
        laughs += "<!ENTITY l" + std::to_string(i) + " '" + body + "'>";
    }
    laughs += "]><a>&l9;</a>";
    EXPECT_FALSE(parse(laughs).wellFormed);

    // An external DTD is not fetched; its entities stay undefined.
    const Seen dtd = parse("<?xml version='1.0'?><!DOCTYPE a SYSTEM 'http://127.0.0.1:9/x.dtd'><a>&x;</a>");
    EXPECT_FALSE(dtd.wellFormed);
    const Seen parameter = parse("<?xml version='1.0'?><!DOCTYPE a [<!ENTITY % p SYSTEM 'file:///etc/passwd'> %p;]>"
                                 "<a/>");
    EXPECT_FALSE(parameter.wellFormed);

    // The predefined and numeric references still work.
    const Seen plain = parse("<a v='&lt;&#65;&#x42;'/>");
    EXPECT_TRUE(plain.wellFormed);
    ASSERT_EQ(plain.elements.size(), 1u);
    EXPECT_EQ(plain.elements[0].second.at("v"), "<AB");
}

TEST(XmlParser, AHandlerThatThrowsEndsTheParseAsFailed) {
    XmlParser parser(std::vector<std::uint8_t>{'<', 'a', '>', '<', 'b', '/', '>', '<', '/', 'a', '>'});
    int calls = 0;
    parser.setElementStartHandler([&calls](const std::string&, const XmlParser::Attributes&) {
        ++calls;
        throw std::runtime_error("stop");
    });
    EXPECT_FALSE(parser.parse());
    EXPECT_EQ(calls, 1);
    EXPECT_NE(parser.errorDescription().find("stop"), std::string::npos);
}
