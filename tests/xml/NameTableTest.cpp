// Interning names: predefined ids, first-letter tolerance, collisions, bounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/TolvexXml.h"

namespace TolvexXml {
namespace {

class NameTableTest : public ::testing::Test {
protected:
    IXmlNameTable table = new TXmlNameTable(TXmlNameTable::DefaultBucketCount);
};

TEST_F(NameTableTest, StartsWithTheFivePredefinedNames) {
    const char* predefined[] = {"#text", "#cdata-section", "#comment", "#document", "xml"};
    for (std::int32_t id = 0; id < 5; ++id) {
        EXPECT_EQ(table->IdToName(id), predefined[id]);
        EXPECT_EQ(table->NameToId(predefined[id], false), id);
    }
    EXPECT_EQ(table->TextId(), 0);
    EXPECT_EQ(table->CDataId(), 1);
    EXPECT_EQ(table->CommentId(), 2);
    EXPECT_EQ(table->DocumentId(), 3);
    EXPECT_EQ(table->XmlId(), 4);
    EXPECT_EQ(table->NameToId("Root", false), 5);
}

TEST_F(NameTableTest, PutsEachNameInTheBucketOfItsHash) {
    // Buckets of the predefined names in a table of 4096 buckets.
    const std::pair<std::int32_t, std::size_t> expected[] = {{0, 808}, {1, 2754}, {2, 1974}, {3, 3458}, {4, 3313}};
    for (const auto& [id, bucket] : expected) {
        EXPECT_EQ(TXmlNameTable::HashName(table->IdToName(id)) % 4096, bucket);
        EXPECT_EQ(table->Buckets()[bucket], TNameIndexArray{id});
    }
    EXPECT_EQ(TXmlNameTable::HashName(""), 0u);
    EXPECT_EQ(TXmlNameTable::HashName("\xff"), 255u);  // bytes count unsigned
}

TEST_F(NameTableTest, EmptyNameIsNeverStored) {
    for (bool tolerant : {false, true}) EXPECT_EQ(table->NameToId("", tolerant), -1);
    EXPECT_EQ(table->NameCount(), 5);
    EXPECT_EQ(table->IdToName(-1), "");
}

TEST_F(NameTableTest, IdsOutsideTheTableHaveNoName) {
    EXPECT_EQ(table->IdToName(5), "");
    EXPECT_EQ(table->IdToName(1000000), "");
    EXPECT_EQ(table->IdToName(-7), "");
}

TEST_F(NameTableTest, ExactMatchComesBeforeTheTolerantVariants) {
    const std::int32_t root = table->NameToId("Root", false);
    EXPECT_EQ(table->NameToId("Root", false), root);
    const std::int32_t smallRoot = table->NameToId("root", false);
    EXPECT_NE(smallRoot, root);
    EXPECT_EQ(table->NameToId("root", true), smallRoot);
    EXPECT_EQ(table->NameToId("Root", true), root);
}

TEST_F(NameTableTest, TolerantLookupChangesOnlyTheFirstLetter) {
    const std::int32_t summa = table->NameToId("Summa", false);
    EXPECT_EQ(table->NameToId("summa", true), summa);
    const std::int32_t before = table->NameCount();
    // Neither "sUMMA" nor "SUMMA" itself is stored: the capitals form is added as given.
    const std::int32_t capitals = table->NameToId("SUMMA", true);
    EXPECT_EQ(capitals, before);
    EXPECT_EQ(table->IdToName(capitals), "SUMMA");
    EXPECT_EQ(table->NameCount(), before + 1);
}

TEST_F(NameTableTest, StrictLookupAddsTheOtherLetterCase) {
    const std::int32_t cardCode = table->NameToId("CardCode", false);
    EXPECT_EQ(table->NameToId("cardCode", true), cardCode);
    const std::int32_t small = table->NameToId("cardCode", false);
    EXPECT_NE(small, cardCode);
    EXPECT_EQ(table->IdToName(small), "cardCode");
}

struct ExactOnlyCase {
    const char* name;
    std::string stored;
    std::string asked;
};

class NameTableExactOnlyTest : public ::testing::TestWithParam<ExactOnlyCase> {};

TEST_P(NameTableExactOnlyTest, NonLetterFirstCharacterIsNeverShifted) {
    IXmlNameTable table = new TXmlNameTable(TXmlNameTable::DefaultBucketCount);
    const std::int32_t stored = table->NameToId(GetParam().stored, false);
    const std::int32_t asked = table->NameToId(GetParam().asked, true);
    EXPECT_NE(asked, stored);
    EXPECT_EQ(table->IdToName(asked), GetParam().asked);
}

INSTANTIATE_TEST_SUITE_P(
    FirstCharacters, NameTableExactOnlyTest,
    ::testing::Values(ExactOnlyCase{"Hash", "#Text", "#text"}, ExactOnlyCase{"Underscore", "_X", "_x"},
                      ExactOnlyCase{"Digit", "1A", "1a"},
                      // 0xC0 and 0xE0 are the two cases of one Cyrillic letter in code page 1251.
                      ExactOnlyCase{"HighByte", "\xc0\xe1", "\xe0\xe1"},
                      ExactOnlyCase{"BracketBelowSmallA", "[x", "{x"}),
    [](const auto& info) { return info.param.name; });

TEST_F(NameTableTest, CollidingNamesKeepDistinctIdsInAddingOrder) {
    // "Ab" and "BA" have the same hash: 65 * 33 + 98 = 66 * 33 + 65.
    ASSERT_EQ(TXmlNameTable::HashName("Ab"), TXmlNameTable::HashName("BA"));
    const std::int32_t ab = table->NameToId("Ab", false);
    const std::int32_t ba = table->NameToId("BA", false);
    EXPECT_NE(ab, ba);
    EXPECT_EQ(table->NameToId("BA", false), ba);
    EXPECT_EQ(table->NameToId("Ab", false), ab);
    EXPECT_EQ(table->Buckets()[TXmlNameTable::HashName("Ab") % 4096], (TNameIndexArray{ab, ba}));
    // "bA" tolerantly finds "BA" (its first letter raised), not "Ab" of the same bucket.
    EXPECT_EQ(table->NameToId("bA", true), ba);
}

TEST(NameTableBucketsTest, WorksWithAnyPositiveBucketCount) {
    IXmlNameTable table = new TXmlNameTable(1);
    const std::int32_t a = table->NameToId("a", false);
    EXPECT_EQ(table->NameToId("A", true), a);
    EXPECT_EQ(table->Buckets().size(), 1u);
    EXPECT_EQ(table->Buckets()[0].size(), 6u);
    EXPECT_THROW(TXmlNameTable(0), TolvexXmlException);
}

TEST(NameTableBucketsTest, RestoredImageIsTakenAsStoredAndSkipsBadIds) {
    IXmlNameTable table = new TXmlNameTable(TXmlNameTable::DefaultBucketCount);
    std::vector<TNameIndexArray> buckets(4);
    const auto bucketOf = [](const std::string& name) { return TXmlNameTable::HashName(name) % 4; };
    buckets[bucketOf("Root")] = {-3, 99, 0};
    table->Restore({"Root"}, buckets);
    EXPECT_EQ(table->NameCount(), 1);
    EXPECT_EQ(table->NameToId("Root", false), 0);
    EXPECT_EQ(table->NameToId("x", false), 1);
    EXPECT_THROW(table->Restore({}, {}), TolvexXmlException);
    EXPECT_EQ(table->NameToId("x", false), 1);
}

// The buckets that hold only the five predefined names, as a fresh table has them.
bool HoldsOnlyThePredefinedNames(const TXmlNameTable& table) {
    std::size_t held = 0;
    for (const TNameIndexArray& bucket : table.Buckets()) held += bucket.size();
    return held == 5 && table.NameCount() == 5;
}

TEST(NameTableBucketsTest, ATableMadeAfterAnotherIsGoneStartsEmpty) {
    // Tables of the default size pass their bucket array on; what one left in it
    // must not show in the next, whether its buckets followed the hashes or came
    // from a stored image.
    const auto fillAndDrop = [](bool restored) {
        IXmlNameTable table = new TXmlNameTable(TXmlNameTable::DefaultBucketCount);
        for (int i = 0; i < 300; ++i) table->NameToId("name" + std::to_string(i), false);
        if (restored) {
            std::vector<TNameIndexArray> buckets(TXmlNameTable::DefaultBucketCount);
            for (std::size_t bucket = 0; bucket < buckets.size(); bucket += 7) buckets[bucket] = {0};
            table->Restore({"stored"}, buckets);
        }
    };
    for (const bool restored : {false, true}) {
        SCOPED_TRACE(restored ? "after a stored image" : "after names added");
        fillAndDrop(restored);
        IXmlNameTable next = new TXmlNameTable(TXmlNameTable::DefaultBucketCount);
        EXPECT_TRUE(HoldsOnlyThePredefinedNames(*next));
        EXPECT_EQ(next->NameToId("name7", false), 5);
        EXPECT_EQ(next->NameToId("stored", false), 6);
        EXPECT_EQ(next->NameToId("name7", false), 5);
    }
}

TEST(GlobalNameTableTest, ExistsWhileTheUnitIsInitialised) {
    ASSERT_NE(GlobalNameTable(), nullptr);
    EXPECT_EQ(GlobalNameTable()->IdToName(4), "xml");
}

}  // namespace
}  // namespace TolvexXml
