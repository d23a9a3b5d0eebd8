// Unit tests run the units' initialisation as the library's load would, each
// test process in a working directory of its own: ctest runs the cases of one
// program as parallel processes, and the cases of a parameterised test share
// their file names.
#include <gtest/gtest.h>

#include "log/LogFile.h"
#include "support/ScratchDirectory.h"
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
    const TolvexTest::ScratchDirectory workingDirectory;
    return RUN_ALL_TESTS();
}
