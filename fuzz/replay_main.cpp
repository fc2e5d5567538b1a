// Runs a fuzz target as an ordinary test: every file given (or found in a
// folder given) is fed to LLVMFuzzerTestOneInput, followed by a fixed number
// of deterministic mutations of it, so that the checked-in corpus and a
// little more run in every build without libFuzzer. When the target
// aborts, the input it was given is saved to replay-crash.bin in the
// working folder, ready to be fed back alone.
//
//   fuzz_<name>_replay [--mutations=N] <file or folder>...
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kDefaultMutations = 500;
constexpr std::size_t kMaxMutantSize = 4096;

// The input being run, for the abort handler.
const std::uint8_t *currentInput = nullptr;
std::size_t currentSize = 0;

// Uses only calls that are safe in a signal handler.
extern "C" void saveCurrentInput(int) {
    constexpr char kNote[] = "replay: input saved to replay-crash.bin\n";
    const int file = ::open("replay-crash.bin", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file >= 0) {
        [[maybe_unused]] const auto written = ::write(file, currentInput, currentSize);
        ::close(file);
        [[maybe_unused]] const auto noted = ::write(2, kNote, sizeof kNote - 1);
    }
    std::signal(SIGABRT, SIG_DFL);
    std::raise(SIGABRT);
}

// The target sees its input in a heap block of exactly its size, as under
// libFuzzer, so that the sanitizer catches a read past the end.
void runOne(const Bytes &input) {
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[input.size()]);
    std::copy(input.begin(), input.end(), exact.get());
    currentInput = exact.get();
    currentSize = input.size();
    LLVMFuzzerTestOneInput(exact.get(), input.size());
}

// One random edit of the kinds that find boundary mistakes: a changed
// byte, an inserted or removed stretch, a stretch repeated or filled with
// one value.
Bytes mutate(Bytes input, std::mt19937 &engine) {
    const auto below = [&](std::size_t limit) { return limit == 0 ? 0 : engine() % limit; };
    const std::size_t at = below(input.size() + 1);
    const std::size_t span = 1 + below(std::min<std::size_t>(input.size() - at + 1, 300));
    switch (below(5)) {
    case 0:
        if (at < input.size()) {
            input[at] = static_cast<std::uint8_t>(engine());
        }
        break;
    case 1:
        input.insert(input.begin() + static_cast<std::ptrdiff_t>(at), span,
                     static_cast<std::uint8_t>(engine()));
        break;
    case 2:
        input.erase(input.begin() + static_cast<std::ptrdiff_t>(at),
                    input.begin() + static_cast<std::ptrdiff_t>(std::min(at + span, input.size())));
        break;
    case 3: {
        const Bytes copy(input.begin() + static_cast<std::ptrdiff_t>(at),
                         input.begin() + static_cast<std::ptrdiff_t>(std::min(at + span, input.size())));
        input.insert(input.begin() + static_cast<std::ptrdiff_t>(below(input.size() + 1)),
                     copy.begin(), copy.end());
        break;
    }
    default:
        std::fill(input.begin() + static_cast<std::ptrdiff_t>(at),
                  input.begin() + static_cast<std::ptrdiff_t>(std::min(at + span, input.size())),
                  static_cast<std::uint8_t>(engine()));
        break;
    }
    if (input.size() > kMaxMutantSize) {
        input.resize(kMaxMutantSize);
    }
    return input;
}

bool readFile(const std::filesystem::path &path, Bytes &bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    std::size_t mutations = kDefaultMutations;
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--mutations=", 0) == 0) {
            mutations = std::strtoul(arg.c_str() + std::strlen("--mutations="), nullptr, 10);
            continue;
        }
        std::error_code error;
        if (std::filesystem::is_directory(arg, error)) {
            for (const auto &entry : std::filesystem::directory_iterator(arg)) {
                if (entry.is_regular_file()) {
                    files.push_back(entry.path());
                }
            }
        } else {
            files.emplace_back(arg);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: %s [--mutations=N] <file or folder>...\n", argv[0]);
        return 2;
    }
    std::sort(files.begin(), files.end());
    std::signal(SIGABRT, saveCurrentInput);

    std::size_t runs = 0;
    for (const auto &path : files) {
        Bytes input;
        if (!readFile(path, input)) {
            std::fprintf(stderr, "%s: cannot read\n", path.string().c_str());
            return 1;
        }
        runOne(input);
        ++runs;
        // Seeded by the file name, so that a failing mutant repeats.
        std::mt19937 engine(static_cast<std::uint32_t>(std::hash<std::string>{}(path.filename().string())));
        Bytes mutant = input;
        for (std::size_t m = 0; m < mutations; ++m) {
            mutant = mutate(m % 8 == 0 ? input : mutant, engine);
            runOne(mutant);
            ++runs;
        }
    }
    std::printf("%zu inputs from %zu files ran\n", runs, files.size());
    return 0;
}
