// The reference-counted base of every object of the XML library and the counted
// reference (XmlRef) through which such objects are reached. The count lives in
// the object: a new object starts at 0, every XmlRef that points to it counts
// one, and the object deletes itself when the count drops back to 0.
#pragma once

#include <atomic>
#include <cstddef>
#include <type_traits>
#include <utility>

namespace TolvexXml {

class TXmlBase {
public:
    TXmlBase() = default;
    TXmlBase(const TXmlBase&) = delete;
    TXmlBase& operator=(const TXmlBase&) = delete;
    virtual ~TXmlBase() = default;

    void AddRef() noexcept { refCount_.fetch_add(1, std::memory_order_relaxed); }
    void Release() noexcept {
        if (refCount_.fetch_sub(1, std::memory_order_acq_rel) == 1) Destroy(this);
    }
    int RefCount() const noexcept { return refCount_.load(std::memory_order_acquire); }
    // Drops count references at once (count at most the references held).
    void ReleaseRefs(int count) noexcept {
        if (refCount_.fetch_sub(count, std::memory_order_acq_rel) == count) Destroy(this);
    }
    // The piece of a load's blocks the object stands in; null for an object of the heap.
    virtual const void* CarvedPiece() const noexcept { return nullptr; }
    // Counts the first reference to an object that nothing else can reach yet (its
    // count is 0): a plain store instead of an atomic read-modify-write.
    void AddFirstRef() noexcept { refCount_.store(1, std::memory_order_relaxed); }

    // The implementing object; a class check (dynamic_cast) turns it into a class.
    TXmlBase* GetObject() noexcept { return this; }

private:
    // Deletes the object. Objects whose count drops to 0 while another one is being
    // deleted on the same thread (the children of a released node) wait in a list
    // and are deleted one after the other, so releasing a tree of any depth takes
    // no stack in proportion to its depth.
    static void Destroy(TXmlBase* object) noexcept;

    TXmlBase* nextToDestroy_ = nullptr;
    // Last, so that a derived class can put a 32-bit member into the padding after it.
    std::atomic<int> refCount_{0};
};

// Throws the failure for a call made through an empty reference.
[[noreturn]] void ThrowEmptyReference();

template <class T>
class XmlRef {
public:
    XmlRef() noexcept = default;
    XmlRef(std::nullptr_t) noexcept {}
    XmlRef(T* object) noexcept : object_(object) { Acquire(); }
    XmlRef(const XmlRef& other) noexcept : object_(other.object_) { Acquire(); }
    XmlRef(XmlRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    XmlRef(const XmlRef<U>& other) noexcept : object_(other.Get()) { Acquire(); }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    XmlRef(XmlRef<U>&& other) noexcept : object_(other.Detach()) {}
    ~XmlRef() { Drop(); }

    // The first reference to an object just made (see TXmlBase::AddFirstRef).
    static XmlRef FirstRef(T* object) noexcept {
        object->AddFirstRef();
        XmlRef reference;
        reference.object_ = object;
        return reference;
    }

    XmlRef& operator=(XmlRef other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }

    T* Get() const noexcept { return object_; }
    // Gives up the reference without releasing it; the caller takes it over.
    T* Detach() noexcept { return std::exchange(object_, nullptr); }

    // Calls through an empty reference fail instead of crashing.
    T* operator->() const {
        if (!object_) ThrowEmptyReference();
        return object_;
    }
    T& operator*() const { return *operator->(); }
    explicit operator bool() const noexcept { return object_ != nullptr; }

    template <class U>
    bool operator==(const XmlRef<U>& other) const noexcept {
        return static_cast<const void*>(object_) == static_cast<const void*>(other.Get());
    }
    bool operator==(std::nullptr_t) const noexcept { return object_ == nullptr; }

private:
    void Acquire() noexcept {
        if (object_) object_->AddRef();
    }
    void Drop() noexcept {
        if (T* object = std::exchange(object_, nullptr)) object->Release();
    }

    T* object_ = nullptr;
};

}  // namespace TolvexXml
