#include "support/ScratchDirectory.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <system_error>

namespace TolvexTest {

namespace {

// A name no other test (nor another test process) is using.
std::filesystem::path CreateUniqueDirectory() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        const std::filesystem::path candidate =
            std::filesystem::temp_directory_path() /
            ("tolvex-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(candidate)) return candidate;
    }
}

}  // namespace

ScratchDirectory::ScratchDirectory()
    : previous_(std::filesystem::current_path()), path_(CreateUniqueDirectory()) {
    std::filesystem::current_path(path_);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadWholeFile(const std::filesystem::path& name) {
    std::ifstream file(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::filesystem::path& name, const std::string& bytes) {
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace TolvexTest
