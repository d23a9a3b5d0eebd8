// Unit tests run the units' initialisation as the library's load would.
#include <gtest/gtest.h>

#include "log/LogFile.h"
#include "xml/TolvexXmlUnit.h"

namespace {

class UnitsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        TolvexXml::InitializeUnit();
        LogFile::InitializeUnit();
    }
    void TearDown() override {
        LogFile::FinalizeUnit();
        TolvexXml::FinalizeUnit();
    }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new UnitsEnvironment);
    return RUN_ALL_TESTS();
}
