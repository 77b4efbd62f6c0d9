#include "apps/vaultry/ReadAhead.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "apps/vaultry/InterchangeReader.h"

namespace vaultry::cli {

ReadAhead::ReadAhead(InterchangeReader& reader) : m_reader(reader), m_thread([this] { Read(); }) {}

ReadAhead::~ReadAhead() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

std::optional<ReadAhead::Item> ReadAhead::Next() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_items.empty() || m_ended; });
    if (m_items.empty()) {
        if (m_error) {
            std::rethrow_exception(std::exchange(m_error, nullptr));
        }
        return std::nullopt;
    }
    Item item = std::move(m_items.front());
    m_items.pop_front();
    lock.unlock();
    m_changed.notify_all();
    return item;
}

void ReadAhead::Read() {
    try {
        std::shared_ptr<const Definitions> definitions;
        std::size_t definitionsSeen = 0;
        while (std::optional<InterchangePart> part = m_reader.Next()) {
            // The definitions change rarely, and a part waiting keeps the ones it was read with.
            if (!definitions || m_reader.DefinitionsRead() != definitionsSeen) {
                definitionsSeen = m_reader.DefinitionsRead();
                definitions = std::make_shared<const Definitions>(m_reader.Definitions());
            }
            if (!Push(Item{std::move(*part), definitions, m_reader.Permille()})) {
                break;
            }
        }
    } catch (...) {
        const std::lock_guard lock(m_mutex);
        m_error = std::current_exception();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_changed.notify_all();
}

void ReadAhead::Discard(std::vector<std::unique_ptr<CDrwGroup>> groups) {
    const std::lock_guard lock(m_mutex);
    std::move(groups.begin(), groups.end(), std::back_inserter(m_spent));
}

bool ReadAhead::Push(Item item) {
    std::vector<std::unique_ptr<CDrwGroup>> spent;  // freed once the lock is let go
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_items.size() < kWaiting || m_stopped; });
    spent.swap(m_spent);
    if (m_stopped) {
        return false;  // the caller stopped reading: the part is dropped with the rest
    }
    m_items.push_back(std::move(item));
    lock.unlock();
    m_changed.notify_all();
    return true;
}

}  // namespace vaultry::cli
