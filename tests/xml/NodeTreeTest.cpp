// Child lists, parent links, insertion and removal, owner documents, name tables
// of inserted nodes and the lifetime of counted references.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "xml/TolvexXml.h"

namespace TolvexXml {
namespace {

class NodeTreeTest : public ::testing::Test {
protected:
    IXmlDocument doc = new TXmlDocument(GlobalNameTable());

    // The node names of the node's children, in order.
    static std::vector<std::string> ChildNames(const IXmlNode& node) {
        std::vector<std::string> names;
        IXmlNodeList children = node->GetChildNodes();
        for (std::int32_t i = 0; i < children->GetCount(); ++i) names.push_back(children->GetItem(i)->GetNodeName());
        return names;
    }
    using Names = std::vector<std::string>;
};

TEST_F(NodeTreeTest, NodeKindsHaveTheirTypeAndName) {
    IXmlElement root = doc->AppendElement("Root");
    struct Case {
        IXmlNode node;
        std::int32_t type;
        const char* name;
    } cases[] = {
        {root, ELEMENT_NODE, "Root"},
        {root->AppendText("t"), TEXT_NODE, "#text"},
        {root->AppendCDATA("c"), CDATA_SECTION_NODE, "#cdata-section"},
        {root->AppendComment("c"), COMMENT_NODE, "#comment"},
        {root->AppendProcessingInstruction("xml", ""), PROCESSING_INSTRUCTION_NODE, "xml"},
        {doc, DOCUMENT_NODE, "#document"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.node->GetNodeType(), c.type) << c.name;
        EXPECT_EQ(c.node->GetNodeName(), c.name);
    }
    EXPECT_EQ(cases[4].node->GetNameId(), doc->NameTable().XmlId());
}

TEST_F(NodeTreeTest, AsConversionsMatchOnlyTheirOwnKind) {
    IXmlNode nodes[] = {doc->CreateElement("e"), doc->CreateText("t"), doc->CreateCDATASection("c"),
                        doc->CreateComment("c"), doc->CreateProcessingInstruction("p", "d"), doc};
    for (std::size_t i = 0; i < std::size(nodes); ++i) {
        EXPECT_EQ(bool(nodes[i]->AsElement()), i == 0) << i;
        EXPECT_EQ(bool(nodes[i]->AsText()), i == 1) << i;
        EXPECT_EQ(bool(nodes[i]->AsCDATASection()), i == 2) << i;
        EXPECT_EQ(bool(nodes[i]->AsComment()), i == 3) << i;
        EXPECT_EQ(bool(nodes[i]->AsProcessingInstruction()), i == 4) << i;
    }
    EXPECT_TRUE(nodes[0]->AsElement() == nodes[0]);
    EXPECT_NE(dynamic_cast<TXmlElement*>(nodes[0]->GetObject()), nullptr);
}

TEST_F(NodeTreeTest, ChildNodesAreMadeOnceOnFirstNeed) {
    IXmlElement element = doc->CreateElement("e");
    EXPECT_EQ(element->PeekChildList(), nullptr);
    IXmlNodeList first = element->GetChildNodes();
    EXPECT_EQ(first->GetCount(), 0);
    EXPECT_TRUE(first == element->GetChildNodes());
    EXPECT_EQ(first->GetOwner(), element.Get());
}

TEST_F(NodeTreeTest, GetItemChecksTheIndex) {
    IXmlElement root = doc->AppendElement("Root");
    IXmlElement child = root->AppendElement("a");
    IXmlNodeList children = root->GetChildNodes();
    EXPECT_TRUE(children->GetItem(0) == child);
    for (std::int32_t bad : {-1, 1, 1000}) {
        try {
            children->GetItem(bad);
            ADD_FAILURE() << bad;
        } catch (const TolvexXmlException& e) {
            EXPECT_STREQ(e.what(), "Ошибка получения элемента списка: индекс выходит за пределы");
            EXPECT_STREQ(e.ClassName(), "TolvexXmlException");
        }
    }
    EXPECT_EQ(children->GetCount(), 1);
}

TEST_F(NodeTreeTest, CapacityGrowsInStepsAndNeverShrinks) {
    IXmlElement root = doc->AppendElement("Root");
    TXmlNodeList* list = root->GetChildList();
    std::vector<std::int32_t> capacities;
    for (int i = 0; i < 100; ++i) {
        root->AppendElement("a");
        if (capacities.empty() || capacities.back() != list->GetCapacity()) capacities.push_back(list->GetCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<std::int32_t>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
    root->RemoveAllChildren();
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_EQ(list->GetCapacity(), 118);
}

// The first items live inside the list object and later ones in storage of its
// own: every step below crosses or stays at that border, in both directions.
TEST_F(NodeTreeTest, ItemsKeepTheirOrderAndParentsAcrossTheListsOwnStorage) {
    IXmlElement root = doc->AppendElement("Root");
    IXmlNodeList children = root->GetChildNodes();
    auto element = [&](const char* name) { return IXmlNode(doc->CreateElement(name)); };
    struct Step {
        std::function<void()> change;
        Names expected;
    };
    const Step steps[] = {
        {[&] { root->AppendChild(element("a")); }, {"a"}},
        {[&] { root->InsertBefore(element("b"), children->GetItem(0)); }, {"b", "a"}},
        {[&] { root->InsertBefore(element("c"), children->GetItem(1)); }, {"b", "c", "a"}},
        {[&] { root->InsertBefore(element("d"), children->GetItem(0)); }, {"d", "b", "c", "a"}},
        {[&] { root->AppendChild(element("e")); }, {"d", "b", "c", "a", "e"}},
        {[&] { root->RemoveChild(children->GetItem(1)); }, {"d", "c", "a", "e"}},
        {[&] { root->ReplaceChild(element("f"), children->GetItem(3)); }, {"d", "c", "a", "f"}},
        {[&] { root->RemoveChild(children->GetItem(0)); }, {"c", "a", "f"}},
        {[&] { root->RemoveChild(children->GetItem(2)); }, {"c", "a"}},
        {[&] { root->InsertBefore(element("g"), children->GetItem(1)); }, {"c", "g", "a"}},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].change();
        EXPECT_EQ(ChildNames(root), steps[i].expected) << "step " << i;
        for (std::int32_t k = 0; k < children->GetCount(); ++k)
            EXPECT_EQ(children->GetItem(k)->GetParentNode(), root) << "step " << i << ", item " << k;
    }
    root->RemoveAllChildren();
    EXPECT_EQ(children->GetCount(), 0);
    EXPECT_EQ(children->GetCapacity(), 8);
}

TEST_F(NodeTreeTest, InsertBeforePlacesAtTheReferenceOrAtTheEnd) {
    IXmlElement root = doc->AppendElement("Root");
    IXmlElement other = doc->AppendElement("Other");
    IXmlElement b = root->AppendElement("b");
    root->InsertBefore(doc->CreateElement("a"), b);
    root->InsertBefore(doc->CreateElement("c"), nullptr);
    IXmlElement foreign = other->AppendElement("x");
    root->InsertBefore(doc->CreateElement("d"), foreign);  // not a child: at the end
    EXPECT_EQ(ChildNames(root), (Names{"a", "b", "c", "d"}));
}

TEST_F(NodeTreeTest, ReplaceChildSwapsOnlyAChild) {
    IXmlElement root = doc->AppendElement("Root");
    IXmlElement a = root->AppendElement("a");
    IXmlElement b = root->AppendElement("b");
    root->ReplaceChild(a, a);
    EXPECT_TRUE(a->GetParentNode() == root);
    root->ReplaceChild(doc->CreateElement("x"), doc->CreateElement("notChild"));
    EXPECT_EQ(ChildNames(root), (Names{"a", "b"}));
    IXmlElement n = doc->CreateElement("n");
    root->ReplaceChild(n, a);
    EXPECT_EQ(ChildNames(root), (Names{"n", "b"}));
    EXPECT_TRUE(n->GetParentNode() == root);
    EXPECT_FALSE(a->GetParentNode());
}

TEST_F(NodeTreeTest, RemoveChildReturnsTheFormerIndex) {
    IXmlElement root = doc->AppendElement("Root");
    root->AppendElement("a");
    IXmlElement b = root->AppendElement("b");
    root->AppendElement("c");
    EXPECT_EQ(root->RemoveChild(b), 1);
    EXPECT_FALSE(b->GetParentNode());
    EXPECT_EQ(root->RemoveChild(b), -1);
    EXPECT_EQ(doc->CreateElement("e")->RemoveChild(b), -1);
    EXPECT_EQ(ChildNames(root), (Names{"a", "c"}));
}

TEST_F(NodeTreeTest, NodeInTwoListsHasTheLastOwnerAsParent) {
    IXmlElement first = doc->AppendElement("first");
    IXmlElement second = doc->AppendElement("second");
    IXmlElement shared = doc->CreateElement("shared");
    first->AppendChild(shared);
    second->AppendChild(shared);
    EXPECT_TRUE(shared->GetParentNode() == second);
    EXPECT_EQ(second->RemoveChild(shared), 0);
    EXPECT_FALSE(shared->GetParentNode());
    EXPECT_EQ(first->GetChildNodes()->GetCount(), 1);
}

TEST_F(NodeTreeTest, FreeListLeavesParentsAlone) {
    IXmlElement root = doc->AppendElement("Root");
    IXmlElement a = root->AppendElement("a");
    IXmlNodeList selected = root->SelectNodes("a");
    EXPECT_EQ(selected->GetOwner(), nullptr);
    selected = nullptr;
    EXPECT_TRUE(a->GetParentNode() == root);
}

TEST_F(NodeTreeTest, EmptyNodeArgumentsAreInvalidTypecasts) {
    IXmlElement root = doc->AppendElement("Root");
    IXmlElement a = root->AppendElement("a");
    const auto expectInvalidCast = [](auto call) {
        try {
            call();
            ADD_FAILURE() << "no failure";
        } catch (const Platform::EInvalidCast& e) {
            EXPECT_STREQ(e.what(), "Invalid class typecast");
        }
    };
    expectInvalidCast([&] { root->AppendChild(nullptr); });
    expectInvalidCast([&] { root->InsertBefore(nullptr, a); });
    expectInvalidCast([&] { root->ReplaceChild(nullptr, a); });
    expectInvalidCast([&] { root->ReplaceChild(a, nullptr); });
    expectInvalidCast([&] { root->RemoveChild(nullptr); });
    EXPECT_EQ(ChildNames(root), (Names{"a"}));
}

TEST_F(NodeTreeTest, InsertingANodeUnderItselfFails) {
    IXmlElement root = doc->AppendElement("Root");
    IXmlElement child = root->AppendElement("child");
    EXPECT_THROW(root->AppendChild(root), TolvexXmlException);
    EXPECT_THROW(child->AppendChild(root), TolvexXmlException);
    EXPECT_THROW(child->InsertBefore(doc, nullptr), TolvexXmlException);
    EXPECT_EQ(root->GetChildNodes()->GetCount(), 1);
    EXPECT_EQ(child->GetChildNodes()->GetCount(), 0);
}

TEST_F(NodeTreeTest, CallThroughAnEmptyReferenceFails) {
    IXmlNode none = doc->SelectElement("missing");
    ASSERT_FALSE(none);
    EXPECT_THROW(none->GetText(), TolvexXmlException);
}

TEST_F(NodeTreeTest, OwnerDocumentIsFoundUpTheParents) {
    EXPECT_TRUE(doc->GetOwnerDocument() == doc);
    IXmlElement loose = doc->CreateElement("loose");
    EXPECT_FALSE(loose->GetOwnerDocument());
    IXmlElement root = doc->AppendElement("Root");
    IXmlElement deep = root->AppendElement("a")->AppendElement("b");
    EXPECT_TRUE(deep->GetOwnerDocument() == doc);
    root->AppendChild(loose);
    EXPECT_TRUE(loose->GetOwnerDocument() == doc);
}

TEST_F(NodeTreeTest, DocumentElementIsTheFirstElementChild) {
    EXPECT_FALSE(doc->GetDocumentElement());
    doc->AppendComment("c");
    EXPECT_FALSE(doc->GetDocumentElement());
    IXmlElement root = doc->AppendElement("Root");
    doc->AppendElement("Second");
    EXPECT_TRUE(doc->GetDocumentElement() == root);
}

TEST_F(NodeTreeTest, DocumentsMakePrivateTablesOnlyForTheGlobalMarker) {
    IXmlDocument other = new TXmlDocument(GlobalNameTable());
    EXPECT_NE(&doc->NameTable(), GlobalNameTable());
    EXPECT_NE(&doc->NameTable(), &other->NameTable());
    IXmlDocument sharing = new TXmlDocument(&doc->NameTable());
    EXPECT_EQ(&sharing->NameTable(), &doc->NameTable());
    IXmlDocument unmarked = new TXmlDocument(nullptr);
    EXPECT_EQ(unmarked->NameTable().NameCount(), 5);
    EXPECT_FALSE(doc->PreserveWhiteSpace);
    EXPECT_EQ(doc->CachedCodePage, 0u);
}

TEST_F(NodeTreeTest, InsertedNodeOfAnotherTableMovesToTheOwnersTable) {
    IXmlDocument source = new TXmlDocument(GlobalNameTable());
    source->AppendElement("Padding")->SetAttrText("MorePadding", "");
    IXmlElement moved = source->AppendElement("Zeta");
    moved->SetAttrText("Code", "1");
    IXmlElement inner = moved->AppendElement("Inner");
    inner->SetAttrText("Extra", "2");
    inner->AppendText("text");
    ASSERT_NE(source->NameTable().NameToId("Zeta", false), doc->NameTable().NameToId("Zeta", false));

    IXmlElement root = doc->AppendElement("Root");
    root->AppendChild(moved);
    TXmlNameTable& table = doc->NameTable();
    EXPECT_EQ(&moved->NameTable(), &table);
    EXPECT_EQ(&inner->NameTable(), &table);
    EXPECT_EQ(moved->GetNameId(), table.NameToId("Zeta", false));
    EXPECT_EQ(moved->GetNodeName(), "Zeta");
    EXPECT_EQ(moved->GetAttrNameId(0), table.NameToId("Code", false));
    EXPECT_TRUE(root->SelectElement("Zeta/Inner") == inner);
    EXPECT_EQ(inner->GetAttrText("Extra", ""), "2");
    EXPECT_EQ(inner->GetText(), "text");
    // The source tree still holds the node; it keeps reading its names right.
    EXPECT_EQ(source->GetChildNodes()->GetItem(1)->GetNodeName(), "Zeta");
}

// An element that counts its living instances.
class CountedElement : public TXmlElement {
public:
    CountedElement(TXmlNameTable* table, std::int32_t id) : TXmlElement(table, id) { ++alive; }
    ~CountedElement() override { --alive; }
    static inline int alive = 0;
};

TEST_F(NodeTreeTest, ReleasingTheRootFreesTheWholeTree) {
    {
        IXmlDocument local = new TXmlDocument(GlobalNameTable());
        IXmlNode parent = local;
        for (int depth = 0; depth < 50; ++depth) {
            IXmlNode child = new CountedElement(&local->NameTable(), 5);
            parent->AppendChild(child);
            parent->AppendChild(new CountedElement(&local->NameTable(), 5));
            parent = child;
        }
        EXPECT_EQ(CountedElement::alive, 100);
    }
    EXPECT_EQ(CountedElement::alive, 0);
}

TEST_F(NodeTreeTest, ReleasingATreeOfAnyDepthTakesNoStackOfItsDepth) {
    {
        // Built from the bottom up, so each insertion has no ancestors to check.
        IXmlNode top = new CountedElement(&doc->NameTable(), 5);
        for (int depth = 1; depth < 200000; ++depth) {
            IXmlNode parent = new CountedElement(&doc->NameTable(), 5);
            parent->AppendChild(top);
            top = parent;
        }
        EXPECT_EQ(CountedElement::alive, 200000);
    }
    EXPECT_EQ(CountedElement::alive, 0);
}

TEST_F(NodeTreeTest, CountsFollowTheReferences) {
    TXmlElement* raw = new TXmlElement(&doc->NameTable(), 5);
    EXPECT_EQ(raw->RefCount(), 0);
    IXmlElement element = raw;
    EXPECT_EQ(raw->RefCount(), 1);
    doc->AppendChild(element);
    EXPECT_EQ(raw->RefCount(), 2);
    IXmlNode copy = element;
    IXmlNode moved = std::move(copy);
    EXPECT_EQ(raw->RefCount(), 3);
    doc->RemoveAllChildren();
    moved = nullptr;
    EXPECT_EQ(raw->RefCount(), 1);
}

TEST_F(NodeTreeTest, ChildHeldAfterItsParentGoesHasNoParent) {
    IXmlElement child;
    {
        IXmlDocument local = new TXmlDocument(GlobalNameTable());
        child = local->AppendElement("Root")->AppendElement("child");
        EXPECT_TRUE(child->GetOwnerDocument() == local);
    }
    EXPECT_FALSE(child->GetParentNode());
    EXPECT_FALSE(child->GetOwnerDocument());
    EXPECT_EQ(child->GetNodeName(), "child");  // the name table lives on with the node
}

TEST_F(NodeTreeTest, ChildListThatOutlivesItsOwnerLosesTheLinks) {
    IXmlNodeList children;
    IXmlNode item;
    {
        IXmlElement owner = doc->CreateElement("owner");
        item = owner->AppendElement("item");
        children = owner->GetChildNodes();
    }
    EXPECT_EQ(children->GetOwner(), nullptr);
    EXPECT_EQ(children->GetCount(), 1);
    EXPECT_TRUE(children->GetItem(0) == item);
    EXPECT_FALSE(item->GetParentNode());
    children->Remove(0);
    EXPECT_EQ(item->RefCount(), 1);
}

TEST_F(NodeTreeTest, ReferencesMayBeTakenFromSeveralThreads) {
    IXmlElement element = doc->CreateElement("shared");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([element] {
            for (int i = 0; i < 20000; ++i) {
                IXmlNode copy = element;
                (void)copy;
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(element->RefCount(), 1);
}

}  // namespace
}  // namespace TolvexXml
