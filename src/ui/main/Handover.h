// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A second copy passes its request to the running one instead of giving up: a local socket
// beside the single-instance lock, in the user's private runtime folder. The request is the
// schedule to open, or nothing to come forward only; the running copy answers as soon as it has
// it, before any question it may then ask.
#include <functional>
#include <memory>
#include <string>

class QLocalServer;

namespace quillo {

class THandoverServer {
public:
    // `onRequest` runs from the event loop with the schedule asked for ("" to come forward).
    THandoverServer(const std::string& socketPath, std::function<void(const std::string&)> onRequest);
    ~THandoverServer();
    THandoverServer(const THandoverServer&) = delete;
    THandoverServer& operator=(const THandoverServer&) = delete;
    bool Listening() const;

private:
    std::unique_ptr<QLocalServer> mServer;
    std::function<void(const std::string&)> mOnRequest;
};

// The second copy's side: true when the running copy took the request within `timeoutMs`
// (retrying while it is still starting).
bool HandOver(const std::string& socketPath, const std::string& schedule, int timeoutMs);

} // namespace quillo
