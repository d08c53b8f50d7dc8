// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A schedule as iCalendar (RFC 5545): one VTODO per folder and to-do, written with libical.
#include "base/Date.h"

#include <string>

namespace quillo {

class TCalendar;
class TNodesIF;

// `identity` names the schedule (its file's path). A UID is made from it and the path of names
// down to the item, counting same-named siblings, so it stays through date shifts, checks, memo
// and link edits, and a re-import finds the same to-do; a rename or a move gives a new one.
// `now` is the stamp of the export. Item texts are converted from cp932.
// Working-day rules become an RRULE by the weekdays that count in `calendar` (without one, the
// default week's); their exact rule rides along as X-QUILLO-REPEAT, as every rule does.
std::string ScheduleToICalendar(const TNodesIF& nodes, const std::string& identity, TDate now,
                                const TCalendar* calendar = nullptr);

// Writes it atomically; throws ESaveError with the path and the system's reason.
void ExportICalendar(const TNodesIF& nodes, const std::string& identity, TDate now, const std::string& path,
                     const TCalendar* calendar = nullptr);

} // namespace quillo
