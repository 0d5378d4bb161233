// Times a program's start-up: starts it and waits, on the X server, for the mapping of its
// first top-level window with the given title; prints the seconds from start to mapping.
// Being told of the mapping by the server, rather than asking it for its windows again and
// again, loads neither the server nor the machine while the program starts.
//   window_timer [--keep] TITLE PROGRAM [ARGUMENTS...]
// Without --keep the program is then ended (SIGTERM) and waited for; with --keep it is left
// running and its process id follows the seconds on the same line. Exit status 1 when the
// program ends, or shows no such window within 30 s; 2 on a usage or X server error.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

constexpr int timeLimitSeconds = 30;

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The window's title as the program set it (_NET_WM_NAME, UTF-8), or WM_NAME.
std::string title(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t netWmName,
                  xcb_atom_t utf8String) {
    for (const auto& [property, type] :
         {std::pair{netWmName, utf8String},
          std::pair{xcb_atom_t{XCB_ATOM_WM_NAME}, xcb_atom_t{XCB_ATOM_STRING}}}) {
        const Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection,
                                   xcb_get_property(connection, 0, window, property, type, 0, 1024),
                                   nullptr),
            &std::free);
        if (reply && reply->type != XCB_ATOM_NONE) {
            return {static_cast<const char*>(xcb_get_property_value(reply.get())),
                    static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
        }
    }
    return {};
}

using EventPointer = std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>;

// True when the event shows the wanted window mapped, or its title set once mapped.
bool isWanted(xcb_connection_t* connection, xcb_generic_event_t* event, const std::string& wanted,
              xcb_atom_t netWmName, xcb_atom_t utf8String) {
    xcb_window_t window = XCB_WINDOW_NONE;
    const auto type = event->response_type & 0x7F;
    if (type == XCB_MAP_NOTIFY) {
        window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
        const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &events);
    } else if (type == XCB_PROPERTY_NOTIFY) {
        window = reinterpret_cast<xcb_property_notify_event_t*>(event)->window;
    }
    return window != XCB_WINDOW_NONE && title(connection, window, netWmName, utf8String) == wanted;
}

} // namespace

int main(int argc, char* argv[]) {
    int first = 1;
    const bool keep = argc > 1 && std::strcmp(argv[1], "--keep") == 0;
    if (keep) {
        ++first;
    }
    if (argc - first < 2) {
        std::fputs("usage: window_timer [--keep] TITLE PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    const std::string wanted = argv[first];

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fputs("window_timer: no X server (DISPLAY)\n", stderr);
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    // Top-level windows are the root's children (no window manager reparents them here);
    // PropertyChange on a mapped window catches a title set after the mapping.
    const std::uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &rootEvents);
    const xcb_atom_t netWmName = atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8String = atom(connection, "UTF8_STRING");
    xcb_flush(connection);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        // The program's output goes where ours goes for errors: whoever reads our one line
        // must not wait for the program to close our standard output.
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execv(argv[first + 1], argv + first + 1);
        std::perror("window_timer: exec");
        _exit(127);
    }
    if (child < 0) {
        std::perror("window_timer: fork");
        return 2;
    }

    // Whichever comes first: the window, the program's end, or the time limit. The X
    // socket is watched with a short timeout so that a program dying silently is noticed.
    double seconds = -1;
    const auto limit = start + std::chrono::seconds(timeLimitSeconds);
    while (seconds < 0 && xcb_connection_has_error(connection) == 0) {
        while (seconds < 0) {
            const EventPointer event(xcb_poll_for_event(connection), &std::free);
            if (!event) {
                break;
            }
            if (isWanted(connection, event.get(), wanted, netWmName, utf8String)) {
                seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            }
        }
        if (seconds >= 0) {
            break;
        }
        if (waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "window_timer: the program ended before showing \"%s\"\n",
                         wanted.c_str());
            return 1;
        }
        if (std::chrono::steady_clock::now() > limit) {
            std::fprintf(stderr, "window_timer: no \"%s\" within %d s\n", wanted.c_str(),
                         timeLimitSeconds);
            break;
        }
        pollfd socket{xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&socket, 1, 20);
    }
    xcb_disconnect(connection);
    if (seconds < 0) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        return 1;
    }
    if (keep) {
        std::printf("%.4f %d\n", seconds, static_cast<int>(child));
        return 0;
    }
    std::printf("%.4f\n", seconds);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return 0;
}
