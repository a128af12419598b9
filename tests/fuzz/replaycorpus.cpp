// Runs the harness it is linked with on every file in the folders given, as
// libFuzzer would on a committed corpus, without libFuzzer: the ordinary test
// suite replays the corpus with the ordinary compiler.

#include "fuzzinput.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> files;
        for (const fs::directory_entry &entry : fs::directory_iterator(argv[i]))
            if (entry.is_regular_file())
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        if (files.empty()) {
            std::cerr << "No corpus files in " << argv[i] << "\n";
            return 1;
        }
        for (const fs::path &file : files) {
            std::ifstream stream(file, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
            std::cerr << "Replaying " << file.filename().string() << "\n";
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::cerr << replayed << " corpus files replayed\n";
    return replayed > 0 ? 0 : 1;
}
