// Authentication stand-in.
#include "platform/ui/controller/la_context.h"

#include <atomic>
#include <mutex>

#include "platform/dispatch/queue.h"

namespace {
std::mutex configMutex;
LAStandInConfiguration& config() {
    static LAStandInConfiguration c;
    return c;
}
std::atomic<int> evaluations{0};
}  // namespace

LAStandInConfiguration LAContext::standIn() {
    std::lock_guard lock(configMutex);
    return config();
}

void LAContext::setStandIn(const LAStandInConfiguration& c) {
    std::lock_guard lock(configMutex);
    config() = c;
}

int LAContext::evaluationCount() {
    return evaluations.load();
}
void LAContext::resetEvaluationCount() {
    evaluations = 0;
}

bool LAContext::canEvaluatePolicy(LAPolicy policy, LAError* error) {
    auto c = standIn();
    biometryType_ = c.biometryAvailable ? c.biometryType : LABiometryType::None;
    std::optional<LAError> why;
    if (policy == LAPolicy::DeviceOwnerAuthenticationWithBiometrics) {
        if (!c.biometryAvailable)
            why = LAError::BiometryNotAvailable;
        else if (!c.passcodeSet)
            why = LAError::PasscodeNotSet;
    } else if (!c.biometryAvailable && !c.passcodeSet) {
        why = LAError::PasscodeNotSet;
    }
    if (why && error) *error = *why;
    return !why;
}

void LAContext::evaluatePolicy(LAPolicy policy, const std::string& localizedReason, Reply reply) {
    if (!reply) return;
    ++evaluations;
    std::optional<LAError> error;
    if (invalidated_ || localizedReason.empty()) {
        error = LAError::InvalidContext;
    } else {
        LAError cannot{};
        if (!canEvaluatePolicy(policy, &cannot))
            error = cannot;
        else
            error = standIn().outcome;
    }
    dispatch_async(dispatch_get_global_queue(), [reply, error] { reply(!error, error); });
}
