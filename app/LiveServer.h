// The live device over HTTP, for the page in web/ and for anyone's own tools.
//
// A page that can write files is guarded like one: every request must carry the
// token (the query of the first visit, which leaves it in an HttpOnly,
// SameSite=Strict cookie; or an "Authorization: Bearer" header), its Host must
// name the address served (so that a page of another name rebound to it gets
// nowhere), a POST must come from the page's own origin, bodies are bounded,
// files are served only from the page's own folder, and every answer carries a
// strict Content-Security-Policy. Without all that the answer is 403.
//
// GET  /                 the page (with ?token= on the first visit)
// POST /api/step         one step of the step language; its report as JSON
// GET  /api/state        the lock screen's state
// GET  /api/screen.png   the screen now (?scale=S, else the model's)
// GET  /api/layout       every view on the screen, as render --layout-json
// GET  /api/events       server-sent events: each change, with its log and launches
// GET  /api/settings     the settings pane: every key, grouped, with its value
// GET  /api/calendars    the device's calendars and the settings pane's choice
#pragma once

#include "LiveDevice.h"
#include "LiveEvents.h"

#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
struct Request;
} // namespace httplib

struct LiveServerOptions {
    // The address to listen on, as --host gives it.
    std::string host = "127.0.0.1";
    // 0 picks a free port.
    int port = 0;
    std::string token;
    // The page's folder.
    std::string webRoot;
};

class LiveServer {
public:
    // The most event streams open at once; each holds a thread of its own.
    static constexpr std::size_t maximumStreams = 8;
    // The largest body any request may carry.
    static constexpr std::size_t maximumBody = 16 * 1024;

    LiveServer(LiveDevice& device, LiveEvents& events, LiveServerOptions options);
    ~LiveServer();
    LiveServer(const LiveServer&) = delete;
    LiveServer& operator=(const LiveServer&) = delete;

    // Binds the address; answers the port. CommandError when it cannot.
    int bind();
    // Serves on threads of its own until stop().
    void start();
    // Ends every event stream, stops listening and waits for the threads.
    void stop();

    // Whether only this machine can reach it.
    bool isLoopback() const;
    // "http://127.0.0.1:8080/?token=…".
    std::string address() const;

    // A fresh token: 128 random bits as hex.
    static std::string makeToken();

    // Why the request is refused (403), or an empty string when it may go on.
    std::string refusal(const httplib::Request& request) const;

private:
    bool namesServedHost(const std::string& host) const;
    bool carriesToken(const httplib::Request& request) const;
    void addRoutes();

    LiveDevice& device_;
    LiveEvents& events_;
    LiveServerOptions options_;
    std::unique_ptr<httplib::Server> server_;
    std::thread listener_;
};
