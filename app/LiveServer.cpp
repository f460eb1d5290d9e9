#include "LiveServer.h"

#include "Command.h"
#include "InputFiles.h"
#include "SettingsPane.h"

#include <httplib.h>
#include <platform/FileBytes.h>

#include <arpa/inet.h>
#include <sys/stat.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <regex>
#include <sstream>

namespace {

constexpr const char* tokenCookie = "dayglass_token";
// How long an event stream waits for news before it says it is still there.
constexpr std::chrono::seconds streamHeartbeat { 15 };

constexpr const char* contentSecurityPolicy
    = "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' blob:; connect-src 'self'; "
      "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

// The page's files: a plain name and a type we serve.
const std::regex staticName(R"(/([A-Za-z0-9_-]+\.(html|css|js|svg|png)))");

const char* contentTypeOf(const std::string& extension)
{
    if (extension == "html")
        return "text/html; charset=utf-8";
    if (extension == "css")
        return "text/css; charset=utf-8";
    if (extension == "js")
        return "text/javascript; charset=utf-8";
    if (extension == "svg")
        return "image/svg+xml";
    return "image/png";
}

// Comparing every byte, whatever differs, so that the time taken tells nothing.
bool sameSecret(const std::string& given, const std::string& secret)
{
    if (given.size() != secret.size())
        return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < given.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ secret[i]);
    return difference == 0;
}

std::string cookieValue(const std::string& header, const std::string& name)
{
    std::istringstream cookies(header);
    for (std::string cookie; std::getline(cookies, cookie, ';');) {
        const std::size_t start = cookie.find_first_not_of(' ');
        if (start == std::string::npos)
            continue;
        cookie.erase(0, start);
        if (cookie.compare(0, name.size() + 1, name + "=") == 0)
            return cookie.substr(name.size() + 1);
    }
    return {};
}

bool isIPLiteral(const std::string& host)
{
    unsigned char address[16];
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        return ::inet_pton(AF_INET6, host.substr(1, host.size() - 2).c_str(), address) == 1;
    return ::inet_pton(AF_INET, host.c_str(), address) == 1;
}

bool isLoopbackName(const std::string& host)
{
    return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

bool isWildcard(const std::string& host)
{
    return host == "0.0.0.0" || host == "::";
}

// The host as it stands in a URL: an IPv6 address in brackets.
std::string urlHost(const std::string& host)
{
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

void answerJSON(httplib::Response& response, const nlohmann::ordered_json& body, int status = 200)
{
    response.status = status;
    response.set_content(body.dump(), "application/json");
}

void answerError(httplib::Response& response, int status, const std::string& message)
{
    answerJSON(response, { { "error", message } }, status);
}

// Runs the handler, answering what the device refused, or its stopping, as JSON.
template <typename Handler> httplib::Server::Handler guarded(Handler handler)
{
    return [handler](const httplib::Request& request, httplib::Response& response) {
        try {
            handler(request, response);
        } catch (const LiveRefusal& refusal) {
            answerError(response, refusal.status(), refusal.what());
        } catch (const std::future_error&) {
            answerError(response, 503, "the device is shutting down");
        } catch (const CommandError& error) {
            answerError(response, 500, error.what());
        }
    };
}

std::optional<double> scaleOf(const httplib::Request& request)
{
    if (!request.has_param("scale"))
        return 0.0;
    const std::string text = request.get_param_value("scale");
    double scale = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), scale);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(scale) || scale <= 0)
        return std::nullopt;
    return scale;
}

// A file of the page; 500 naming why it cannot be read.
std::string pageFile(const std::string& path)
{
    platform::FileRead read = platform::readRegularFile(path);
    if (const std::string problem = readProblem(read); !problem.empty())
        throw LiveRefusal(500, "cannot read " + path + ": " + problem);
    return std::move(read.bytes);
}

} // namespace

