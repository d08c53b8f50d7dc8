// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <stdexcept>
#include <string>

namespace quillo {

// Failures that carry only a message; the event loop shows it in an error box.
class EQuilloError : public std::runtime_error {
public:
    explicit EQuilloError(const std::string& message) : std::runtime_error(message) {}
};

class EInvalidScheduleData : public EQuilloError {
public:
    using EQuilloError::EQuilloError;
};
class ELoadError : public EQuilloError {
public:
    using EQuilloError::EQuilloError;
};
class ESaveError : public EQuilloError {
public:
    using EQuilloError::EQuilloError;
};
class ENotifyIconError : public EQuilloError {
public:
    using EQuilloError::EQuilloError;
};

} // namespace quillo
