// dayglass serve as a user runs it: the live device on a copy of the sample
// device, asked over real HTTP, as the page and as a script would ask it.
#include "CommandRunner.h"
#include "LiveEvents.h"
#include "PreferenceKeys.h"

#include <TempDeviceRoot.h>

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

using nlohmann::json;
namespace fs = std::filesystem;

namespace {

bool contains(const json& list, const std::string& text)
{
    return std::find(list.begin(), list.end(), json(text)) != list.end();
}

class Serve : public testing::Test {
protected:
    Serve()
    {
        fs::copy(DAYGLASS_SAMPLE_DEVICE, root_.path(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        const std::string preferences = "/private/var/mobile/Library/Preferences";
        fs::copy(DAYGLASS_EXAMPLES "/device" + preferences, root_.path().string() + preferences,
            fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        server_ = std::make_unique<command_runner::Running>(std::vector<std::string> { "serve", "--port", "0",
                                                               "--root", root_.path().string(), "--now",
                                                               "2026-03-05T09:41", "--tz", "Europe/Berlin" },
            command_runner::Environment { { "XDG_RUNTIME_DIR", runtime_.path().string() } });
        address_ = server_->nextLine().value_or("");
        // http://127.0.0.1:PORT/?token=TOKEN
        const std::size_t portStart = address_.find(':', 7) + 1;
        port_ = std::stoi(address_.substr(portStart));
        token_ = address_.substr(address_.find("token=") + 6);
    }

    ~Serve() override { server_->stop(SIGTERM); }

    // A client that names the server as the page does, with the token or not.
    httplib::Client client(bool withToken = true) const
    {
        httplib::Client made("127.0.0.1", port_);
        made.set_read_timeout(30);
        if (withToken)
            made.set_bearer_token_auth(token_);
        return made;
    }

    httplib::Result step(const std::string& text) const { return client().Post("/api/step", text, "text/plain"); }

    json state() const { return json::parse(client().Get("/api/state")->body); }

    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

    // The rows of the event list on the screen, from the layout.
    std::size_t rowsShown() const
    {
        std::size_t rows = 0;
        std::function<void(const json&)> count = [&](const json& view) {
            rows += view["class"] == "DGLTableViewCell" && !view.contains("hidden");
            for (const json& subview : view.value("subviews", json::array()))
                count(subview);
        };
        count(json::parse(client().Get("/api/layout")->body)["screen"]);
        return rows;
    }

    testing_support::TempDeviceRoot root_;
    testing_support::TempDeviceRoot runtime_;
    std::unique_ptr<command_runner::Running> server_;
    std::string address_;
    int port_ = 0;
    std::string token_;
};

} // namespace

TEST_F(Serve, AnswersOnlyTheTokenItsOwnAddressAndItsOwnPage)
{
    ASSERT_EQ(address_.rfind("http://127.0.0.1:", 0), 0u) << address_;
    EXPECT_EQ(client(false).Get("/api/state")->status, 403);
    EXPECT_EQ(client(false).Get("/")->status, 403);
    httplib::Client wrong = client(false);
    wrong.set_bearer_token_auth(std::string(token_.size(), '0'));
    EXPECT_EQ(wrong.Get("/api/state")->status, 403);
    EXPECT_EQ(client(false).Get("/api/state", { { "Cookie", "dayglass_token=" + token_ + "x" } })->status, 403);

    // A page of another name, rebound to this address, and a change from another site.
    EXPECT_EQ(client().Get("/api/state", { { "Host", "dayglass.example:" + std::to_string(port_) } })->status, 403);
    const auto foreign = client().Post("/api/step", { { "Origin", "http://dayglass.example" } }, "wake", "text/plain");
    EXPECT_EQ(foreign->status, 403);
    EXPECT_EQ(state()["screen"], "off") << "a refused change still changed the device";
    EXPECT_EQ(client().Post("/api/step", { { "Origin", "http://" + host() } }, "wake", "text/plain")->status, 200);

    // The first visit leaves the token in a cookie that scripts cannot read,
    // and the page works with the cookie alone.
    const auto visit = client(false).Get("/?token=" + token_);
    EXPECT_EQ(visit->status, 303);
    const std::string cookie = visit->get_header_value("Set-Cookie");
    EXPECT_NE(cookie.find("HttpOnly"), std::string::npos) << cookie;
    EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos) << cookie;
    const auto page = client(false).Get("/", { { "Cookie", cookie.substr(0, cookie.find(';')) } });
    ASSERT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<script src=\"/app.js\""), std::string::npos);
    EXPECT_NE(page->get_header_value("Content-Security-Policy").find("default-src 'none'"), std::string::npos);
}

