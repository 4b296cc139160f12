// A list that one worker thread grows page by page while the UI thread reads it.
// The worker builds each page aside and publishes a new immutable vector; a reader
// takes a snapshot (a shared pointer) and reads it without any lock held, so no read
// ever meets a vector being reallocated and no reader blocks the worker for long.
#pragma once
#include <memory>
#include <mutex>
#include <vector>

template <typename Record>
class PublishedList {
public:
    using Snapshot = std::shared_ptr<const std::vector<Record>>;

    PublishedList() : items_(std::make_shared<const std::vector<Record>>()) {}

    Snapshot Read() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_;
    }
    size_t Size() const { return Read()->size(); }

    // Writer side (one thread at a time).
    void Clear() { Publish(std::make_shared<const std::vector<Record>>()); }
    void Append(std::vector<Record>&& page) {
        if (page.empty()) return;
        Snapshot current = Read();
        auto grown = std::make_shared<std::vector<Record>>();
        grown->reserve(current->size() + page.size());
        grown->insert(grown->end(), current->begin(), current->end());
        for (Record& r : page) grown->push_back(std::move(r));
        Publish(std::move(grown));
    }

private:
    void Publish(Snapshot next) {
        std::lock_guard<std::mutex> lock(mutex_);
        items_.swap(next);
        // The old vector is released here or by its last reader, outside the lock.
    }

    mutable std::mutex mutex_;
    Snapshot items_;
};
