#include "xml/XmlNameTable.h"

#include "xml/XmlExceptions.h"

namespace TolvexXml {

namespace {

// The name with its first character changed from one ASCII letter case range to
// the other; the name itself when its first character is not in the range.
std::string WithFirstShifted(std::string_view name, char from, char to, int shift) {
    std::string variant(name);
    if (variant[0] >= from && variant[0] <= to) variant[0] = static_cast<char>(variant[0] + shift);
    return variant;
}

}  // namespace

std::atomic<TXmlNameTable::BucketEnds*> TXmlNameTable::spareBuckets_{nullptr};

TXmlNameTable::TXmlNameTable(std::int32_t bucketCount) {
    if (bucketCount < 1) throw TolvexXmlException("Name table needs at least one bucket");
    bucketCount_ = static_cast<std::size_t>(bucketCount);
    BucketEnds* spare = bucketCount_ == DefaultBucketCount ? spareBuckets_.exchange(nullptr) : nullptr;
    buckets_.reset(spare ? spare : new BucketEnds[bucketCount_]());
    // Room for the names of a typical document, taken once instead of grown.
    constexpr std::size_t typicalNameCount = 64;
    names_.reserve(typicalNameCount);
    hashes_.reserve(typicalNameCount);
    bucketEntries_.reserve(typicalNameCount);
    textId_ = Add("#text");
    cdataId_ = Add("#cdata-section");
    commentId_ = Add("#comment");
    documentId_ = Add("#document");
    xmlId_ = Add("xml");
}

TXmlNameTable::~TXmlNameTable() { GiveBackBuckets(); }

void TXmlNameTable::ReleaseSpareBuckets() noexcept { delete[] spareBuckets_.exchange(nullptr); }

std::uint32_t TXmlNameTable::HashName(std::string_view name) noexcept {
    std::uint32_t hash = 0;
    for (unsigned char byte : name) hash = hash * 33u + byte;
    return hash;
}

std::int32_t TXmlNameTable::FindExact(std::string_view name) const noexcept {
    const std::uint32_t hash = HashName(name);
    for (std::int32_t at = buckets_[hash % bucketCount_].first; at != 0;) {
        const BucketEntry& entry = bucketEntries_[static_cast<std::size_t>(at - 1)];
        const auto index = static_cast<std::size_t>(entry.id);
        if (entry.id >= 0 && entry.id < NameCount() && hashes_[index] == hash && names_[index] == name) return entry.id;
        at = entry.next;
    }
    return -1;
}

void TXmlNameTable::GiveBackBuckets() noexcept {
    if (bucketCount_ != DefaultBucketCount || !bucketsFollowHashes_) return;
    for (const std::uint32_t hash : hashes_) buckets_[hash % bucketCount_] = BucketEnds{0, 0};
    delete[] spareBuckets_.exchange(buckets_.release());
}

void TXmlNameTable::AppendToBucket(std::size_t bucket, std::int32_t id) {
    bucketEntries_.push_back(BucketEntry{id, 0});
    const auto at = static_cast<std::int32_t>(bucketEntries_.size());
    BucketEnds& ends = buckets_[bucket];
    if (ends.first == 0)
        ends.first = at;
    else
        bucketEntries_[static_cast<std::size_t>(ends.last - 1)].next = at;
    ends.last = at;
}

std::vector<TNameIndexArray> TXmlNameTable::Buckets() const {
    std::vector<TNameIndexArray> buckets(bucketCount_);
    for (std::size_t bucket = 0; bucket < buckets.size(); ++bucket)
        for (std::int32_t at = buckets_[bucket].first; at != 0;
             at = bucketEntries_[static_cast<std::size_t>(at - 1)].next)
            buckets[bucket].push_back(bucketEntries_[static_cast<std::size_t>(at - 1)].id);
    return buckets;
}

std::int32_t TXmlNameTable::Add(std::string_view name) {
    const std::int32_t id = NameCount();
    const std::uint32_t hash = HashName(name);
    names_.emplace_back(name);
    hashes_.push_back(hash);
    AppendToBucket(hash % bucketCount_, id);
    return id;
}

std::int32_t TXmlNameTable::NameToId(std::string_view name, bool firstLetterTolerant) {
    if (name.empty()) return -1;
    std::int32_t id = FindExact(name);
    if (id >= 0) return id;
    if (firstLetterTolerant) {
        id = FindExact(WithFirstShifted(name, 'A', 'Z', 'a' - 'A'));
        if (id >= 0) return id;
        id = FindExact(WithFirstShifted(name, 'a', 'z', 'A' - 'a'));
        if (id >= 0) return id;
    }
    return Add(name);
}

std::string TXmlNameTable::IdToName(std::int32_t id) const {
    if (id < 0 || id >= NameCount()) return std::string();
    return names_[static_cast<std::size_t>(id)];
}

void TXmlNameTable::Restore(std::vector<std::string> names, const std::vector<TNameIndexArray>& buckets) {
    if (buckets.empty()) throw TolvexXmlException("Name table needs at least one bucket");
    // From here on the buckets are the image's, and the array is never kept as the spare.
    bucketsFollowHashes_ = false;
    names_ = std::move(names);
    hashes_.clear();
    hashes_.reserve(names_.size());
    for (const std::string& name : names_) hashes_.push_back(HashName(name));
    buckets_.reset(new BucketEnds[buckets.size()]());
    bucketCount_ = buckets.size();
    bucketEntries_.clear();
    for (std::size_t bucket = 0; bucket < buckets.size(); ++bucket)
        for (const std::int32_t id : buckets[bucket]) AppendToBucket(bucket, id);
}

}  // namespace TolvexXml