LiveServer::LiveServer(LiveDevice& device, LiveEvents& events, LiveServerOptions options)
    : device_(device)
    , events_(events)
    , options_(std::move(options))
    , server_(std::make_unique<httplib::Server>())
{
    server_->new_task_queue = [] { return new httplib::ThreadPool(maximumStreams + 8); };
    server_->set_payload_max_length(maximumBody);
    server_->set_keep_alive_timeout(2);
    server_->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        const std::string why = refusal(request);
        if (why.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        response.status = 403;
        response.set_content("Forbidden: " + why + "\n", "text/plain");
        return httplib::Server::HandlerResponse::Handled;
    });
    server_->set_post_routing_handler([](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Security-Policy", contentSecurityPolicy);
        response.set_header("X-Content-Type-Options", "nosniff");
        response.set_header("Referrer-Policy", "no-referrer");
        response.set_header("Cache-Control", "no-store");
    });
    addRoutes();
}

LiveServer::~LiveServer()
{
    stop();
}

int LiveServer::bind()
{
    const int port = options_.port == 0 ? server_->bind_to_any_port(options_.host)
        : server_->bind_to_port(options_.host, options_.port) ? options_.port
                                                               : -1;
    if (port < 0)
        throw CommandError("cannot listen on " + urlHost(options_.host) + ":" + std::to_string(options_.port)
            + " (is the port taken, or the address not this machine's?)");
    options_.port = port;
    return port;
}

void LiveServer::start()
{
    listener_ = std::thread([this] { server_->listen_after_bind(); });
}

void LiveServer::stop()
{
    events_.close();
    server_->stop();
    if (listener_.joinable())
        listener_.join();
}

bool LiveServer::isLoopback() const
{
    return isLoopbackName(options_.host);
}

std::string LiveServer::address() const
{
    return "http://" + urlHost(options_.host) + ":" + std::to_string(options_.port) + "/?token=" + options_.token;
}

std::string LiveServer::makeToken()
{
    std::random_device source;
    std::string token;
    char hex[9];
    for (int i = 0; i < 4; ++i) {
        std::snprintf(hex, sizeof hex, "%08x", source());
        token += hex;
    }
    return token;
}

// The Host names this server: its own address, and on loopback the usual names
// of it. Listening on every address, any address written as numbers will do: a
// name could be another site's, rebound to this machine.
bool LiveServer::namesServedHost(const std::string& host) const
{
    const std::string port = ":" + std::to_string(options_.port);
    if (host.size() <= port.size() || host.compare(host.size() - port.size(), port.size(), port) != 0)
        return false;
    const std::string name = host.substr(0, host.size() - port.size());
    if (name == urlHost(options_.host))
        return true;
    if (isLoopbackName(options_.host))
        return name == "localhost" || name == "127.0.0.1" || name == "[::1]";
    return isWildcard(options_.host) && isIPLiteral(name);
}

bool LiveServer::carriesToken(const httplib::Request& request) const
{
    const std::string authorization = request.get_header_value("Authorization");
    if (authorization.rfind("Bearer ", 0) == 0 && sameSecret(authorization.substr(7), options_.token))
        return true;
    if (sameSecret(cookieValue(request.get_header_value("Cookie"), tokenCookie), options_.token))
        return true;
    // The first visit brings it in the address.
    return request.method == "GET" && request.path == "/" && sameSecret(request.get_param_value("token"), options_.token);
}

std::string LiveServer::refusal(const httplib::Request& request) const
{
    if (!namesServedHost(request.get_header_value("Host")))
        return "this server answers only to the address it printed";
    if (!carriesToken(request))
        return "open the address dayglass serve printed, with its token";
    if (request.method != "GET" && request.method != "HEAD") {
        const std::string origin = request.get_header_value("Origin");
        if (!origin.empty() && origin != "http://" + request.get_header_value("Host"))
            return "a change must come from the page itself";
        const std::string site = request.get_header_value("Sec-Fetch-Site");
        if (!site.empty() && site != "same-origin" && site != "none")
            return "a change must come from the page itself";
    }
    return {};
}

