#include "net/name_lookup.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace korvane::net {

namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(5);

// Shared by the waiting caller and the lookup thread, which may outlive the wait.
struct TPendingAnswer {
    std::mutex mutex;
    std::condition_variable ready;
    bool done = false;
    std::optional<std::string> address;
};

}  // namespace

std::optional<QHostAddress> ResolveAddress(std::string_view text, const THostLookup& lookup,
                                           const engine::TWaitStep& waitStep) {
    if (text.empty() || text.find('\0') != std::string_view::npos) return std::nullopt;
    QHostAddress literal;
    if (literal.setAddress(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())))) {
        return literal;
    }
    auto answer = std::make_shared<TPendingAnswer>();
    std::thread([answer, lookup, name = std::string(text)] {
        std::optional<std::string> address = lookup(name);
        std::lock_guard lock(answer->mutex);
        answer->address = std::move(address);
        answer->done = true;
        answer->ready.notify_all();
    }).detach();
    for (;;) {
        {
            std::unique_lock lock(answer->mutex);
            answer->ready.wait_for(lock, kWaitSlice, [&] { return answer->done; });
            if (answer->done) {
                if (!answer->address) return std::nullopt;
                QHostAddress address;
                if (!address.setAddress(QString::fromStdString(*answer->address))) {
                    return std::nullopt;
                }
                return address;
            }
        }
        if (waitStep) waitStep();
    }
}

}  // namespace korvane::net
