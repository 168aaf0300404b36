// Times the digest of a 60 MB data file against sha1sum on the same file in the
// same run. Usage: bench_digest [folder] (default: the system's temporary folder).
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "hashkit/hashkit.h"
#include "shell/digest.h"
#include "vb/error.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFileSize = 60u * 1000 * 1000;
constexpr int kRounds = 5;

// Pipe-separated lines, like a movement file.
void MakeFile(const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    std::size_t written = 0;
    unsigned long n = 0;
    char line[128];
    while (written < kFileSize) {
        int len = std::snprintf(
            line, sizeof line, "06|%011lu|200403|1|%08lu|01|%012lu.%02lu|PERSONA DE PRUEBA|\r\n",
            20100000000ul + n % 99991, n, (n * 7919) % 1000000000000ul, n % 100);
        out.write(line, len);
        written += static_cast<std::size_t>(len);
        ++n;
    }
}

// Best of kRounds wall-clock times, in seconds.
double Best(const std::function<void()>& run) {
    double best = 1e9;
    for (int i = 0; i < kRounds; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        run();
        auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const fs::path file = folder / ("bench_digest_" + std::to_string(::getpid()) + ".mov");
    MakeFile(file);
    std::printf("file: %s (%ju bytes)\n", file.c_str(),
                static_cast<std::uintmax_t>(fs::file_size(file)));

    const std::string command = "sha1sum '" + file.string() + "' > /dev/null";
    int status = 0;
    std::string marca;
    std::array<unsigned char, 20> out{};
    std::int16_t shaResult = 0;
    try {
        // One pass of each first, so every timing reads from the page cache.
        status = std::system(command.c_str());
        marca = shell::CalculaMarcaArchivo(file.string()).Str();

        const double tSum = Best([&] { status |= std::system(command.c_str()); });
        const double tMarca =
            Best([&] { marca = shell::CalculaMarcaArchivo(file.string()).Str(); });
        const double tSha = Best([&] { shaResult = hashkit::FileToSha(file.c_str(), out.data()); });
        fs::remove(file);

        if (status != 0 || shaResult != 0) {
            std::fprintf(stderr, "sha1sum or FileToSha failed\n");
            return 2;
        }
        const double ratio = tMarca / tSum;
        std::printf("sha1sum:             %.3f s\n", tSum);
        std::printf("CalculaMarcaArchivo: %.3f s  (ratio %.2f)\n", tMarca, ratio);
        std::printf("FileToSha:           %.3f s  (ratio %.2f)\n", tSha, tSha / tSum);
        std::printf("digest within 1.3x of sha1sum: %s\n", ratio <= 1.3 ? "yes" : "no");
        return ratio <= 1.3 ? 0 : 1;
    } catch (const vb::VbError& e) {
        fs::remove(file);
        std::fprintf(stderr, "error %d: %s\n", e.Number(), e.Description().c_str());
        return 2;
    }
}
