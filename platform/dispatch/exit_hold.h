// ExitHold: work the user started that the end of the program waits for (a photo being taken, an
// edit being saved). While a hold lives, the program's ending keeps running the main loop and the
// queues, within its grace; what is still held when the grace runs out is named in the log.
// A hold is released when it is destroyed, so a road that drops its work releases it too.
// Once the end has begun, work that is not held and that the next start does anyway (indexing
// what other programs put in the photo library's folder) stops at its next step instead.
// Thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ExitHold {
public:
    // `what` names the work as the log names it when it is cut off: "the photo".
    static std::shared_ptr<ExitHold> make(std::string what);
    ~ExitHold();
    ExitHold(const ExitHold&) = delete;
    ExitHold& operator=(const ExitHold&) = delete;

    // What is held now, oldest first.
    static std::vector<std::string> pending();
    static bool any();
    // Hands `say` each name held now, oldest first, unless another thread holds the list for longer
    // than `seconds` (then false, and nothing is said). Allocates nothing: for the thread that ends
    // the process once the end has run out of time.
    static bool sayPending(double seconds, void (*say)(const char* what));

    // Set by the program's ending road when it begins (and back by tests).
    static void setEnding(bool ending);
    static bool ending();

private:
    explicit ExitHold(std::uint64_t id) : id_(id) {}
    std::uint64_t id_;
};
