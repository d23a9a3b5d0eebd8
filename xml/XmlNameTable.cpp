#include "xml/XmlNameTable.h"

#include "xml/XmlExceptions.h"

namespace TolvexXml {

namespace {

// The name with its first character changed from one ASCII letter case range to
// the other; the name itself when its first character is not in the range.
std::string WithFirstShifted(const std::string& name, char from, char to, int shift) {
    std::string variant = name;
    if (variant[0] >= from && variant[0] <= to) variant[0] = static_cast<char>(variant[0] + shift);
    return variant;
}

}  // namespace

TXmlNameTable::TXmlNameTable(std::int32_t bucketCount) {
    if (bucketCount < 1) throw TolvexXmlException("Name table needs at least one bucket");
    buckets_.resize(static_cast<std::size_t>(bucketCount));
    textId_ = Add("#text");
    cdataId_ = Add("#cdata-section");
    commentId_ = Add("#comment");
    documentId_ = Add("#document");
    xmlId_ = Add("xml");
}

std::uint32_t TXmlNameTable::HashName(const std::string& name) noexcept {
    std::uint32_t hash = 0;
    for (unsigned char byte : name) hash = hash * 33u + byte;
    return hash;
}

std::int32_t TXmlNameTable::FindExact(const std::string& name) const noexcept {
    const std::uint32_t hash = HashName(name);
    const TNameIndexArray& bucket = buckets_[hash % buckets_.size()];
    for (std::int32_t id : bucket) {
        if (id < 0 || id >= NameCount()) continue;
        const auto index = static_cast<std::size_t>(id);
        if (hashes_[index] == hash && names_[index] == name) return id;
    }
    return -1;
}

std::int32_t TXmlNameTable::Add(const std::string& name) {
    const std::int32_t id = NameCount();
    const std::uint32_t hash = HashName(name);
    names_.push_back(name);
    hashes_.push_back(hash);
    buckets_[hash % buckets_.size()].push_back(id);
    return id;
}

std::int32_t TXmlNameTable::NameToId(const std::string& name, bool firstLetterTolerant) {
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

void TXmlNameTable::Restore(std::vector<std::string> names, std::vector<TNameIndexArray> buckets) {
    if (buckets.empty()) throw TolvexXmlException("Name table needs at least one bucket");
    names_ = std::move(names);
    hashes_.clear();
    hashes_.reserve(names_.size());
    for (const std::string& name : names_) hashes_.push_back(HashName(name));
    buckets_ = std::move(buckets);
}

}  // namespace TolvexXml
