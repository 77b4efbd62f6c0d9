#pragma once
// The host's events the library module raises or listens to: a registry of callbacks, each
// called with the event's record until one accepts it.

#include <functional>
#include <vector>

template <typename Info>
class HostEvent {
public:
    // Returns nonzero when it accepted the event.
    using Callback = std::function<int(Info& info)>;

    void AddCallBack(Callback callback) { m_callbacks.push_back(std::move(callback)); }
    void RemoveAllCallBacks() { m_callbacks.clear(); }
    // Nonzero when a callback accepted; the second argument is kept for the host's signature.
    int DoEvent(Info& info, int) {
        // Copied first: a callback may change the registry while it runs.
        const std::vector<Callback> callbacks = m_callbacks;
        for (const Callback& callback : callbacks) {
            if (const int accepted = callback(info)) {
                return accepted;
            }
        }
        return 0;
    }
    int GetCallBackCount() const { return static_cast<int>(m_callbacks.size()); }

private:
    std::vector<Callback> m_callbacks;
};
