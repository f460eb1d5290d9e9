// dayglass serve: the live device, a lock screen you can touch in the browser,
// with its settings pane beside it.
#include "ServeCommand.h"

#include "InputFiles.h"
#include "InstalledData.h"
#include "LiveDevice.h"
#include "LiveServer.h"
#include "SessionOptions.h"
#include "StandardOutput.h"

#include <platform/Environment.h>
#include <platform/FileBytes.h>

#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

// Opens the address in the desktop's browser, when the desktop has xdg-open.
// The opener, and the browser it may start, take Ctrl-C and a kill as usual
// rather than the server's blocked stop signals; a thread of its own reaps it.
void openInBrowser(const std::string& address)
{
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = 0;
    char* const arguments[] = { const_cast<char*>("xdg-open"), const_cast<char*>(address.c_str()), nullptr };
    const int failed = posix_spawnp(&child, "xdg-open", nullptr, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    if (failed) {
        std::fprintf(stderr, "dayglass: no xdg-open here; open the address above yourself\n");
        return;
    }
    std::thread([child] { ::waitpid(child, nullptr, 0); }).detach();
}

// The page's folder: the installed one, else the sources'. CommandError when
// its page cannot be read, before anything is served.
std::string webFolder()
{
    const std::string installed = installedDataFolder("web");
    const std::string folder = installed.empty() ? std::string(DAYGLASS_WEB_ROOT) : installed;
    const platform::FileRead page = platform::readRegularFile(folder + "/index.html");
    if (const std::string problem = readProblem(page); !problem.empty())
        throw CommandError("the page's folder " + folder + " has no readable index.html (" + problem
            + "); build the project, or install it again");
    return folder;
}

// Ctrl-C and a kill end the server as a normal exit does. The signals are
// blocked before any thread starts, so that only the one waiting for them
// takes them.
void blockStopSignals(sigset_t& signals)
{
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

std::thread stopOnSignals(const sigset_t& signals, LiveDevice& device)
{
    return std::thread([signals, &device] {
        int signal = 0;
        sigwait(&signals, &signal);
        device.stop();
    });
}

class ServeCommand final : public Command {
public:
    explicit ServeCommand(CLI::App& subcommand)
        : serve_(&subcommand)
    {
        serve_->add_option("--port", port_, "The port to listen on; 0 picks a free one")
            ->capture_default_str()
            ->check(CLI::Range(0, 65535));
        serve_->add_option("--host", host_, "The address to listen on; other than loopback, others can reach it")
            ->capture_default_str();
        serve_->add_flag("--open", open_, "Open the page in the desktop's browser (xdg-open)");
        session_.addTo(*serve_);
    }

    const CLI::App* subcommand() const override { return serve_; }

    int run(const CommonOptions& options) override
    {
        const std::string web = webFolder();
        sigset_t stopSignals;
        blockStopSignals(stopSignals);
        keepFrameBuffersInHeap();
        host::Device device = session_.boot(options);
        // The clock runs from --now, or from the real time, in real time.
        platform::runCurrentTimeFrom(platform::currentUnixTime());

        LiveEvents events;
        LiveDevice live(device, events);
        LiveServer server(
            live, events, { .host = host_, .port = port_, .token = LiveServer::makeToken(), .webRoot = web });
        server.bind();
        // The address goes out before any thread starts, so that an answer that
        // cannot be written ends the command as any other error does.
        printOutput("%s\n", server.address().c_str());
        flushOutput();
        std::thread signalWaiter = stopOnSignals(stopSignals, live);
        if (!server.isLoopback())
            std::fprintf(stderr,
                "dayglass: warning: listening on %s: anyone who reaches it with the token can change this device\n",
                host_.c_str());
        server.start();
        if (open_)
            openInBrowser(server.address());
        live.run();
        server.stop();
        signalWaiter.join();
        return 0;
    }

private:
    CLI::App* serve_ = nullptr;
    int port_ = 0;
    std::string host_ = "127.0.0.1";
    bool open_ = false;
    SessionOptions session_;
};

} // namespace

std::unique_ptr<Command> makeServeCommand(CLI::App& subcommand)
{
    return std::make_unique<ServeCommand>(subcommand);
}
