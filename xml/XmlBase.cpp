#include "xml/XmlBase.h"

#include "xml/XmlExceptions.h"

namespace TolvexXml {

namespace {

thread_local TXmlBase* waitingForDestruction = nullptr;
thread_local bool destroying = false;

}  // namespace

void TXmlBase::Destroy(TXmlBase* object) noexcept {
    object->nextToDestroy_ = waitingForDestruction;
    waitingForDestruction = object;
    if (destroying) return;
    destroying = true;
    while (TXmlBase* next = waitingForDestruction) {
        waitingForDestruction = next->nextToDestroy_;
        delete next;
    }
    destroying = false;
}

void ThrowEmptyReference() {
    throw TolvexXmlException("Call through an empty XML interface reference");
}

}  // namespace TolvexXml
