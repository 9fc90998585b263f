// Transactions: nested groups of layer changes and animations with a shared duration, timing
// function, completion block and the switch for implicit actions. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/animation/ca_media_timing_function.h"

struct CAAnimationCompletionGroup;

class CATransaction {
public:
    static void begin();
    // Ends the innermost transaction; its completion block runs once every animation added
    // inside it has stopped (at the next turn when there were none). An unmatched commit is ignored.
    static void commit();
    // Brings presentation values up to date now.
    static void flush();

    // Settings of the innermost transaction (the defaults outside any).
    static double animationDuration();
    static void setAnimationDuration(double seconds);
    static std::shared_ptr<CAMediaTimingFunction> animationTimingFunction();
    static void setAnimationTimingFunction(std::shared_ptr<CAMediaTimingFunction> function);
    static bool disableActions();
    static void setDisableActions(bool disable);
    // Outside a transaction the block runs at the next turn of the run loop.
    static void setCompletionBlock(std::function<void()> block);

    // How deep the transactions are nested now.
    static std::size_t depth();
    // The completion groups of the open transactions that have a completion block.
    static std::vector<std::shared_ptr<CAAnimationCompletionGroup>> openCompletionGroups();
    // Drops open transactions without running anything (tests).
    static void reset();
};

// A transaction for its scope with implicit actions off: the layer changes made in it are placed,
// never animated.
class CATransactionWithoutActions {
public:
    CATransactionWithoutActions() {
        CATransaction::begin();
        CATransaction::setDisableActions(true);
    }
    ~CATransactionWithoutActions() { CATransaction::commit(); }
    CATransactionWithoutActions(const CATransactionWithoutActions&) = delete;
    CATransactionWithoutActions& operator=(const CATransactionWithoutActions&) = delete;
};
