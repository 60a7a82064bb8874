#pragma once
// One converted page on its way from the thread that reads and converts the
// pages to the thread that stores them: a single slot, so that a fast
// reader waits for the writer instead of piling pages up in memory.

#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

namespace korva {

template <typename Item>
class PageHandOff {
public:
    // Waits while the slot is full; false (the item dropped) once closed.
    bool put(Item item)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !slot_ || closed_; });
        if (closed_)
            return false;
        slot_ = std::move(item);
        changed_.notify_all();
        return true;
    }

    // Waits for the next item; nothing once closed and empty.
    std::optional<Item> take()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return slot_ || closed_; });
        std::optional<Item> item = std::exchange(slot_, std::nullopt);
        changed_.notify_all();
        return item;
    }

    // No more items go in; a waiting put() gives up, take() still empties
    // the slot.
    void close()
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Item> slot_;
    bool closed_ = false;
};

}  // namespace korva
