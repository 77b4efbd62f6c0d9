// Feeds arbitrary bytes to the part interchange reader as a file and reads every part it
// gives: a file that is not one must be refused with a reason, never read out of bounds.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "apps/vaultry/InterchangeReader.h"
#include "apps/vaultry/Session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int file = memfd_create("interchange", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(file);
    if (ftruncate(file, 0) != 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size)) {
        return 0;
    }
    try {
        vaultry::cli::InterchangeReader reader(path);
        while (std::optional<vaultry::cli::InterchangePart> part = reader.Next()) {
        }
    } catch (const vaultry::cli::CommandError&) {
    }
    return 0;
}
