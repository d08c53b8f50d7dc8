// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes a freedesktop desktop entry, this desktop's form of a shell shortcut.
#include <string>

namespace quillo {

extern const char* const kProgramIconName;   // the program's icon in the desktop's icon theme
extern const char* const kProgramCategories; // the menu categories of the program's entries

enum TShowCmd { tsNormal, tsMax, tsMin };
enum TSystemPath { tpBlank, tpDesktop, tpStartMenu };

class TMakeShortCut {
public:
    std::string SCFileName;
    TShowCmd SCShowCmd = tsNormal;
    std::string SCDescription;
    std::string SCExecFile;
    std::string SCArguments;
    std::string SCWorkDir;
    TSystemPath SCSystemPath = tpBlank;

    // The entry's path: the chosen folder plus SCFileName, a ".lnk" ending given as ".desktop".
    std::string GetFullPath() const;
    // Writes the entry (creating its folder); false when it could not be written.
    bool Make() const;
    std::string EntryText() const;

    // The target as an Exec program: quoted when the Desktop Entry rules need it.
    static std::string QuoteExecArgument(const std::string& arg);
};

} // namespace quillo
