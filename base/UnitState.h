// Storage for a unit's module-level state. The unit's own initialisation creates
// the object and its finalisation destroys it, so neither the runtime's order of
// static construction nor that of static destruction (which differ between a
// DLL, a shared object and a process exit) can touch it at the wrong moment.
#pragma once

#include <new>
#include <utility>

namespace Platform {

template <class T>
class UnitState {
public:
    constexpr UnitState() = default;
    UnitState(const UnitState&) = delete;
    UnitState& operator=(const UnitState&) = delete;

    template <class... Args>
    void Create(Args&&... args) {
        Destroy();
        object_ = new (storage_) T(std::forward<Args>(args)...);
    }
    void Destroy() {
        if (object_) {
            T* object = object_;
            object_ = nullptr;
            object->~T();
        }
    }
    bool Exists() const { return object_ != nullptr; }
    T& operator*() const { return *object_; }
    T* operator->() const { return object_; }

private:
    alignas(T) unsigned char storage_[sizeof(T)] = {};
    T* object_ = nullptr;
};

}  // namespace Platform