TEST_F(Serve, ServesOnlyThePagesOwnFilesAndBoundedBodies)
{
    EXPECT_EQ(client().Get("/app.js")->status, 200);
    for (const char* path : { "/../CMakeLists.txt", "/%2e%2e/CMakeLists.txt", "/..%2fCMakeLists.txt", "/..",
             "/.%2e/app.js", "/web/app.js", "/index.html/" })
        EXPECT_EQ(client().Get(path)->status, 404) << path;

    const auto longStep = step("notify Mail " + std::string(5000, 'x'));
    EXPECT_EQ(longStep->status, 413);
    const auto huge = step(std::string(100 * 1024, 'x'));
    EXPECT_EQ(huge->status, 413);
    EXPECT_EQ(state()["notifications"], 0);
}

// The step language is simulate's: the same report, the same refusals.
TEST_F(Serve, PlaysOneStepAsSimulateDoes)
{
    const auto typo = step("wak");
    ASSERT_EQ(typo->status, 400);
    EXPECT_EQ(json::parse(typo->body)["error"].get<std::string>().rfind(
                  "line 1: 'wak' is not a step; the steps are wake, notify APP TITLE [MESSAGE],", 0),
        0u)
        << typo->body;
    EXPECT_EQ(step("wake\nlock")->status, 400);
    const fs::path picture = root_.path() / "written.png";
    EXPECT_EQ(step("snapshot " + picture.string())->status, 400);
    EXPECT_FALSE(fs::exists(picture)) << "a page wrote a file where it liked";
    EXPECT_EQ(step("swipe 0 0 90")->status, 409) << "a finger on a dark screen";

    const auto woken = step("wake\n");
    ASSERT_EQ(woken->status, 200) << woken->body;
    const json report = json::parse(woken->body);
    EXPECT_EQ(report["step"], "wake");
    EXPECT_TRUE(contains(report["changes"], "own page shown")) << report;
    EXPECT_FALSE(report["log"].empty());
    EXPECT_EQ(json::parse(step("state")->body)["state"], state());

    const auto screen = client().Get("/api/screen.png?scale=1");
    ASSERT_EQ(screen->status, 200);
    EXPECT_EQ(screen->body.substr(1, 3), "PNG");
    EXPECT_EQ(client().Get("/api/screen.png?scale=none")->status, 400);

    // Ten years of idle are one step, not a timer firing for every second of them.
    EXPECT_EQ(step("idle 315360000")->status, 200);
}