void LiveServer::addRoutes()
{
    server_->Get("/", guarded([this](const httplib::Request& request, httplib::Response& response) {
        if (request.has_param("token")) {
            // Kept in a cookie, and out of the address bar and the history.
            response.set_header(
                "Set-Cookie", std::string(tokenCookie) + "=" + options_.token + "; Path=/; HttpOnly; SameSite=Strict");
            response.set_redirect("/", 303);
            return;
        }
        response.set_content(pageFile(options_.webRoot + "/index.html"), "text/html; charset=utf-8");
    }));

    server_->Get(R"(/[A-Za-z0-9_.%-]+)", guarded([this](const httplib::Request& request, httplib::Response& response) {
        std::smatch match;
        struct stat status {};
        const std::string path = options_.webRoot + "/" + (std::regex_match(request.path, match, staticName) ? match[1].str() : "");
        // Only plain files of the page's folder: no other folder, no link out of it.
        if (match.empty() || ::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
            response.status = 404;
            response.set_content("Not found\n", "text/plain");
            return;
        }
        response.set_content(pageFile(path), contentTypeOf(match[2].str()));
    }));

    server_->Post("/api/step", guarded([this](const httplib::Request& request, httplib::Response& response) {
        if (request.body.size() > LiveDevice::maximumStepLength)
            throw LiveRefusal(413,
                "a step is one line of at most " + std::to_string(LiveDevice::maximumStepLength) + " bytes");
        answerJSON(response, device_.call([&] { return device_.step(request.body); }));
    }));

    server_->Get("/api/state", guarded([this](const httplib::Request&, httplib::Response& response) {
        answerJSON(response, device_.call([&] { return device_.state(); }));
    }));

    server_->Get("/api/screen.png", guarded([this](const httplib::Request& request, httplib::Response& response) {
        const std::optional<double> scale = scaleOf(request);
        if (!scale)
            throw LiveRefusal(400, "scale is a number above 0, such as 2");
        ScreenFrame frame = device_.call([&] { return device_.screen(*scale); });
        if (!frame.png) {
            frame.png = encodeScreenFrame(frame);
            device_.keepEncoded(frame);
        }
        response.set_header("X-Screen-Version", std::to_string(frame.version));
        response.set_content(*frame.png, "image/png");
    }));

    server_->Get("/api/layout", guarded([this](const httplib::Request&, httplib::Response& response) {
        answerJSON(response, device_.call([&] { return device_.layout(); }));
    }));

    server_->Get("/api/settings", guarded([this](const httplib::Request&, httplib::Response& response) {
        answerJSON(response, device_.call([] { return settingsPaneJSON(); }));
    }));

    server_->Get("/api/calendars", guarded([this](const httplib::Request&, httplib::Response& response) {
        answerJSON(response, device_.call([&] { return device_.calendars(); }));
    }));

    server_->Get("/api/events", [this](const httplib::Request&, httplib::Response& response) {
        std::shared_ptr<LiveEvents::Stream> stream = events_.open(maximumStreams);
        if (!stream) {
            answerError(response, 503, "too many pages follow the device; close one");
            return;
        }
        response.set_chunked_content_provider("text/event-stream",
            [stream, first = true](std::size_t, httplib::DataSink& sink) mutable {
                std::string text;
                if (std::exchange(first, false))
                    text = "retry: 1000\n\n";
                else if (std::optional<LiveEvents::Stream::News> news = stream->next(streamHeartbeat)) {
                    if (news->dropped)
                        text = "event: dropped\ndata: " + std::to_string(news->dropped) + "\n\n";
                    text += "event: change\ndata: " + news->text + "\n\n";
                } else if (stream->isClosed()) {
                    sink.done();
                    return true;
                } else
                    text = ": still here\n\n";
                return sink.write(text.data(), text.size());
            });
    });
}
