// Feeds arbitrary bytes to the command line as the master library file: the program opens it,
// lists the trees and parts, and checks it, as `vaultry tree`, `ls` and `check` would. Whatever
// the bytes, that ends in a result or an exception, never a crash; and none of it writes to the
// file (its bytes are the same afterwards).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "access/LibraryFiles.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Session.h"
#include "platform/afx/CException.h"

namespace fs = std::filesystem;

namespace {

// The settings and the two sound libraries, made once per process.
struct Place {
    fs::path folder;
    std::string settings;
    std::string master;

    Place() {
        folder = fs::temp_directory_path() / ("vaultry-fuzz-" + std::to_string(getpid()));
        fs::create_directories(folder);
        settings = (folder / "settings.ini").string();
        master = (folder / "master.zblib").string();
        std::ofstream(settings) << "[libraries]\nfolder = " << folder.string()
                                << "\nmaster = master.zblib\ncorporate = corporate.zblib\nuser = "
                                   "user.zblib\n";
        LibraryFiles::Create((folder / "corporate.zblib").string().c_str(), DATABASETYPE_CORPORATE,
                             LibraryFiles::Generation::kCurrent);
        LibraryFiles::Create((folder / "user.zblib").string().c_str(), DATABASETYPE_USER,
                             LibraryFiles::Generation::kCurrent);
    }
    ~Place() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void ReadEverything(const Place& place) {
    vaultry::cli::Session session(place.settings);
    std::ostringstream out;
    const vaultry::cli::Output output{out};
    vaultry::cli::TreeCommand(session, "master", output);
    vaultry::cli::ListCommand(session, PartQuery{}, "", "master", output);
    vaultry::cli::CheckCommand(session, "master", output);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Place place;
    for (const char* leftOver : {"-wal", "-shm", "-journal"}) {
        fs::remove(place.master + leftOver);
    }
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::ofstream(place.master, std::ios::binary | std::ios::trunc) << bytes;
    try {
        ReadEverything(place);
    } catch (const std::exception&) {
        // a refusal, said in one line by the program
    } catch (const CException&) {
    }
    if (Bytes(place.master) != bytes) {
        std::abort();  // a read wrote to the file
    }
    return 0;
}
