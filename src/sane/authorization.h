// Authorization against a daemon that protects a resource with a user name and password.
#pragma once

#include <optional>
#include <string>

namespace tarnwick {

struct Credentials {
    std::string userName;
    std::string password;
};

// Asks the user for a user name and password for a resource (the TFAuth dialog); nothing when
// the user cancels.
class Authorizer {
  public:
    virtual ~Authorizer() = default;
    virtual std::optional<Credentials> ask(const std::string& resource) = 0;
};

// The password field of SANE_NET_AUTHORIZE. When the resource carries a "$MD5$" challenge,
// the daemon accepts "$MD5$" and the lower-case hex MD5 of (challenge + password), so the
// password never crosses the network; the plain password goes only where no challenge is offered.
// Nothing when a challenge cannot be answered (no digest available).
std::optional<std::string> authorizationPassword(const std::string& resource,
                                                 const std::string& password);

// A daemon that keeps asking for authorization within one reply, or keeps answering
// SANE_STATUS_ACCESS_DENIED without asking, is given up after these many rounds.
inline constexpr int kMaxAuthorizationRounds = 8;
inline constexpr int kMaxAccessDeniedRepeats = 3;

}  // namespace tarnwick
