// A cache of at most a fixed number of values made on demand (the backend's brushes and fonts).
// When a new value would pass the cap, the values asked for least recently are let go, except
// those held elsewhere (a font a window still draws with): such a value stays, even beyond the
// cap, until it is free. The value just asked for is never let go.
#pragma once
#include <cstddef>
#include <functional>
#include <iterator>
#include <list>
#include <map>
#include <utility>

namespace kv {

template <class Key, class Value>
class BoundedCache {
public:
    // `drop` lets a value go; `held` says whether something outside still uses it.
    BoundedCache(size_t capacity, std::function<void(Value&)> drop, std::function<bool(const Value&)> held = {})
        : capacity_(capacity), drop_(std::move(drop)), held_(std::move(held)) {}
    ~BoundedCache() {
        for (auto& e : order_) drop_(e.second);
    }
    BoundedCache(const BoundedCache&) = delete;
    BoundedCache& operator=(const BoundedCache&) = delete;

    // The value for the key, made by make() when the cache has none; it becomes the most recent.
    template <class Make>
    Value& get(const Key& key, Make&& make) {
        auto it = index_.find(key);
        if (it != index_.end()) {
            order_.splice(order_.begin(), order_, it->second);
            return it->second->second;
        }
        order_.emplace_front(key, make());
        index_.emplace(key, order_.begin());
        trim();
        return order_.front().second;
    }
    size_t size() const { return order_.size(); }

private:
    void trim() {
        if (order_.size() <= capacity_) return;
        // From the least recent towards the newest, which stays whatever happens.
        for (auto it = std::prev(order_.end()); it != order_.begin() && order_.size() > capacity_;) {
            auto cur = it--;
            if (held_ && held_(cur->second)) continue;
            drop_(cur->second);
            index_.erase(cur->first);
            order_.erase(cur);
        }
    }

    size_t capacity_;
    std::function<void(Value&)> drop_;
    std::function<bool(const Value&)> held_;
    std::list<std::pair<Key, Value>> order_;  // most recent first
    std::map<Key, typename std::list<std::pair<Key, Value>>::iterator> index_;
};

}  // namespace kv
