// A fresh, empty working directory for one test: created under the system's
// temporary directory and made current; on destruction the previous current
// directory is restored and the scratch directory removed with its content.
// The library resolves tolvex.log, in.xml and the dump files against it.
#pragma once

#include <filesystem>
#include <string>

namespace TolvexTest {

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// The whole content of a file in bytes; empty when it does not exist.
std::string ReadWholeFile(const std::filesystem::path& name);
void WriteWholeFile(const std::filesystem::path& name, const std::string& bytes);

}  // namespace TolvexTest
