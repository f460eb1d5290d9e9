// The live device's news for the pages that follow it: every change of the
// screen, with what caused it, goes to every open event stream. A stream that is
// slow to take its news, or whose page is gone, never holds the device up: each
// keeps a bounded queue and drops its oldest news when the queue is full, and
// says so with the next news it takes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class LiveEvents {
public:
    // How many news a stream keeps before it drops the oldest.
    static constexpr std::size_t queueLength = 64;

    // One open stream.
    class Stream {
    public:
        // The next news, or nothing when `wait` passed without any, or the
        // events were closed. News dropped for want of room are counted in
        // `dropped`.
        struct News {
            std::string text;
            std::size_t dropped = 0;
        };
        std::optional<News> next(std::chrono::milliseconds wait);
        bool isClosed() const;

    private:
        friend class LiveEvents;
        void push(const std::string& text);
        void close();

        mutable std::mutex lock_;
        std::condition_variable ready_;
        std::deque<std::string> queue_;
        std::size_t dropped_ = 0;
        bool closed_ = false;
    };

    // A new stream, told of every news published from now on; nothing when
    // `maximumStreams` are open already or the events are closed.
    std::shared_ptr<Stream> open(std::size_t maximumStreams);
    // Tells every open stream. Safe from any thread.
    void publish(const std::string& text);
    // Ends every stream, and refuses new ones.
    void close();

private:
    std::mutex lock_;
    std::vector<std::weak_ptr<Stream>> streams_;
    bool closed_ = false;
};
