// Device-owner authentication stand-in: whether the device can evaluate a policy and the outcome
// of an evaluation come from a configuration (set by tests, the host or its options). The reply
// arrives on a background queue, as the platform's does.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/runtime/object.h"

enum class LAPolicy { DeviceOwnerAuthenticationWithBiometrics = 1, DeviceOwnerAuthentication = 2 };
enum class LABiometryType { None = 0, Fingerprint = 1, Face = 2 };
enum class LAError {
    AuthenticationFailed = -1,
    UserCancel = -2,
    UserFallback = -3,
    SystemCancel = -4,
    PasscodeNotSet = -5,
    BiometryNotAvailable = -6,
    BiometryNotEnrolled = -7,
    InvalidContext = -10,
};

struct LAStandInConfiguration {
    bool biometryAvailable = false;
    bool passcodeSet = false;
    LABiometryType biometryType = LABiometryType::None;
    // What an evaluation answers: none for success, else the error.
    std::optional<LAError> outcome;
};

class LAContext : public NSObject {
public:
    KORVA_MAKE(LAContext)
    static LAStandInConfiguration standIn();
    static void setStandIn(const LAStandInConfiguration& c);
    // Evaluations started since the last reset (for tests).
    static int evaluationCount();
    static void resetEvaluationCount();

    // False with the reason when the policy cannot be evaluated on this device.
    bool canEvaluatePolicy(LAPolicy policy, LAError* error = nullptr);
    LABiometryType biometryType() const { return biometryType_; }
    using Reply = std::function<void(bool success, std::optional<LAError> error)>;
    // An empty reason is refused (InvalidContext), as is evaluation after invalidate().
    void evaluatePolicy(LAPolicy policy, const std::string& localizedReason, Reply reply);
    void invalidate() { invalidated_ = true; }
    std::string className() const override { return "LAContext"; }

protected:
    LAContext() = default;

private:
    LABiometryType biometryType_ = LABiometryType::None;
    bool invalidated_ = false;
};