TEST_F(Serve, ASettingsChangeReachesTheFileAndTheNextList)
{
    ASSERT_EQ(step("wake")->status, 200);
    const std::size_t rows = rowsShown();
    ASSERT_GT(rows, 1u);
    ASSERT_EQ(step("prefs set maxEventsToDisplay 1")->status, 200);
    const json settings = json::parse(client().Get("/api/settings")->body);
    EXPECT_TRUE(fs::exists(settings["file"].get<std::string>()));
    // Every key once, so that a new setting can never be missing from the pane.
    std::set<std::string> keys;
    for (const json& group : settings["groups"])
        for (const json& setting : group["settings"]) {
            EXPECT_TRUE(keys.insert(setting["key"].get<std::string>()).second) << setting["key"];
            if (setting["key"] == "maxEventsToDisplay") {
                EXPECT_EQ(setting["value"], 1);
            }
        }
    EXPECT_EQ(keys.size(), preferenceKeys().size());
    EXPECT_TRUE(keys.count("maxEventsToDisplay"));
    // The list built before keeps its settings; the next one has one row.
    EXPECT_EQ(rowsShown(), rows);
    for (const char* next : { "unlock", "lock", "wake" })
        ASSERT_EQ(step(next)->status, 200) << next;
    EXPECT_EQ(rowsShown(), 1u);

    // A change from another process is news, and the screen is drawn anew for it.
    const std::string before = client().Get("/api/screen.png")->get_header_value("X-Screen-Version");
    std::string heard;
    std::thread page([&] {
        client().Get("/api/events", [&](const char* data, std::size_t length) {
            heard.append(data, length);
            return heard.find("\"kind\":\"settings\"") == std::string::npos;
        });
    });
    for (int i = 0; i < 1000 && heard.empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto changed
        = command_runner::run({ "prefs", "set", "backgroundColor", "0", "--root", root_.path().string() },
            { { "XDG_RUNTIME_DIR", runtime_.path().string() } });
    EXPECT_EQ(changed.status, 0) << changed.err;
    page.join();
    EXPECT_GT(std::stoull(client().Get("/api/screen.png")->get_header_value("X-Screen-Version")), std::stoull(before))
        << heard;

    // The calendar choice goes to the settings pane's own file, in order.
    const json calendars = json::parse(client().Get("/api/calendars")->body)["calendars"];
    ASSERT_GE(calendars.size(), 2u);
    const std::string second = calendars[1]["identifier"];
    ASSERT_EQ(step("calendars " + second)->status, 200);
    const json chosen = json::parse(client().Get("/api/calendars")->body)["calendars"];
    EXPECT_EQ(chosen[0]["chosen"], false);
    EXPECT_EQ(chosen[1]["chosen"], true);
}

TEST_F(Serve, EveryOpenPageHearsOfEachChangeAndTheServerEndsCleanly)
{
    // Two pages follow the device; each reads its stream until it hears of the wake.
    auto follow = [this](std::string& heard) {
        return std::thread([this, &heard] {
            httplib::Client page = client();
            page.Get("/api/events", [&](const char* data, std::size_t length) {
                heard.append(data, length);
                return heard.find("\"step\":\"wake\"") == std::string::npos;
            });
        });
    };
    std::string first, second;
    std::thread one = follow(first), two = follow(second);
    // Both streams are open once each has had its first words.
    for (int i = 0; i < 1000 && (first.empty() || second.empty()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(step("wake")->status, 200);
    one.join();
    two.join();
    for (const std::string* heard : { &first, &second }) {
        EXPECT_NE(heard->find("event: change"), std::string::npos) << *heard;
        EXPECT_NE(heard->find("\"changes\":[\"screen on\""), std::string::npos) << *heard;
    }

    EXPECT_EQ(server_->stop(SIGTERM), 0);
    for (const auto& entry : fs::recursive_directory_iterator(runtime_.path()))
        EXPECT_NE(entry.path().extension(), ".sock") << "left behind: " << entry.path();
}

// A page that stops reading loses its oldest news, never holds the device up.
TEST(LiveEvents, AFullQueueDropsTheOldestNews)
{
    LiveEvents events;
    const std::shared_ptr<LiveEvents::Stream> slow = events.open(2);
    const std::shared_ptr<LiveEvents::Stream> other = events.open(2);
    ASSERT_TRUE(slow && other);
    EXPECT_FALSE(events.open(2)) << "more streams than allowed";
    for (std::size_t i = 0; i < LiveEvents::queueLength + 3; ++i)
        events.publish(std::to_string(i));
    const std::optional<LiveEvents::Stream::News> news = slow->next(std::chrono::milliseconds(0));
    ASSERT_TRUE(news);
    EXPECT_EQ(news->text, "3");
    EXPECT_EQ(news->dropped, 3u);
    events.close();
    EXPECT_TRUE(slow->isClosed());
    EXPECT_FALSE(events.open(3));
}
