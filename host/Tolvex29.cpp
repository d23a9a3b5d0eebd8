#include "host/Tolvex29.h"

#include "base/UnitState.h"
#include "host/DateTimeText.h"
#include "host/TolvexTypesUnit.h"
#include "log/LogFile.h"
#include "platform/Clock.h"
#include "platform/ModuleHooks.h"
#include "xml/TolvexXmlUnit.h"

namespace Tolvex29 {

namespace {

struct BodyState {
    std::string cardInfoOutput;
    std::string transactionsOutput;
    Platform::LocaleSettings localeSettings;
};

int unitInitCount = 0;
Platform::UnitState<BodyState> state;

void InitializeBody() {
    if (unitInitCount++ != 0) return;
    state.Create();
    state->localeSettings = Platform::ReadLocaleSettings();
    LogFile::SetLogFileName(LogFileName);
    LogFile::LogWrite("");
}

void FinalizeBody() {
    if (--unitInitCount != 0) return;
    state.Destroy();
}

}  // namespace

void LibraryLoaded() {
    TolvexXml::InitializeUnit();
    LogFile::InitializeUnit();
    TolvexTypes::InitializeUnit();
    InitializeBody();
}

void LibraryUnloading() {
    FinalizeBody();
    TolvexTypes::FinalizeUnit();
    LogFile::FinalizeUnit();
    TolvexXml::FinalizeUnit();
}

std::string& CardInfoOutput() { return state->cardInfoOutput; }
std::string& TransactionsOutput() { return state->transactionsOutput; }
const Platform::LocaleSettings& LoadedLocaleSettings() { return state->localeSettings; }

std::string CallTimeText() { return FormatLogDateTime(Platform::GetLocalTime(), state->localeSettings); }

}  // namespace Tolvex29

TOLVEX_MODULE_HOOKS(Tolvex29::LibraryLoaded, Tolvex29::LibraryUnloading)
