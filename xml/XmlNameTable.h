// Interned names: every name of the XML library is handled as the index (id) of
// its text in a TXmlNameTable. Ids are dense and never change; a fixed number of
// hash buckets, set at creation, holds the ids of each hash value.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/XmlBase.h"

namespace TolvexXml {

using TNameIndexArray = std::vector<std::int32_t>;

class TXmlNameTable : public TXmlBase {
public:
    // The bucket count of every table the library creates.
    static constexpr std::int32_t DefaultBucketCount = 4096;

    // A table of bucketCount buckets (at least 1) holding the five predefined names.
    explicit TXmlNameTable(std::int32_t bucketCount = DefaultBucketCount);
    ~TXmlNameTable() override;

    // The id of the name, adding the name when it is absent; -1 for the empty name.
    // firstLetterTolerant also finds the name with its first ASCII letter in the
    // other case before adding the name as given.
    std::int32_t NameToId(std::string_view name, bool firstLetterTolerant);
    // The name of the id; empty for an id outside the table.
    std::string IdToName(std::int32_t id) const;

    std::int32_t TextId() const noexcept { return textId_; }
    std::int32_t CDataId() const noexcept { return cdataId_; }
    std::int32_t CommentId() const noexcept { return commentId_; }
    std::int32_t DocumentId() const noexcept { return documentId_; }
    std::int32_t XmlId() const noexcept { return xmlId_; }

    std::int32_t NameCount() const noexcept { return static_cast<std::int32_t>(names_.size()); }
    // The stored names (index = id) and buckets, as the binary form writes them.
    const std::vector<std::string>& Names() const noexcept { return names_; }
    std::vector<TNameIndexArray> Buckets() const;
    // Replaces names and buckets by a stored image, taken as it is. The bucket
    // array must not be empty (TolvexXmlException otherwise).
    void Restore(std::vector<std::string> names, const std::vector<TNameIndexArray>& buckets);

    // The hash rule: h = h * 33 + byte over the name, modulo 2^32.
    static std::uint32_t HashName(std::string_view name) noexcept;

    // Frees the spare bucket array kept for the next table (the XML unit's end).
    static void ReleaseSpareBuckets() noexcept;

private:
    std::int32_t FindExact(std::string_view name) const noexcept;
    std::int32_t Add(std::string_view name);

    std::vector<std::string> names_;
    // The hash of each name (index = id): a bucket holds many names once a table
    // grows large, and comparing hashes first keeps each lookup cheap.
    std::vector<std::uint32_t> hashes_;
    // The buckets as chains of entries, each bucket in the order its ids were
    // added: a table is made per document, and one zeroed array is quicker to
    // make and free than a vector per bucket. Entry positions count from 1, so
    // that 0 marks an empty bucket or a chain's end.
    struct BucketEnds {
        std::int32_t first;
        std::int32_t last;
    };
    struct BucketEntry {
        std::int32_t id;
        std::int32_t next;
    };
    // Empties the buckets the names went into and keeps the array as the spare:
    // a table is made per loaded document, and emptying the few buckets a table
    // used costs far less than zeroing thousands in a new array.
    void GiveBackBuckets() noexcept;
    void AppendToBucket(std::size_t bucket, std::int32_t id);
    std::size_t bucketCount_ = 0;
    std::unique_ptr<BucketEnds[]> buckets_;
    // False once a stored image set the buckets: they need not follow the hashes.
    bool bucketsFollowHashes_ = true;
    static std::atomic<BucketEnds*> spareBuckets_;
    std::vector<BucketEntry> bucketEntries_;
    std::int32_t textId_;
    std::int32_t cdataId_;
    std::int32_t commentId_;
    std::int32_t documentId_;
    std::int32_t xmlId_;
};

using IXmlNameTable = XmlRef<TXmlNameTable>;

}  // namespace TolvexXml
