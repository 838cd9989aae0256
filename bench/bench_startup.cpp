// Times the program's start-up as the operator sees it: from starting the
// process to its connection dialog mapped on screen, beside a minimal Qt
// program that shows one dialog (the floor on this machine). Needs an X
// display; without one, run it under Xvfb:
//
//   xvfb-run -a ./build/bench/bench_startup [--runs N] [--program PATH]
//
// --program times another build of the program (an older one, to compare).
// The two programs run in turn, N times each, after one warm-up of each, with
// throwaway settings and data folders. Prints the median, minimum and
// maximum of each and the median of the pairwise ratios.

#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern char **environ;

namespace {

const char *const kTitle = "Connection Method";

using Clock = std::chrono::steady_clock;

class Display
{
public:
    Display()
    {
        connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection))
            return;
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection);
        ok = true;
    }
    ~Display() { xcb_disconnect(connection); }

    bool ok = false;

    // Waits until a window titled kTitle is mapped; false after timeoutMs.
    bool waitForDialog(int timeoutMs)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t window = mapped ? reinterpret_cast<xcb_map_notify_event_t *>(event)->window : 0;
                std::free(event);
                if (mapped && titleOf(window) == kTitle)
                    return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
            poll(&fd, 1, int(left));
        }
    }

    // Drops the events of an earlier run.
    void drain()
    {
        sync();
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection))
            std::free(event);
    }

private:
    void sync() { std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr)); }

    std::string titleOf(xcb_window_t window)
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
            nullptr);
        if (!reply)
            return {};
        std::string title(static_cast<const char *>(xcb_get_property_value(reply)),
                          size_t(xcb_get_property_value_length(reply)));
        std::free(reply);
        return title;
    }

    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
};

// Milliseconds from starting the program to its dialog on screen; -1 when
// it did not appear.
double timeOnce(Display &display, const std::string &program)
{
    display.drain();
    char *argv[] = {const_cast<char *>(program.c_str()), nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0)
        return -1;
    const bool shown = display.waitForDialog(20000);
    const auto end = Clock::now();
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return shown ? std::chrono::duration<double, std::milli>(end - start).count() : -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void print(const char *name, const std::vector<double> &times)
{
    std::printf("%-28s median %7.1f ms   min %7.1f   max %7.1f\n", name, median(times),
                *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()));
}

} // namespace

int main(int argc, char *argv[])
{
    int runs = 15;
    std::string program = KYR7SET_PATH;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--program") && i + 1 < argc) {
            program = std::filesystem::absolute(argv[++i]).string();
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--program PATH]\n", argv[0]);
            return 2;
        }
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "No X display: run under Xvfb, e.g. xvfb-run -a %s\n", argv[0]);
        return 2;
    }
    Display display;
    if (!display.ok) {
        std::fprintf(stderr, "Cannot open the X display\n");
        return 2;
    }

    // Throwaway settings and data: the operator's own are neither read nor
    // written, and every run starts from the same state.
    char folder[] = "/tmp/bench_startup.XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    setenv("XDG_CONFIG_HOME", folder, 1);
    setenv("XDG_DATA_HOME", folder, 1);
    setenv("XDG_CACHE_HOME", (std::string(folder) + "/cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder, 1);
    if (chdir(folder) != 0)
        return 1;

    const std::string floor = MINIMAL_DIALOG_PATH;
    std::vector<double> a, b, ratios;
    for (int i = -1; i < runs; ++i) {
        const double ta = timeOnce(display, program);
        const double tb = timeOnce(display, floor);
        if (ta < 0 || tb < 0) {
            std::fprintf(stderr, "A dialog did not appear within 20 s\n");
            return 1;
        }
        if (i < 0)
            continue; // warm-up
        a.push_back(ta);
        b.push_back(tb);
        ratios.push_back(ta / tb);
    }
    std::printf("Start to \"%s\" mapped on screen, %d runs each (after one warm-up)\n", kTitle, runs);
    print("KYR7Set", a);
    print("minimal Qt dialog (floor)", b);
    std::printf("%-28s median %7.2f       min %7.2f   max %7.2f\n", "ratio KYR7Set / floor", median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
