#include "xml/XmlBase.h"

#include "xml/XmlExceptions.h"

namespace TolvexXml {

namespace {

// The objects of this thread waiting to be deleted, and whether a Destroy below
// in the stack is deleting them; one thread-local object, reached once per call.
struct DestructionQueue {
    TXmlBase* waiting = nullptr;
    bool draining = false;
};
thread_local DestructionQueue destructionQueue;

}  // namespace

void TXmlBase::Destroy(TXmlBase* object) noexcept {
    DestructionQueue& queue = destructionQueue;
    object->nextToDestroy_ = queue.waiting;
    queue.waiting = object;
    if (queue.draining) return;
    queue.draining = true;
    while (TXmlBase* next = queue.waiting) {
        queue.waiting = next->nextToDestroy_;
        delete next;
    }
    queue.draining = false;
}

void ThrowEmptyReference() {
    throw TolvexXmlException("Call through an empty XML interface reference");
}

}  // namespace TolvexXml
