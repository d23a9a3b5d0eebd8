#include "xml/TolvexXmlUnit.h"

#include "base/CarvedBlocks.h"
#include "base/UnitState.h"
#include "xml/XmlNameTable.h"

namespace TolvexXml {

namespace {

struct UnitData {
    IXmlNameTable globalNameTable{new TXmlNameTable(TXmlNameTable::DefaultBucketCount)};
};

int unitInitCount = 0;
Platform::UnitState<UnitData> unit;

}  // namespace

void InitializeUnit() {
    if (unitInitCount++ != 0) return;
    unit.Create();
}

void FinalizeUnit() {
    if (--unitInitCount != 0) return;
    unit.Destroy();
    Platform::CarvedBlocks::ReleaseCachedBlocks();
    TXmlNameTable::ReleaseSpareBuckets();
}

TXmlNameTable* GlobalNameTable() noexcept {
    return unit.Exists() ? unit->globalNameTable.Get() : nullptr;
}

}  // namespace TolvexXml
