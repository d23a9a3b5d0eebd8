// The memory of loaded nodes: carved from shared blocks, each block given back
// once the load has left it and every object in it is gone, whatever order
// objects, documents and loads end in, and from whichever thread.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "xml/TolvexXml.h"
#include "xml/XmlLoadArena.h"

namespace TolvexXml {
namespace {

// Blocks in use beyond those in use when the test started.
class LoadArenaTest : public ::testing::Test {
protected:
    std::int64_t NewBlocks() const { return TXmlLoadArena::BlocksInUse() - blocksBefore_; }

private:
    const std::int64_t blocksBefore_ = TXmlLoadArena::BlocksInUse();
};

constexpr std::size_t ObjectSize = 72;
// Objects that fill a little more than three blocks.
constexpr int ObjectsOverThreeBlocks = static_cast<int>(3 * TXmlLoadArena::BlockSize / ObjectSize) + 10;

std::vector<void*> Carve(Platform::CarvedBlocks& arena, int count) {
    std::vector<void*> objects;
    for (int i = 0; i < count; ++i) objects.push_back(arena.Allocate(ObjectSize));
    return objects;
}

void FreeAll(const std::vector<void*>& objects) {
    for (void* object : objects) TXmlLoadArena::Free(object, ObjectSize);
}

TEST_F(LoadArenaTest, ObjectsAreAlignedAndDoNotOverlap) {
    TXmlLoadArena arena;
    std::vector<void*> objects;
    for (std::size_t size : {1, 8, 13, 72, 104, 1024, 3}) {
        void* object = arena.Allocate(size);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(object) % 8, 0u) << size;
        std::memset(object, static_cast<int>(size), size);
        objects.push_back(object);
    }
    int index = 0;
    for (std::size_t size : {1, 8, 13, 72, 104, 1024, 3}) {
        const auto* bytes = static_cast<const unsigned char*>(objects[static_cast<std::size_t>(index++)]);
        for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(bytes[i], static_cast<unsigned char>(size)) << size;
        TXmlLoadArena::Free(objects[static_cast<std::size_t>(index - 1)], size);
    }
}

using ExpectBlocks = std::function<void(std::int64_t)>;

struct EndingOrder {
    const char* name;
    // Ends the arena and frees the objects in some order; the blocks in use are
    // checked between the steps by the callback.
    std::function<void(std::unique_ptr<Platform::CarvedBlocks>&, std::vector<void*>&, const ExpectBlocks&)> run;
};

std::ostream& operator<<(std::ostream& out, const EndingOrder& order) { return out << order.name; }

class ArenaEndingOrderTest : public LoadArenaTest, public ::testing::WithParamInterface<EndingOrder> {};

TEST_P(ArenaEndingOrderTest, EveryBlockIsGivenBackExactlyWhenItsLastUserEnds) {
    auto arena = std::make_unique<Platform::CarvedBlocks>();
    std::vector<void*> objects = Carve(*arena, ObjectsOverThreeBlocks);
    ASSERT_EQ(NewBlocks(), 4);
    GetParam().run(arena, objects, [this](std::int64_t expected) { EXPECT_EQ(NewBlocks(), expected); });
    EXPECT_EQ(NewBlocks(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Xml, ArenaEndingOrderTest,
    ::testing::Values(
        EndingOrder{"ArenaFirst",
                    [](auto& arena, auto& objects, const auto& expectBlocks) {
                        arena.reset();
                        expectBlocks(4);
                        FreeAll(objects);
                    }},
        EndingOrder{"ObjectsFirst",
                    [](auto& arena, auto& objects, const auto& expectBlocks) {
                        FreeAll(objects);
                        // The block being carved stays until the arena leaves it.
                        expectBlocks(1);
                        arena.reset();
                    }},
        EndingOrder{"NewestObjectsFirstThenArena",
                    [](auto& arena, auto& objects, const auto& expectBlocks) {
                        for (auto object = objects.rbegin(); object != objects.rend(); ++object)
                            TXmlLoadArena::Free(*object, ObjectSize);
                        expectBlocks(1);
                        arena.reset();
                    }},
        EndingOrder{"OneSurvivorKeepsOnlyItsBlock",
                    [](auto& arena, auto& objects, const auto& expectBlocks) {
                        void* survivor = objects[objects.size() / 2];
                        arena.reset();
                        for (void* object : objects)
                            if (object != survivor) TXmlLoadArena::Free(object, ObjectSize);
                        expectBlocks(1);
                        TXmlLoadArena::Free(survivor, ObjectSize);
                    }},
        EndingOrder{"BatchedWhileTheArenaCarves",
                    [](auto& arena, auto& objects, const auto& expectBlocks) {
                        {
                            Platform::CarvedFreeBatch batch;
                            for (void* object : objects) batch.Add(object, ObjectSize);
                        }
                        expectBlocks(1);
                        arena.reset();
                    }},
        EndingOrder{"BatchedAcrossBlocksInTurnAfterTheArena",
                    [](auto& arena, auto& objects, const auto& expectBlocks) {
                        arena.reset();
                        // Every step changes block, so each piece is counted on its own.
                        Platform::CarvedFreeBatch batch;
                        const std::size_t half = objects.size() / 2;
                        for (std::size_t i = 0; i < half; ++i) {
                            batch.Add(objects[i], ObjectSize);
                            batch.Add(objects[half + i], ObjectSize);
                        }
                        for (std::size_t i = 2 * half; i < objects.size(); ++i) batch.Add(objects[i], ObjectSize);
                        expectBlocks(1);  // the last block's count waits in the batch
                    }},
        EndingOrder{"FreedOnOtherThreads",
                    [](auto& arena, auto& objects, const auto& expectBlocks) {
                        arena.reset();
                        expectBlocks(4);
                        const auto middle = objects.begin() + static_cast<std::ptrdiff_t>(objects.size() / 2);
                        std::thread first([&] { FreeAll(std::vector<void*>(objects.begin(), middle)); });
                        std::thread second([&] { FreeAll(std::vector<void*>(middle, objects.end())); });
                        first.join();
                        second.join();
                    }}));

// A region (the arena of a document's load) keeps every block while it lives,
// and after it each block goes with its last piece, as a plain carver's does.
TEST_F(LoadArenaTest, ARegionKeepsItsBlocksUntilItEnds) {
    auto region = std::make_unique<TXmlLoadArena>();
    std::vector<void*> objects = Carve(*region, ObjectsOverThreeBlocks);
    void* survivor = objects.back();
    objects.pop_back();
    EXPECT_EQ(region->LivePieces(), ObjectsOverThreeBlocks);
    EXPECT_TRUE(region->Carved(survivor));
    EXPECT_FALSE(TXmlLoadArena().Carved(survivor));
    FreeAll(objects);
    EXPECT_EQ(region->LivePieces(), 1);
    EXPECT_EQ(NewBlocks(), 4);
    region.reset();
    EXPECT_EQ(NewBlocks(), 1);
    TXmlLoadArena::Free(survivor, ObjectSize);
    EXPECT_EQ(NewBlocks(), 0);
}

TEST_F(LoadArenaTest, AnArenaThatCarvedNothingTakesNoBlock) {
    { TXmlLoadArena arena; }
    EXPECT_EQ(NewBlocks(), 0);
}

TEST_F(LoadArenaTest, AFailedConstructionGivesItsRoomBack) {
    {
        TXmlLoadArena arena;
        EXPECT_THROW(new (arena) TXmlArenaObject<TXmlElement>(nullptr, 0), TolvexXmlException);
        EXPECT_EQ(NewBlocks(), 1);
    }
    EXPECT_EQ(NewBlocks(), 0);
}

// --- loaded documents ---

std::string ManyElements(int count) {
    std::string text = "<Root>";
    for (int i = 0; i < count; ++i)
        text += "<Item Id=\"" + std::to_string(i) + "\" Name=\"item number " + std::to_string(i) + "\"><Text>t" +
                std::to_string(i) + "</Text><!--note " + std::to_string(i) + "--><![CDATA[data " + std::to_string(i) +
                "]]></Item>";
    return text + "</Root>";
}

IXmlDocument NewDocument() { return IXmlDocument(new TXmlDocument(GlobalNameTable())); }

struct LoadKind {
    const char* name;
    std::function<void(TXmlDocument&, const std::string&)> load;
};

std::ostream& operator<<(std::ostream& out, const LoadKind& kind) { return out << kind.name; }

class LoadedNodesTest : public LoadArenaTest, public ::testing::WithParamInterface<LoadKind> {
protected:
    IXmlDocument Loaded(const std::string& text) {
        IXmlDocument document = NewDocument();
        GetParam().load(*document, text);
        return document;
    }
};

constexpr int ItemCount = 5000;

TEST_P(LoadedNodesTest, NodesKeptFromAReleasedDocumentStayWhole) {
    std::vector<IXmlNode> kept;
    {
        IXmlDocument document = Loaded(ManyElements(ItemCount));
        ASSERT_GT(NewBlocks(), 3);
        IXmlNode root = document->SelectElement("Root");
        for (int i = 0; i < ItemCount; i += 250) kept.push_back(root->GetChildNodes()->GetItem(i));
    }
    ASSERT_GT(NewBlocks(), 0);
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const std::string number = std::to_string(k * 250);
        EXPECT_EQ(kept[k]->GetParentNode(), nullptr);
        EXPECT_EQ(kept[k]->GetAttrText("Id", ""), number);
        EXPECT_EQ(kept[k]->GetAttrText("Name", ""), "item number " + number);
        EXPECT_EQ(kept[k]->GetChildText("Text", ""), "t" + number);
    }
    kept.clear();
    EXPECT_EQ(NewBlocks(), 0);
}

TEST_P(LoadedNodesTest, ANodeMovedIntoABuiltDocumentOutlivesItsLoad) {
    IXmlDocument target = NewDocument();
    IXmlElement holder = target->AppendElement("Holder");
    {
        IXmlDocument source = Loaded(ManyElements(3));
        IXmlNode item = source->SelectElement("Root")->GetChildNodes()->GetItem(1);
        source->SelectElement("Root")->RemoveChild(item);
        holder->AppendChild(item);
        item->SetAttrText("Moved", "yes");
        item->AppendElement("Added");
    }
    IXmlDocument expected = NewDocument();
    expected->LoadXML(
        "<Holder><Item Id='1' Name='item number 1' Moved='yes'><Text>t1</Text><!--note 1--><![CDATA[data 1]]><Added/>"
        "</Item></Holder>");
    EXPECT_EQ(holder->GetXML(), expected->SelectElement("Holder")->GetXML());
    expected = nullptr;
    target = nullptr;
    holder = nullptr;
    EXPECT_EQ(NewBlocks(), 0);
}

TEST_P(LoadedNodesTest, ReloadingTheSameDocumentGivesTheFormerTreesBlocksBack) {
    IXmlDocument document = Loaded(ManyElements(ItemCount));
    const std::int64_t blocksOfOneTree = NewBlocks();
    for (int round = 0; round < 3; ++round) GetParam().load(*document, document->GetXML());
    EXPECT_EQ(NewBlocks(), blocksOfOneTree);
    document = nullptr;
    EXPECT_EQ(NewBlocks(), 0);
}

// Whatever holds a part of a loaded tree, or was changed in it, when the document
// goes: the part stays whole, everything else goes, and no block is left over.
TEST_P(LoadedNodesTest, WhatIsHeldOutlivesTheDocumentAndTheRestGoes) {
    struct Holding {
        const char* name;
        // Changes or takes something from the loaded document; returns what checks
        // the part kept after the document has gone.
        std::function<std::function<void()>(TXmlDocument&)> take;
    };
    const Holding holdings[] = {
        {"nothing", [](TXmlDocument&) { return std::function<void()>([] {}); }},
        {"a node taken out of the tree",
         [](TXmlDocument& document) {
             IXmlNode root = document.SelectElement("Root");
             IXmlNode item = root->GetChildNodes()->GetItem(7);
             root->RemoveChild(item);
             return std::function<void()>([item] { EXPECT_EQ(item->GetAttrText("Name", ""), "item number 7"); });
         }},
        {"a child list",
         [](TXmlDocument& document) {
             IXmlNodeList list = document.SelectElement("Root")->GetChildNodes();
             return std::function<void()>([list] {
                 EXPECT_EQ(list->GetCount(), 20);
                 EXPECT_EQ(list->GetItem(3)->GetChildText("Text", ""), "t3");
             });
         }},
        {"a comment and a CDATA section",
         [](TXmlDocument& document) {
             IXmlNodeList children = document.SelectElement("Root")->GetChildNodes()->GetItem(9)->GetChildNodes();
             IXmlNode comment = children->GetItem(1);
             IXmlNode section = children->GetItem(2);
             return std::function<void()>([comment, section] {
                 EXPECT_EQ(comment->GetXML(), "<!--note 9-->");
                 EXPECT_EQ(section->GetText(), "data 9");
             });
         }},
        {"the document's own list",
         [](TXmlDocument& document) {
             IXmlNodeList list = document.GetChildNodes();
             return std::function<void()>([list] { EXPECT_EQ(list->GetCount(), 0); });
         }},
        {"a node made apart and put into the tree",
         [](TXmlDocument& document) {
             document.SelectElement("Root")->AppendElement("Added")->SetAttrText("Long", std::string(3000, 'x'));
             return std::function<void()>([] {});
         }},
        {"changed nodes and values on the heap",
         [](TXmlDocument& document) {
             IXmlNode root = document.SelectElement("Root");
             IXmlNode item = root->GetChildNodes()->GetItem(2);
             item->SetAttrText("Id", std::string(100, 'i'));
             item->SetAttrInt64("Added", 5);
             item->SetValue(Platform::Variant::FromString(std::string(200, 'v')));
             root->GetChildNodes()->GetItem(4)->SelectElement("Text")->SetText(std::string(300, 't'));
             root->AppendComment(std::string(400, 'c'));
             return std::function<void()>([] {});
         }},
        {"an attribute view, copied out as a value",
         [](TXmlDocument& document) {
             const Platform::Variant value = document.SelectElement("Root")->GetChildNodes()->GetItem(5)->GetAttrValue(
                 "Name", Platform::Variant());
             return std::function<void()>([value] { EXPECT_EQ(value.ToString(), "item number 5"); });
         }},
    };
    for (const Holding& holding : holdings) {
        SCOPED_TRACE(holding.name);
        std::function<void()> check;
        {
            IXmlDocument document = Loaded(ManyElements(20));
            check = holding.take(*document);
        }
        check();
        check = nullptr;
        EXPECT_EQ(NewBlocks(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Xml, LoadedNodesTest,
    ::testing::Values(LoadKind{"Text", [](TXmlDocument& document, const std::string& text) { document.LoadXML(text); }},
                      LoadKind{"BinaryImage",
                               [](TXmlDocument& document, const std::string& text) {
                                   IXmlDocument parsed = NewDocument();
                                   parsed->LoadXML(text);
                                   const std::string image = parsed->GetBinaryXML();
                                   parsed = nullptr;
                                   document.LoadXML(image);
                               }}));

TEST_F(LoadArenaTest, AFailedLoadKeepsWhatItReadAndGivesEverythingBackWithTheDocument) {
    IXmlDocument document = NewDocument();
    EXPECT_THROW(document->LoadXML(ManyElements(ItemCount) + "<Broken"), TolvexXmlException);
    EXPECT_EQ(document->SelectElement("Root")->GetChildNodes()->GetCount(), ItemCount);
    document = nullptr;
    EXPECT_EQ(NewBlocks(), 0);
}

}  // namespace
}  // namespace TolvexXml
