// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A schedule as iCalendar (RFC 5545): one VTODO per folder and to-do, written with libical.
#include "base/Date.h"

#include <string>

namespace quillo {

class TNodesIF;

// `identity` names the schedule (its file's path): the same file gives the same UIDs each time.
// `now` is the stamp of the export. Item texts are converted from cp932.
std::string ScheduleToICalendar(const TNodesIF& nodes, const std::string& identity, TDate now);

// Writes it atomically; throws ESaveError with the path and the system's reason.
void ExportICalendar(const TNodesIF& nodes, const std::string& identity, TDate now, const std::string& path);

} // namespace quillo
