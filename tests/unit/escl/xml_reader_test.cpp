#include <gtest/gtest.h>

#include <string>

#include "escl/xml_reader.h"

namespace tarnwick {
namespace {

struct Refused {
    const char* name;
    std::string text;
};

class XmlRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(XmlRefused, GivesNoDocumentButAReason) {
    const XmlResult result = parseXml(GetParam().text);
    EXPECT_FALSE(result.root);
    EXPECT_FALSE(result.error.empty());
}

std::string nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += "<a>";
    for (int i = 0; i < depth; ++i) text += "</a>";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlRefused,
    ::testing::Values(
        Refused{"doctype", "<!DOCTYPE x [<!ENTITY e \"eeee\">]><x>&e;</x>"},
        Refused{"entityDeclaredInside", "<x><!ENTITY e \"e\"></x>"},
        Refused{"unknownEntity", "<x>&e;</x>"}, Refused{"externalEntity", "<x>&xxe;</x>"},
        Refused{"deeperThanTheBound", nested(kMaxXmlDepth + 1)},
        Refused{"nestingWithoutEnd", std::string(100000, '<') + "a"},
        Refused{"openTagsWithoutEnd",
                [] {
                    std::string t;
                    for (int i = 0; i < 20000; ++i) t += "<a>";
                    return t;
                }()},
        Refused{"tooManyElements", "<r>" +
                                       [] {
                                           std::string t;
                                           for (std::size_t i = 0; i <= kMaxXmlElements; ++i)
                                               t += "<a/>";
                                           return t;
                                       }() +
                                       "</r>"},
        Refused{"tooLarge", "<r>" + std::string(kMaxXmlBytes, ' ') + "</r>"},
        Refused{"mismatchedEnd", "<a><b></a></b>"}, Refused{"unterminatedComment", "<a><!-- </a>"},
        Refused{"zeroCharacter", "<a>&#0;</a>"},
        Refused{"characterBeyondUnicode", "<a>&#x110000;</a>"},
        Refused{"html", "<html><body>Not a scanner</body>"},
        Refused{"textAfterRoot", "<a/>trailing"}, Refused{"empty", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XmlReader, TakesTheDeepestAllowedNesting) {
    EXPECT_TRUE(parseXml(nested(kMaxXmlDepth)).root);
}

TEST(XmlReader, ResolvesPrefixesAndFindsChildrenByLocalNameWhateverTheirPrefix) {
    const XmlResult result = parseXml(
        "<?xml version='1.0'?>\n<!-- c --><scan:Caps xmlns:scan='urn:s' xmlns:pwg=\"urn:p\">"
        "<pwg:Version>2.0</pwg:Version><scan:Range><Min> 1 </Min></scan:Range>"
        "<Default xmlns='urn:d'/><scan:T>a&amp;b&#x41;&#66;<![CDATA[<c>]]></scan:T></scan:Caps>");
    ASSERT_TRUE(result.root) << result.error;
    const XmlElement& root = *result.root;
    EXPECT_EQ(root.name, "Caps");
    EXPECT_EQ(root.ns, "urn:s");
    EXPECT_EQ(root.child("Version")->ns, "urn:p");
    EXPECT_EQ(root.find({"Range", "Min"})->text, "1");
    EXPECT_EQ(root.find({"Range", "Min"})->ns, "");
    EXPECT_EQ(root.child("Default")->ns, "urn:d");
    EXPECT_EQ(root.childText("T"), "a&bAB<c>");
    EXPECT_EQ(root.childText("Missing"), "");
}

}  // namespace
}  // namespace tarnwick
