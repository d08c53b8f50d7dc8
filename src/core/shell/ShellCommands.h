// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shortcut and file-association commands of the settings menu, with their questions and
// answers, over the desktop seam.
#include <string>

namespace quillo {

class IDesktop;

extern const char* const kDesktopShortcutName;   // QuilloryPlanへのｼｮｰﾄｶｯﾄ.lnk
extern const char* const kStartMenuShortcutName; // QuilloryPlan.lnk

// The desktop entries the commands write, for a program file and a schedule.
std::string DesktopShortcutPath();
std::string StartMenuShortcutPath();
std::string StartUpShortcutPath();
// "-t " and the schedule's path in double quotes, quoted as a desktop entry's Exec needs.
std::string StartUpArguments(const std::string& fileName);

void SetDesktopShortcut(IDesktop& desktop, const std::string& program);
void SetStartMenuShortcut(IDesktop& desktop, const std::string& program);
void CutStartMenuShortcut(IDesktop& desktop);
// `title` is the schedule's title, `fileName` its file.
void SetStartUpShortcut(IDesktop& desktop, const std::string& program, const std::string& fileName,
                        const std::string& title);
void CutStartUpShortcut(IDesktop& desktop);

void SetAssociation(IDesktop& desktop, const std::string& program);
void CutAssociation(IDesktop& desktop);

} // namespace quillo
