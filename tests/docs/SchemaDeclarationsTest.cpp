// docs/scenario.xsd read with the XML library: it declares the answer elements
// of the rules table and their output children, each with exactly the rules'
// attributes in the rules' order, typed after their kind.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "docs/SourceFile.h"
#include "host/AnswerRules.h"
#include "xml/TolvexXml.h"
#include "xml/XmlLoad.h"

namespace {

using namespace TolvexTest;
using Tolvex29::AnswerRule;
using Tolvex29::AttributeRule;
using Tolvex29::ValueKind;
using TolvexXml::IXmlNode;
using TolvexXml::TXmlNode;

// An attribute declaration: its name and the name of its type.
using Declaration = std::pair<std::string, std::string>;

class Schema {
public:
    Schema() : document_(TolvexXml::LoadXmlFile(SourceFile("docs/scenario.xsd").string())) {
        for (const IXmlNode& child : Elements(*document_->NeedChild("xs:schema"))) {
            const std::string name = child->GetAttrText("name", "");
            if (child->GetNodeName() == "xs:complexType") types_[name] = child;
            if (child->GetNodeName() == "xs:element") elements_[name] = child;
        }
    }

    std::set<std::string> ElementNames() const {
        std::set<std::string> names;
        for (const auto& [name, element] : elements_) names.insert(name);
        return names;
    }

    // The attributes that a global element declares, with those of the types it
    // extends; none when there is no such element.
    std::optional<std::vector<Declaration>> AttributesOf(const std::string& elementName) const {
        const auto element = elements_.find(elementName);
        if (element == elements_.end()) return std::nullopt;
        const std::string type = element->second->GetAttrText("type", "");
        return AttributesIn(type.empty() ? *element->second : *types_.at(type));
    }

private:
    static std::vector<IXmlNode> Elements(TXmlNode& node) {
        std::vector<IXmlNode> elements;
        const TolvexXml::IXmlNodeList children = node.GetChildNodes();
        for (std::int32_t index = 0; index < children->GetCount(); ++index)
            if (children->GetItem(index)->GetNodeType() == TolvexXml::ELEMENT_NODE)
                elements.push_back(children->GetItem(index));
        return elements;
    }

    // The attribute declarations inside the node in document order, an extended
    // type's before the extension's own.
    std::vector<Declaration> AttributesIn(TXmlNode& node) const {
        std::vector<Declaration> found;
        const auto append = [&](const std::vector<Declaration>& more) {
            found.insert(found.end(), more.begin(), more.end());
        };
        for (const IXmlNode& child : Elements(node)) {
            if (child->GetNodeName() == "xs:attribute") {
                found.emplace_back(child->GetAttrText("name", ""), child->GetAttrText("type", ""));
                continue;
            }
            if (child->GetNodeName() == "xs:extension")
                append(AttributesIn(*types_.at(child->GetAttrText("base", ""))));
            append(AttributesIn(*child));
        }
        return found;
    }

    TolvexXml::IXmlDocument document_;
    std::map<std::string, IXmlNode> types_;
    std::map<std::string, IXmlNode> elements_;
};

std::string TypeOf(ValueKind kind) {
    switch (kind) {
        case ValueKind::Integer: return "Integer";
        case ValueKind::Boolean: return "Boolean";
        case ValueKind::Text: break;
    }
    return "Text";
}

std::vector<Declaration> Declarations(const std::vector<AttributeRule>& attributes) {
    std::vector<Declaration> declarations;
    for (const AttributeRule& attribute : attributes) declarations.emplace_back(attribute.name, TypeOf(attribute.kind));
    return declarations;
}

TEST(SchemaDeclarationsTest, AnswersAndOutputChildrenDeclareTheRulesAttributes) {
    const Schema schema;
    for (const AnswerRule& rule : Tolvex29::AnswerRules()) {
        for (const std::string_view name : rule.elementNames)
            EXPECT_EQ(schema.AttributesOf(std::string(name)), Declarations(rule.attributes)) << name;
        if (rule.outputChild) {
            EXPECT_EQ(schema.AttributesOf(rule.outputChild), Declarations(rule.outputAttributes)) << rule.outputChild;
        }
    }
}

TEST(SchemaDeclarationsTest, DeclaresTheRootInBothSpellingsAndTheRulesElementsOnly) {
    std::set<std::string> expected{"Root", "root"};
    for (const AnswerRule& rule : Tolvex29::AnswerRules()) {
        for (const std::string_view name : rule.elementNames) expected.emplace(name);
        if (rule.outputChild) expected.insert(rule.outputChild);
    }
    EXPECT_EQ(Schema().ElementNames(), expected);
}

}  // namespace
