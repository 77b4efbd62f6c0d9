#pragma once
// Reads an interchange file's parts on a thread of its own, ahead of the caller that stores
// them: reading the XML costs about as much as storing the parts, and the two then share the
// machine's cores. A few runs' worth of parts wait at most, so memory stays flat.

#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "apps/vaultry/Interchange.h"

namespace vaultry::cli {

class InterchangeReader;

class ReadAhead {
public:
    using Definitions = std::map<std::string, InterchangeDefinitions>;
    struct Item {
        InterchangePart part;
        // Those met before the part: its document type's are among them.
        std::shared_ptr<const Definitions> definitions;
        int permille = 0;  // of the file read by then
    };

    // Starts reading. `reader` is not owned, must outlive this object and is read only by its
    // thread from now on.
    explicit ReadAhead(InterchangeReader& reader);
    // Stops the reading, unless it has ended, and waits for it.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next part, or nullopt after the last. What reading threw is thrown here, after the
    // parts read before it.
    std::optional<Item> Next();
    // Takes back the groups of parts the caller is done with, for the reading thread to free
    // between parts: freeing a part's objects costs about a tenth of storing it.
    void Discard(std::vector<std::unique_ptr<CDrwGroup>> groups);

private:
    static constexpr std::size_t kWaiting = 512;

    void Read();
    // False once the caller has stopped reading.
    bool Push(Item item);

    InterchangeReader& m_reader;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_items;  // guarded by m_mutex, as are the four below
    std::vector<std::unique_ptr<CDrwGroup>> m_spent;
    bool m_ended = false;
    bool m_stopped = false;
    std::exception_ptr m_error;
    std::thread m_thread;  // started last, once the rest is made
};

}  // namespace vaultry::cli
